#pragma once

#include "OverlaySettings.h"
#include "Vocabulary.h"

#include <QDebug>
#include <QLineF>
#include <QMetaType>
#include <QPointF>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>

using Corners = std::array<QPointF, 4>;
Q_DECLARE_METATYPE(OverlaySettings)
Q_DECLARE_METATYPE(Corners)

// Settings as the window holds them, each element filled in by name; a point's
// y units default to its x units. Units of an element left out stay empty, so
// any check of problems also catches a viewer reading them.
struct Make
{
    using Text = const char*;
    OverlaySettings s;

    Make() { s.OverlayColor = Vocabulary::kOpaqueWhite; }
    operator OverlaySettings() const { return s; }

    static QString T(Text text) { return QString::fromUtf8(text); }
    Make& Set(QString& field, const QString& text)
    {
        field = text;
        return *this;
    }
    Make& Point(QString& x, QString& y, QString& xu, QString& yu, Text vx, Text vy, Text ux,
                Text uy)
    {
        return Set(x, T(vx)).Set(y, T(vy)).Set(xu, T(ux)).Set(yu, T(uy ? uy : ux));
    }
    Make& overlay(Text x, Text y, Text xu = "fraction", Text yu = nullptr)
    {
        return Point(s.txtOverlay_x, s.txtOverlay_y, s.comboOverlay_x_units, s.comboOverlay_y_units,
                     x, y, xu, yu);
    }
    Make& screen(Text x, Text y, Text xu = "fraction", Text yu = nullptr)
    {
        return Point(s.txtScreen_x, s.txtScreen_y, s.comboScreen_x_units, s.comboScreen_y_units, x,
                     y, xu, yu);
    }
    Make& turnAt(Text x, Text y, Text xu = "fraction", Text yu = nullptr)
    {
        return Point(s.txtRotation_x, s.txtRotation_y, s.comboRotation_x_units,
                     s.comboRotation_y_units, x, y, xu, yu);
    }
    Make& size(Text x, Text y, Text xu = "fraction", Text yu = nullptr)
    {
        return Point(s.comboSize_x, s.comboSize_y, s.comboSize_x_units, s.comboSize_y_units, x, y,
                     xu, yu);
    }
    Make& angle(Text degrees) { return Set(s.txtRotation, T(degrees)); }
    Make& color(Text color) { return Set(s.OverlayColor, T(color)); }
    Make& picture(const QString& path) { return Set(s.GraphicFilePath, path); }
};

// Empty when every corner matches to a millionth of its size, else what differs.
inline QString CornersDiffer(const Corners& actual, const Corners& expected)
{
    QString text;
    for (int i = 0; i < 4; ++i) {
        const QPointF e = expected[i];
        const double tolerance = 1e-6 * std::max({1.0, std::abs(e.x()), std::abs(e.y())});
        if (!(QLineF(actual[i], e).length() <= tolerance))
            QDebug(&text) << "corner" << i << actual[i] << "not" << e;
    }
    return text;
}
