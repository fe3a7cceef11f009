// Line settings as the windows hold them: a baud rate in bit/s and the parity
// and stop-bit codes of the Windows serial API (which the windows pass on
// unchanged on every platform).
#pragma once

#include <array>
#include <cstdint>

namespace nw {

namespace parity {
inline constexpr std::uint8_t kNone = 0;
inline constexpr std::uint8_t kOdd = 1;
inline constexpr std::uint8_t kEven = 2;
} // namespace parity

namespace stopbits {
inline constexpr std::uint8_t kOne = 0;
inline constexpr std::uint8_t kTwo = 2;
} // namespace stopbits

// The rates the port box offers, in the order it offers them.
inline constexpr std::array<std::uint32_t, 11> kBaudRates = {
    1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};

inline constexpr std::uint32_t kDefaultBaud = 9600;

} // namespace nw
