// The list of serial ports the port box offers. Listing never opens a port.
//
// On Linux the list comes from sysfs: every tty backed by real hardware (a
// `device` link under <sysRoot>/class/tty/<name>) plus the Bluetooth serial
// ports (rfcomm*), minus on-board UART placeholders that have no UART behind
// them, and only when the node <devRoot>/<name> exists. Entries are sorted in
// natural order of their names (ttyS2 before ttyS10).
//
// One implementation file per platform (serial/posix/, serial/win32/); the
// roots only matter where the list is read from a file system.
#pragma once

#include <string>
#include <vector>

namespace nw {

struct CComPortInfo {
    CComPortInfo(std::string name, std::string friendlyName);

    std::string m_strName; // what CSerialPort::Open takes, e.g. "/dev/ttyUSB0"
    // What the port box shows, e.g. "/dev/ttyUSB0 (FTDI FT232R USB UART)"; the
    // bare name when there is no better description.
    std::string m_strFriendlyName;
};

class CSerialEnum {
  public:
    // Reads the system's own roots, "/sys" and "/dev".
    CSerialEnum();
    // Reads a tree laid out like sysfs under `sysRoot` and device nodes under
    // `devRoot` (for tests).
    CSerialEnum(std::string sysRoot, std::string devRoot);

    // Clears the list, then fills it with the ports present now. Always true;
    // an unreadable or missing tree gives an empty list.
    bool Enumerate();
    // Clear() then Enumerate(): the new list replaces the old one.
    bool Refresh();
    // Empties m_aPorts and sets m_nPortCount to 0.
    void Clear();

    int m_nPortCount = 0; // always m_aPorts.size()
    std::vector<CComPortInfo> m_aPorts;

  private:
    std::string m_strSysRoot;
    std::string m_strDevRoot;
};

} // namespace nw
