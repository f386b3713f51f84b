#include "Placement.h"

#include "AlphaColor.h"
#include "KmlNumber.h"
#include "Vocabulary.h"

#include <cmath>
#include <numbers>

namespace Overlay {

namespace {

enum class Unit { Fraction, Pixels, InsetPixels };

// One element's two values and units as a viewer reads them.
struct PointValues
{
    bool written = false;
    double x = 0;
    double y = 0;
    Unit xUnit = Unit::Fraction;
    Unit yUnit = Unit::Fraction;
};

double ReadValue(const QString& name, const QString& text, QStringList& problems)
{
    if (text.isEmpty())
        return 0;
    if (const auto value = KmlNumberValue(text))
        return *value;
    problems << QStringLiteral("%1 value \"%2\" is not a number; read as 0").arg(name, text);
    return 0;
}

// KML's default unit stands in for a word it does not know.
Unit ReadUnit(const QString& name, const QString& word, QStringList& problems)
{
    if (word == Vocabulary::kFraction)
        return Unit::Fraction;
    if (word == Vocabulary::kPixels)
        return Unit::Pixels;
    if (word == Vocabulary::kInsetPixels)
        return Unit::InsetPixels;
    problems << QStringLiteral("%1 units \"%2\" is not a unit; read as fraction").arg(name, word);
    return Unit::Fraction;
}

PointValues ReadPoint(const OverlaySettings& s, const OverlayPoint& element, QStringList& problems)
{
    const auto [x, y] = PointTexts(s, element);
    PointValues point;
    point.written = !x.isEmpty() || !y.isEmpty();
    if (!point.written)
        return point;
    const QString name = QLatin1String(element.label);
    const QString xName = name + QStringLiteral(" x");
    const QString yName = name + QStringLiteral(" y");
    point.x = ReadValue(xName, x, problems);
    point.y = ReadValue(yName, y, problems);
    point.xUnit = ReadUnit(xName, s.*element.xUnits, problems);
    point.yUnit = ReadUnit(yName, s.*element.yUnits, problems);
    return point;
}

// A distance from the left (or bottom) end of something `extent` long.
double Along(double value, Unit unit, double extent)
{
    switch (unit) {
    case Unit::Fraction:
        return value * extent;
    case Unit::Pixels:
        return value;
    case Unit::InsetPixels:
        return extent - value;
    }
    return value;
}

QPointF PointIn(const PointValues& point, QSizeF extent)
{
    return {Along(point.x, point.xUnit, extent.width()),
            Along(point.y, point.yUnit, extent.height())};
}

QSizeF OnScreenSize(const PointValues& size, QSizeF screen, QSizeF native)
{
    if (!size.written)
        return native;
    const bool keepAspectX = size.x == 0;
    const bool keepAspectY = size.y == 0;
    if (keepAspectX && keepAspectY)
        return native;
    double width = size.x == -1 ? native.width() : Along(size.x, size.xUnit, screen.width());
    double height = size.y == -1 ? native.height() : Along(size.y, size.yUnit, screen.height());
    // "0 with -1" lands here too and comes out as the native size.
    if (keepAspectX)
        width = native.height() != 0 ? height * native.width() / native.height() : 0;
    if (keepAspectY)
        height = native.width() != 0 ? width * native.height() / native.width() : 0;
    return {width, height};
}

double ReadOpacity(const QString& color, QStringList& problems)
{
    if (!IsKmlColor(color)) {
        problems
            << QStringLiteral("Colour value \"%1\" is not a colour; read as opaque").arg(color);
        return 1;
    }
    return color.left(2).toInt(nullptr, 16) / 255.0;
}

} // namespace

Placement PlaceOverlay(const OverlaySettings& s, QSizeF screen, QSizeF pictureNative)
{
    Placement placement;
    QStringList& problems = placement.problems;

    // Read in the file's element order so the problems come in that order.
    placement.opacity = ReadOpacity(s.colour, problems);
    const PointValues overlay = ReadPoint(s, kOverlayPoints[0], problems);
    const PointValues onScreen = ReadPoint(s, kOverlayPoints[1], problems);
    const PointValues rotation = ReadPoint(s, kOverlayPoints[2], problems);
    placement.rotationDegrees =
        s.rotation.isEmpty() ? 0
                             : ReadValue(QStringLiteral("Rotation angle"), s.rotation, problems);
    const PointValues size = ReadPoint(s, kOverlayPoints[3], problems);

    placement.overlayXYAbsent = !overlay.written;
    placement.screenXYAbsent = !onScreen.written;
    placement.size = OnScreenSize(size, screen, pictureNative);

    // In KML's frame (origin lower-left, y up) the picture's lower-left corner
    // is the screen point less the picture point; absent points are (0, 0).
    const QPointF pinnedAt = PointIn(onScreen, screen);
    placement.anchor = QPointF(pinnedAt.x(), screen.height() - pinnedAt.y());
    const QPointF lowerLeft = pinnedAt - PointIn(overlay, placement.size);
    const double w = placement.size.width();
    const double h = placement.size.height();
    const double top = screen.height() - lowerLeft.y() - h;
    placement.unrotated = QRectF(lowerLeft.x(), top, w, h);

    const QPointF turnAt =
        rotation.written ? PointIn(rotation, placement.size) : QPointF(w / 2, h / 2);
    placement.pivot =
        QPointF(lowerLeft.x() + turnAt.x(), screen.height() - lowerLeft.y() - turnAt.y());

    const QPointF unturned[4] = {{lowerLeft.x(), top},
                                 {lowerLeft.x() + w, top},
                                 {lowerLeft.x() + w, top + h},
                                 {lowerLeft.x(), top + h}};
    for (int i = 0; i < 4; ++i)
        placement.corners[i] = TurnAbout(unturned[i], placement.pivot, placement.rotationDegrees);
    return placement;
}

QPointF TurnAbout(QPointF point, QPointF pivot, double degrees)
{
    const double radians = degrees * std::numbers::pi / 180;
    const double cosine = std::cos(radians);
    const double sine = std::sin(radians);
    const QPointF d = point - pivot;
    // y runs down, so counter-clockwise on the screen takes +x towards -y.
    return pivot + QPointF(d.x() * cosine + d.y() * sine, -d.x() * sine + d.y() * cosine);
}

} // namespace Overlay
