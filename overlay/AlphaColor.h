#pragma once

#include <QString>
#include <QStringView>

namespace Overlay {

// 0-9, a-f or A-F.
bool IsHexDigit(QChar c);

// A colour as KML writes it: two hex digits each of alpha, blue, green, red.
bool IsKmlColor(QStringView text);

// Slider value (0 = transparent, 100 = opaque) to the two lower-case hex alpha
// digits of a KML colour. For every whole value v from 0 to 99 the result is
// floor(v * 256 / 100); anything above 99 gives "ff".
QString PercentToAlphaHex(double percent);

// The whole slider value whose alpha digits come nearest to those of `color`
// (the higher on a tie); 100 when `color` has no two hex digits first.
int NearestPercent(const QString& color);

} // namespace Overlay
