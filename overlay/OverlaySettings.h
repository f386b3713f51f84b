#pragma once

#include "Vocabulary.h"

#include <QString>

#include <utility>

// Everything the screen overlay file is written from, as text exactly as the
// user typed or picked it. The window fills one of these from its controls at
// the moment of each write; nothing here is ever converted to a number.
struct OverlaySettings
{
    QString txtOverlay_title;
    QString txtDraw_order;

    QString txtOverlay_x;
    QString txtOverlay_y;
    QString comboOverlay_x_units;
    QString comboOverlay_y_units;

    QString txtScreen_x;
    QString txtScreen_y;
    QString comboScreen_x_units;
    QString comboScreen_y_units;

    QString txtRotation_x;
    QString txtRotation_y;
    QString comboRotation_x_units;
    QString comboRotation_y_units;

    QString txtRotation;

    // Size list texts: a size word or a typed number (see SizeWordRule).
    QString comboSize_x;
    QString comboSize_y;
    QString comboSize_x_units;
    QString comboSize_y_units;

    QString OutputFilePath;
    QString GraphicFilePath;
    QString OverlayColor;

    friend bool operator==(const OverlaySettings&, const OverlaySettings&) = default;
};

using OverlayField = QString OverlaySettings::*;

// The file's four points, in its order: the element, the name the preview
// gives it, then the fields of x, y and their units lists.
struct OverlayPoint
{
    const char* element = nullptr;
    const char* label = nullptr;
    OverlayField x{}, y{}, xUnits{}, yUnits{};
    bool sizeWords = false; // the size lists: size words stand for numbers
};
inline constexpr OverlayPoint kOverlayPoints[] = {
    {"overlayXY", "Overlay", &OverlaySettings::txtOverlay_x, &OverlaySettings::txtOverlay_y,
     &OverlaySettings::comboOverlay_x_units, &OverlaySettings::comboOverlay_y_units},
    {"screenXY", "Screen", &OverlaySettings::txtScreen_x, &OverlaySettings::txtScreen_y,
     &OverlaySettings::comboScreen_x_units, &OverlaySettings::comboScreen_y_units},
    {"rotationXY", "Rotation", &OverlaySettings::txtRotation_x, &OverlaySettings::txtRotation_y,
     &OverlaySettings::comboRotation_x_units, &OverlaySettings::comboRotation_y_units},
    {"size", "Size", &OverlaySettings::comboSize_x, &OverlaySettings::comboSize_y,
     &OverlaySettings::comboSize_x_units, &OverlaySettings::comboSize_y_units, true},
};

namespace Overlay {

// A point's x and y as the file holds them (SizeWordRule for the size).
inline std::pair<QString, QString> PointTexts(const OverlaySettings& s, const OverlayPoint& point)
{
    if (point.sizeWords)
        return {Vocabulary::SizeWordRule(s.*point.x), Vocabulary::SizeWordRule(s.*point.y)};
    return {s.*point.x, s.*point.y};
}

} // namespace Overlay

// Every field, named as the control or module variable that holds it.
struct NamedField
{
    const char* name;
    OverlayField field;
    bool control; // false: a module variable
};
inline constexpr NamedField kOverlayFields[] = {
    {"txtOverlay_title", &OverlaySettings::txtOverlay_title, true},
    {"txtDraw_order", &OverlaySettings::txtDraw_order, true},
    {"txtOverlay_x", &OverlaySettings::txtOverlay_x, true},
    {"txtOverlay_y", &OverlaySettings::txtOverlay_y, true},
    {"comboOverlay_x_units", &OverlaySettings::comboOverlay_x_units, true},
    {"comboOverlay_y_units", &OverlaySettings::comboOverlay_y_units, true},
    {"txtScreen_x", &OverlaySettings::txtScreen_x, true},
    {"txtScreen_y", &OverlaySettings::txtScreen_y, true},
    {"comboScreen_x_units", &OverlaySettings::comboScreen_x_units, true},
    {"comboScreen_y_units", &OverlaySettings::comboScreen_y_units, true},
    {"txtRotation_x", &OverlaySettings::txtRotation_x, true},
    {"txtRotation_y", &OverlaySettings::txtRotation_y, true},
    {"comboRotation_x_units", &OverlaySettings::comboRotation_x_units, true},
    {"comboRotation_y_units", &OverlaySettings::comboRotation_y_units, true},
    {"txtRotation", &OverlaySettings::txtRotation, true},
    {"comboSize_x", &OverlaySettings::comboSize_x, true},
    {"comboSize_y", &OverlaySettings::comboSize_y, true},
    {"comboSize_x_units", &OverlaySettings::comboSize_x_units, true},
    {"comboSize_y_units", &OverlaySettings::comboSize_y_units, true},
    {"OutputFilePath", &OverlaySettings::OutputFilePath, false},
    {"GraphicFilePath", &OverlaySettings::GraphicFilePath, false},
    {"OverlayColor", &OverlaySettings::OverlayColor, false},
};
