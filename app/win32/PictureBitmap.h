// Draws an instruction picture with GDI: the tree of circles M and S1..SN,
// black on white, with a red arrow into the adapter to attach next; 350 x 140
// pixels, 24 bits per pixel or an 8-bit palette where the page asks for one.
#pragma once

#include "res/PicturePages.h"

#include "app/win32/Win32.h"

namespace nw::win {

// A new bitmap (DIB section) the caller owns; null when GDI refuses.
HBITMAP DrawPictureBitmap(const res::PicturePage& page);

} // namespace nw::win
