// The --trace lines: every chunk the port writes or reads, time-stamped, with
// line ends and other bytes that do not print spelled out.
#pragma once

#include "serial/ByteSpelling.h"

#include <cstdint>
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

// "   1412.3 ms WAIT at+btinfo?<CR><LF> 71.8 of 2000 ms, reply": how long the
// wait after a command took against its pause, and whether the reply (and
// its guard) ended it or the whole pause passed ("full").
std::string WaitLine(double ms, std::string_view command, double waitedMs, std::uint32_t pauseMs,
                     bool replied);

} // namespace nw::cli
