#include "protocol/Dialect.h"

#include <array>
#include <cstdio>

namespace nw::cmd {

bool HasControlChar(const std::string& text) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F)
            return true;
    }
    return false;
}

bool IsSendableAddress(const std::string& text) {
    return text.size() == kAddressLength && !HasControlChar(text);
}

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
