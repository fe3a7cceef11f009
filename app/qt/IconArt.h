// Icon 128, drawn by code: a master circle linked to two slave circles on a
// blue tile. The 16 and 32 pixel images are the 16-colour picture of
// res/IconImage.h, the one the Windows icon holds; larger sizes are painted
// smooth from the same grid.
#pragma once

#include <QIcon>
#include <QImage>

namespace nw::qt {

QImage DrawAppIcon(int size);
// The icon with images of 16, 32, 48, 64, 128 and 256 pixels.
QIcon AppIcon();

} // namespace nw::qt
