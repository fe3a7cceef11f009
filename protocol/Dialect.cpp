#include "protocol/Dialect.h"

#include <array>
#include <cstdio>

namespace nw::cmd {

std::string FormatAddressWrite(const char* format, const std::string& address) {
    std::array<char, 64> buffer{};
    // The format is one of the constant address-write commands above.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
    const int n = std::snprintf(buffer.data(), buffer.size(), format, address.c_str());
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    if (n < 0)
        return {};
    return std::string(buffer.data());
}

} // namespace nw::cmd
