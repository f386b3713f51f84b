#pragma once

#include "Vocabulary.h"

#include <QString>

#include <utility>

// Everything the screen overlay file is written from, as text exactly as the
// user typed or picked it. The window fills one of these from its controls at
// the moment of each write; nothing here is ever converted to a number.
struct OverlaySettings
{
    QString title;
    QString drawOrder;

    QString overlayX;
    QString overlayY;
    QString overlayXUnits;
    QString overlayYUnits;

    QString screenX;
    QString screenY;
    QString screenXUnits;
    QString screenYUnits;

    QString rotationX;
    QString rotationY;
    QString rotationXUnits;
    QString rotationYUnits;

    QString rotation;

    // Size list texts: a size word or a typed number (see SizeWordRule).
    QString sizeX;
    QString sizeY;
    QString sizeXUnits;
    QString sizeYUnits;

    QString outputFile;
    QString picture;
    QString colour;

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
    {"overlayXY", "Overlay", &OverlaySettings::overlayX, &OverlaySettings::overlayY,
     &OverlaySettings::overlayXUnits, &OverlaySettings::overlayYUnits},
    {"screenXY", "Screen", &OverlaySettings::screenX, &OverlaySettings::screenY,
     &OverlaySettings::screenXUnits, &OverlaySettings::screenYUnits},
    {"rotationXY", "Rotation", &OverlaySettings::rotationX, &OverlaySettings::rotationY,
     &OverlaySettings::rotationXUnits, &OverlaySettings::rotationYUnits},
    {"size", "Size", &OverlaySettings::sizeX, &OverlaySettings::sizeY, &OverlaySettings::sizeXUnits,
     &OverlaySettings::sizeYUnits, true},
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

// Every field by its name, in the file's order of reading.
struct NamedField
{
    const char* name;
    OverlayField field;
};
inline constexpr NamedField kOverlayFields[] = {
    {"title", &OverlaySettings::title},
    {"drawOrder", &OverlaySettings::drawOrder},
    {"overlayX", &OverlaySettings::overlayX},
    {"overlayY", &OverlaySettings::overlayY},
    {"overlayXUnits", &OverlaySettings::overlayXUnits},
    {"overlayYUnits", &OverlaySettings::overlayYUnits},
    {"screenX", &OverlaySettings::screenX},
    {"screenY", &OverlaySettings::screenY},
    {"screenXUnits", &OverlaySettings::screenXUnits},
    {"screenYUnits", &OverlaySettings::screenYUnits},
    {"rotationX", &OverlaySettings::rotationX},
    {"rotationY", &OverlaySettings::rotationY},
    {"rotationXUnits", &OverlaySettings::rotationXUnits},
    {"rotationYUnits", &OverlaySettings::rotationYUnits},
    {"rotation", &OverlaySettings::rotation},
    {"sizeX", &OverlaySettings::sizeX},
    {"sizeY", &OverlaySettings::sizeY},
    {"sizeXUnits", &OverlaySettings::sizeXUnits},
    {"sizeYUnits", &OverlaySettings::sizeYUnits},
    {"outputFile", &OverlaySettings::outputFile},
    {"picture", &OverlaySettings::picture},
    {"colour", &OverlaySettings::colour},
};
