// Reading back what a master holds: its four slave address registers, its
// result-message setting and its multiple connection mode.
#pragma once

#include "protocol/CommandExchange.h"

#include <string>

namespace nw {

// The address in a register query's reply: "000000000000" when the whole
// reply is empty or exactly "ERROR", else the characters from index 2, at
// most 12 (so "\r\nERROR\r\n" gives "ERROR\r\n", which then counts as an
// address).
std::string AddressFromReadback(const std::string& reply);

// Readback queries and their pauses.
inline constexpr std::uint32_t kAddressQueryMs = 1000;
inline constexpr std::uint32_t kSettingQueryMs = 500;

} // namespace nw
