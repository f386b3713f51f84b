#include "HandPlacement.h"

#include "KmlNumber.h"
#include "Vocabulary.h"

#include <cmath>

namespace Overlay {

namespace {

// Floating point slack, so that a value exactly half a pixel away still counts.
constexpr double kSlack = 1e-9;
constexpr int kMostPlaces = 4;

} // namespace

bool IsUnitWord(const QString& word)
{
    return word == Vocabulary::kFraction || word == Vocabulary::kPixels ||
           word == Vocabulary::kInsetPixels;
}

QString FractionText(double share, double extent)
{
    const double target = share * extent;
    for (int places = 0; places <= kMostPlaces; ++places) {
        const double scale = std::pow(10.0, places);
        // Adding 0 turns -0 into 0.
        const double value = std::round(share * scale) / scale + 0.0;
        if (places == kMostPlaces || std::abs(value * extent - target) <= 0.5 + kSlack)
            return QString::number(value, 'f', places);
    }
    return {};
}

QString AlongText(double along, double extent, const QString& units)
{
    if (units == Vocabulary::kPixels)
        return WholeNumberText(std::round(along));
    if (units == Vocabulary::kInsetPixels)
        return WholeNumberText(std::round(extent - along));
    return FractionText(extent != 0 ? along / extent : 0, extent);
}

std::pair<QString, QString> ScreenPointTexts(QPointF point, QSizeF screen, const QString& xUnits,
                                             const QString& yUnits)
{
    // KML measures y from the bottom.
    return {AlongText(point.x(), screen.width(), xUnits),
            AlongText(screen.height() - point.y(), screen.height(), yUnits)};
}

QString DegreesText(double degrees, int step)
{
    const double stepped = std::round(degrees / step) * step;
    // 360 is a multiple of every step offered, so steps survive the wrap.
    return WholeNumberText(std::remainder(stepped, 360.0));
}

} // namespace Overlay
