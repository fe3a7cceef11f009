// Why a serial port cannot be used, and what to do about it: the checks behind
// `nodewright-cli doctor`. Each check reads the system through a root that
// tests point at a fake tree:
//   sys   sysfs (the port list, the adapter's USB vendor:product)
//   dev   device nodes (owner, group and mode of the port's node)
//   proc  the processes' open descriptors (<proc>/PID/fd/*) and names (comm)
//   etc   the group file, local udev rules, systemd's masked units
//   lib   packaged udev rules (<lib>/udev/rules.d), systemd units
//   usr   installed programs (<usr>/sbin/ModemManager, <usr>/bin/brltty)
// Nothing is written anywhere. A port is opened only when the other checks
// found nothing that explains a failure already, and then only to see whether
// it is busy or locked: opened without becoming the controlling terminal and
// without waiting for carrier, its settings left alone, closed at once.
//
// One implementation file per platform (serial/posix/, serial/win32/).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nw {

struct DoctorRoots {
    std::string sys = "/sys";
    std::string dev = "/dev";
    std::string proc = "/proc";
    std::string etc = "/etc";
    std::string lib = "/lib";
    std::string usr = "/usr";
};

// Who is asking: the user's id and name and the groups the process has now
// (a group added to the user since the last log-in is not among them).
struct ProcessIdentity {
    unsigned uid = 0;
    std::vector<unsigned> gids;
    std::string user;
};

// One thing that stands in the way and the commands or steps that remove it.
struct DoctorFinding {
    std::string problem;
    std::vector<std::string> fix;
};

struct PortCheckup {
    std::string port;  // the device path
    std::string title; // the port list's friendly name, or the path
    std::vector<DoctorFinding> findings;
};

struct DoctorReport {
    // Set when the checks do not exist on this platform; nothing else is.
    std::string unavailable;
    // Findings that belong to no port (no port at all).
    std::vector<DoctorFinding> general;
    std::vector<PortCheckup> ports;

    bool Healthy() const {
        bool healthy = unavailable.empty() && general.empty();
        for (const PortCheckup& port : ports)
            healthy = healthy && port.findings.empty();
        return healthy;
    }
};

class CPortDoctor {
  public:
    // `who` empty: the running process (its uid, getgroups(), its user's
    // name), and the system's own access check on top of the mode bits.
    explicit CPortDoctor(DoctorRoots roots, std::optional<ProcessIdentity> who = std::nullopt);

    // Examines `port`, or, when it is empty, every port the port list shows.
    // No port at all is a general finding.
    DoctorReport Examine(const std::string& port) const;

  private:
    DoctorRoots m_roots;
    std::optional<ProcessIdentity> m_who;
};

} // namespace nw
