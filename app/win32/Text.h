// UTF-8 (the logic's and the tables' texts) to and from UTF-16 (the system's
// wide calls).
#pragma once

#include <string>
#include <string_view>

namespace nw::win {

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

} // namespace nw::win
