// Icon 128, drawn by code: a master circle linked to two slave circles on a
// blue tile. The 16 and 32 pixel images use only the sixteen standard colours
// and no anti-aliasing, as a 16-colour icon does; larger sizes are smooth.
#pragma once

#include <QIcon>
#include <QImage>

namespace nw::qt {

QImage DrawAppIcon(int size);
// The icon with images of 16, 32, 48, 64, 128 and 256 pixels.
QIcon AppIcon();

} // namespace nw::qt
