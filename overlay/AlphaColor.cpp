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

int NearestPercent(const QString& color)
{
    const auto isHex = [](QChar c) {
        return QStringLiteral("0123456789abcdefABCDEF").contains(c);
    };
    if (color.size() < 2 || !isHex(color.at(0)) || !isHex(color.at(1)))
        return 100;
    const int alpha = color.left(2).toInt(nullptr, 16);
    int nearest = 100;
    for (int percent = 100; percent >= 0; --percent) {
        const int distance = std::abs(PercentToAlphaHex(percent).toInt(nullptr, 16) - alpha);
        if (distance < std::abs(PercentToAlphaHex(nearest).toInt(nullptr, 16) - alpha))
            nearest = percent;
    }
    return nearest;
}

} // namespace Overlay
