#pragma once

#include <QString>

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
