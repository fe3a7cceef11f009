// Windows names its ports COMn and keeps no by-id or by-path links: a port's
// identity is its name.
#include "serial/PortIdentity.h"

namespace nw {

std::vector<PortIdentity> IdentifyPorts(const std::vector<CComPortInfo>& ports, const std::string&,
                                        const std::string&) {
    std::vector<PortIdentity> out;
    for (const CComPortInfo& port : ports) {
        PortIdentity id;
        id.path = port.m_strName;
        id.friendlyName = port.m_strFriendlyName;
        out.push_back(id);
    }
    return out;
}

} // namespace nw
