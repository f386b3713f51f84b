#include "AlphaColor.h"

#include <algorithm>
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

bool IsHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

bool IsKmlColor(QStringView text)
{
    return text.size() == 8 && std::all_of(text.begin(), text.end(), IsHexDigit);
}

int NearestPercent(const QString& color)
{
    if (color.size() < 2 || !IsHexDigit(color.at(0)) || !IsHexDigit(color.at(1)))
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
