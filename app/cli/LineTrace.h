// The --trace lines: every chunk the port writes or reads, time-stamped, with
// line ends and other bytes that do not print spelled out.
#pragma once

#include <string>
#include <string_view>

namespace nw::cli {

// <CR>, <LF>, <NUL>; other bytes below 0x20 and from 0x7f up as <xx> in
// lower-case hexadecimal; printable ASCII as it is.
std::string SpellBytes(std::string_view bytes);

// "    412.3 ms TX at<CR><LF>": milliseconds with one decimal in nine columns,
// the direction (TX written, RX read), the spelled bytes.
std::string TraceLine(double ms, bool written, std::string_view bytes);

} // namespace nw::cli
