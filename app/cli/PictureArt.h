// The instruction pictures of the main window as small text drawings: the
// tree of the master (M) above its slaves (S1..SN) and an arrow at the
// adapter the user should attach next (none on the overview pages).
#pragma once

#include <string>

namespace nw::cli {

// The drawing of picture page `page` (template number), lines ended by '\n'
// except the last; empty for a number that is not a picture page.
std::string DrawPicturePage(int page);

} // namespace nw::cli
