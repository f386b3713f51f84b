#pragma once

#include "OverlaySettings.h"
#include "Vocabulary.h"

#include <QLineF>
#include <QMetaType>

#include <algorithm>
#include <array>
#include <cmath>

using Corners = std::array<QPointF, 4>;
Q_DECLARE_METATYPE(OverlaySettings)
Q_DECLARE_METATYPE(Corners)

// Settings as the window holds them, filled in by element; a point's y units
// default to its x units. Units of an element left out stay empty, so any
// check of problems also catches a viewer reading them.
struct Make
{
    using Text = const char*;
    OverlaySettings s;

    Make() { s.colour = Vocabulary::kOpaqueWhite; }
    operator OverlaySettings() const { return s; }

    // An element's x and y values and units, in that order.
    Make& At(int element, Text x, Text y, Text xu, Text yu)
    {
        const OverlayPoint& point = kOverlayPoints[element];
        const Text texts[] = {x, y, xu, yu ? yu : xu};
        const OverlayField fields[] = {point.x, point.y, point.xUnits, point.yUnits};
        for (int i = 0; i < 4; ++i)
            s.*fields[i] = QString::fromUtf8(texts[i]);
        return *this;
    }
    static constexpr Text kF = "fraction";
    Make& overlay(Text x, Text y, Text xu = kF, Text yu = {}) { return At(0, x, y, xu, yu); }
    Make& screen(Text x, Text y, Text xu = kF, Text yu = {}) { return At(1, x, y, xu, yu); }
    Make& turnAt(Text x, Text y, Text xu = kF, Text yu = {}) { return At(2, x, y, xu, yu); }
    Make& size(Text x, Text y, Text xu = kF, Text yu = {}) { return At(3, x, y, xu, yu); }
    Make& Set(QString& field, const QString& text)
    {
        field = text;
        return *this;
    }
    Make& angle(Text degrees) { return Set(s.rotation, QString::fromUtf8(degrees)); }
    Make& color(Text color) { return Set(s.colour, QString::fromUtf8(color)); }
    Make& picture(const QString& path) { return Set(s.picture, path); }
};

// Every corner within a millionth of its size.
inline bool Near(const Corners& actual, const Corners& expected)
{
    return std::equal(actual.begin(), actual.end(), expected.begin(), [](QPointF a, QPointF e) {
        return QLineF(a, e).length() <= 1e-6 * std::max({1.0, std::abs(e.x()), std::abs(e.y())});
    });
}
