// Windows port list: every name COM1 ... COM255 for which the system has a
// default configuration is a port. Nothing is opened to find out.
#include "serial/SerialEnum.h"

#include <windows.h>

namespace nw {

namespace {

constexpr int kLastPort = 255;

} // namespace

// The roots only matter where the list is read from a file system.
CSerialEnum::CSerialEnum() = default;

bool CSerialEnum::Enumerate() {
    Clear();
    for (int n = 1; n <= kLastPort; ++n) {
        const std::string name = "COM" + std::to_string(n);
        COMMCONFIG config{};
        DWORD size = sizeof config; // 52 bytes: no provider data is wanted
        if (::GetDefaultCommConfigA(name.c_str(), &config, &size)) {
            m_aPorts.emplace_back(name, name);
            ++m_nPortCount;
        }
    }
    return true;
}

} // namespace nw
