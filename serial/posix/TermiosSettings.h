// Maps the windows' line settings onto a termios structure: raw bytes, 8 data
// bits, receiver on, modem control lines ignored, no hardware or software flow
// control, the baud rate and the Windows parity and stop-bit codes.
#pragma once

#include <cstdint>
#include <string>
#include <termios.h>

namespace nw::posix {

// The speed_t for a rate in bit/s, or false when the system has none.
bool BaudToSpeed(std::uint32_t baud, speed_t& speed);

// Fills `t` (starting from what the device reported) for the given settings.
// Returns false with a reason for a rate, parity or stop-bit code it cannot
// express; `t` is then unspecified.
bool MakeTermios(termios& t, std::uint32_t baud, std::uint8_t byStopBits, std::uint8_t byParity,
                 std::string* why = nullptr);

} // namespace nw::posix
