#pragma once

#include "OverlaySettings.h"

#include <QString>

#include <utility>
#include <vector>

// A change the user makes by hand in the preview (a move, resize, turn, nudge
// or a snap to a preset): the fields it sets, with their new texts, in the
// order they are to be set (units lists before the values they qualify).
// Every value is a number in KML's form ("." as the decimal point), so no
// field is ever left holding a value its check would refuse.
struct HandEdit
{
    std::vector<std::pair<OverlayField, QString>> fields;
    // What the user did, for the Edit menu: "Move in Preview", "Resize in
    // Preview", "Turn in Preview", "Nudge in Preview", or the preset's name
    // ("Lower right") when a move snapped to one.
    QString what;
};
