// The --trace lines: every chunk the port writes or reads, time-stamped, with
// line ends and other bytes that do not print spelled out.
#pragma once

#include "serial/ByteSpelling.h"

#include <string>
#include <string_view>

namespace nw::cli {

// `text` made safe for a terminal: printable ASCII and well-formed UTF-8
// stay; control bytes (C0, DEL, and C1 controls in either form) and bytes
// that are not UTF-8 are spelled as SpellBytes spells them. Adapter text can
// then neither move the cursor nor retitle or clear the terminal.
std::string SpellForTerminal(std::string_view text);

// "    412.3 ms TX at<CR><LF>": milliseconds with one decimal in nine columns,
// the direction (TX written, RX read), the spelled bytes.
std::string TraceLine(double ms, bool written, std::string_view bytes);

} // namespace nw::cli
