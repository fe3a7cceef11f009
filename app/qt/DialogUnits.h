// Dialog units to pixels, as the original platform converts them: the base
// units come from the dialog's font (the average width of "A".."Z" "a".."z"
// and the font's height), and a rectangle maps as x * cx / 4, y * cy / 8,
// each rounded to the nearest pixel.
#pragma once

#include <QFont>
#include <QRect>

namespace nw::qt {

struct BaseUnits {
    int cx = 0; // average character width, pixels
    int cy = 0; // character height, pixels
};

BaseUnits BaseUnitsOf(const QFont& font);

// a * b / c rounded half away from zero (the platform's MulDiv).
int MulDiv(int a, int b, int c);

// A rectangle in dialog units to pixels.
QRect MapDialogRect(const BaseUnits& units, int x, int y, int cx, int cy);

} // namespace nw::qt
