#include "app/qt/DialogUnits.h"

#include <QFontMetrics>
#include <QString>

#include <cstdlib>

namespace nw::qt {

BaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics fm(font);
    static const QString kAlphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    // The platform averages over 52 letters as (width / 26 + 1) / 2.
    const int width = fm.horizontalAdvance(kAlphabet);
    return {(width / 26 + 1) / 2, fm.height()};
}

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long magnitude = (std::llabs(product) + half) / std::llabs(c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

QRect MapDialogRect(const BaseUnits& units, int x, int y, int cx, int cy) {
    return {MulDiv(x, units.cx, 4), MulDiv(y, units.cy, 8), MulDiv(cx, units.cx, 4),
            MulDiv(cy, units.cy, 8)};
}

} // namespace nw::qt
