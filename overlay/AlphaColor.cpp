#include "AlphaColor.h"

#include <cmath>

namespace Overlay {

QString PercentToAlphaHex(double percent)
{
    if (percent > 99)
        return QStringLiteral("ff");
    if (!(percent > 0))
        return QStringLiteral("00");
    // Whole slider values are computed in integers, so no rounding error can
    // turn a truncation into the digit below.
    int alpha = 0;
    const double whole = std::floor(percent);
    if (whole == percent) {
        alpha = static_cast<int>(whole) * 256 / 100;
    } else {
        const double t = percent * 16 / 100;
        const int high = static_cast<int>(std::floor(t));
        const int low = static_cast<int>(std::floor((t - high) * 16));
        alpha = high * 16 + low;
    }
    return QStringLiteral("%1").arg(alpha, 2, 16, QLatin1Char('0'));
}

} // namespace Overlay
