// Windows backend of CPortDoctor: the checks read a POSIX system (device
// nodes, groups, udev, /proc); Windows has none of them.
#include "serial/PortDoctor.h"

#include <utility>

namespace nw {

CPortDoctor::CPortDoctor(DoctorRoots roots, std::optional<ProcessIdentity> who)
    : m_roots(std::move(roots)), m_who(std::move(who)) {}

DoctorReport CPortDoctor::Examine(const std::string&) const {
    DoctorReport report;
    report.unavailable = "doctor is not available on Windows: the Device Manager shows each COM "
                         "port and its driver.";
    return report;
}

} // namespace nw
