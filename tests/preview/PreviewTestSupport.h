#pragma once

#include "OverlaySettings.h"
#include "Vocabulary.h"

#include <QMetaType>
#include <QPointF>
#include <QString>

#include <array>
#include <cmath>

Q_DECLARE_METATYPE(OverlaySettings)

// Builds settings the way the window holds them: nothing written but the
// colour, each element filled in by name.
struct Make
{
    OverlaySettings s;

    Make()
    {
        s.OverlayColor = Vocabulary::kOpaqueWhite;
        for (QString* units :
             {&s.comboOverlay_x_units, &s.comboOverlay_y_units, &s.comboScreen_x_units,
              &s.comboScreen_y_units, &s.comboRotation_x_units, &s.comboRotation_y_units,
              &s.comboSize_x_units, &s.comboSize_y_units})
            *units = Vocabulary::kFraction;
    }
    static QString T(const char* text) { return QString::fromUtf8(text); }

    Make& overlay(const char* x, const char* y, const char* xu = "fraction",
                  const char* yu = "fraction")
    {
        s.txtOverlay_x = T(x);
        s.txtOverlay_y = T(y);
        s.comboOverlay_x_units = T(xu);
        s.comboOverlay_y_units = T(yu);
        return *this;
    }
    Make& screen(const char* x, const char* y, const char* xu = "fraction",
                 const char* yu = "fraction")
    {
        s.txtScreen_x = T(x);
        s.txtScreen_y = T(y);
        s.comboScreen_x_units = T(xu);
        s.comboScreen_y_units = T(yu);
        return *this;
    }
    Make& turnAt(const char* x, const char* y, const char* xu = "fraction",
                 const char* yu = "fraction")
    {
        s.txtRotation_x = T(x);
        s.txtRotation_y = T(y);
        s.comboRotation_x_units = T(xu);
        s.comboRotation_y_units = T(yu);
        return *this;
    }
    Make& angle(const char* degrees)
    {
        s.txtRotation = T(degrees);
        return *this;
    }
    Make& size(const char* x, const char* y, const char* xu = "fraction",
               const char* yu = "fraction")
    {
        s.comboSize_x = T(x);
        s.comboSize_y = T(y);
        s.comboSize_x_units = T(xu);
        s.comboSize_y_units = T(yu);
        return *this;
    }
    Make& color(const char* color)
    {
        s.OverlayColor = T(color);
        return *this;
    }
    Make& title(const char* title)
    {
        s.txtOverlay_title = T(title);
        return *this;
    }
    Make& picture(const QString& path)
    {
        s.GraphicFilePath = path;
        return *this;
    }
    operator OverlaySettings() const { return s; }
};

inline bool Near(QPointF a, QPointF b, double tolerance)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
}

inline QString PointsText(const std::array<QPointF, 4>& points)
{
    QString text;
    for (const QPointF p : points)
        text += QStringLiteral("(%1, %2) ").arg(p.x()).arg(p.y());
    return text;
}
