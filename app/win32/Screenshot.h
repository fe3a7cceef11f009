// Saves what the screen shows of a window, frame included, as a 24-bit BMP.
#pragma once

#include "app/win32/Win32.h"

#include <string>

namespace nw::win {

bool SaveWindowImage(HWND window, const std::wstring& path);

} // namespace nw::win
