// Who a serial port is, beyond its device path: the stable names udev gives
// it under /dev/serial, the USB device behind it and its kernel driver. Read
// from sysfs and the device tree (roots injectable, as the port list's), never
// by opening the port. Two identical adapters without serial numbers differ
// in their by-path names (the USB socket they sit in).
#pragma once

#include "serial/SerialEnum.h"

#include <string>
#include <vector>

namespace nw {

struct PortIdentity {
    std::string path;         // as the port list gives it, e.g. "/dev/ttyUSB0"
    std::string friendlyName; // as the port box shows it
    std::string byId;         // "<devRoot>/serial/by-id/..." or empty
    std::string byPath;       // "<devRoot>/serial/by-path/..." or empty
    std::string vendorId;     // USB idVendor, four hex digits, or empty
    std::string productId;    // USB idProduct
    std::string serial;       // USB serial number, often absent on cheap adapters
    std::string driver;       // e.g. "ftdi_sio", "cp210x", "cdc_acm"; empty when unknown
};

// The identity of each port on the list, in the list's order.
std::vector<PortIdentity> IdentifyPorts(const std::vector<CComPortInfo>& ports,
                                        const std::string& sysRoot, const std::string& devRoot);

} // namespace nw
