// Draws the instruction pictures from their description: a tree of circles
// M and S1..SN, black on white, with a red arrow into the adapter to attach
// next. 350 x 140 pixels; 24 bits per pixel, or an 8-bit palette where the
// description asks for one.
#pragma once

#include "res/PicturePages.h"

#include <QImage>

namespace nw::qt {

QImage DrawPicture(const res::PicturePage& page);
// By bitmap number (134..164); a blank image for an unknown number.
QImage DrawBitmap(int bitmapId);

// Where the arrow pointing at `node` ends: just inside the circle's rim, on
// the line from the arrow's tail to the centre.
QPointF ArrowTip(const res::TreeNode& node);

} // namespace nw::qt
