// The parts of the port list every platform shares.
#include "serial/SerialEnum.h"

#include <utility>

namespace nw {

CComPortInfo::CComPortInfo(std::string name, std::string friendlyName)
    : m_strName(std::move(name)), m_strFriendlyName(std::move(friendlyName)) {}

CSerialEnum::CSerialEnum(std::string sysRoot, std::string devRoot)
    : m_strSysRoot(std::move(sysRoot)), m_strDevRoot(std::move(devRoot)) {}

bool CSerialEnum::Refresh() {
    Clear();
    return Enumerate();
}

void CSerialEnum::Clear() {
    m_aPorts.clear();
    m_nPortCount = 0;
}

} // namespace nw
