#pragma once

#include "HandEdit.h"
#include "OverlaySettings.h"
#include "Placement.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <utility>

// The numbers behind placing the overlay by hand in the preview: a place on
// the screen, a size or an angle turned back into field texts, so that the
// placement rule (PlaceOverlay) reads them back to within half a pixel, and
// the moves, resizes, turns and nudges that set them. Points are in screen
// pixels, origin at the top-left, y down, as in Placement.
namespace Overlay {

// Whether `word` is one of the units a viewer reads; a list holding anything
// else (the empty text included) is to be set to fraction first.
bool IsUnitWord(const QString& word);

// `share` of an `extent` pixels long as the shortest decimal, at most four
// places, that lands within half a pixel of it. "." as the decimal point,
// never "-0".
QString FractionText(double share, double extent);

// A distance `along` an `extent` from its left or bottom end (for a size:
// the length itself), as the value of a field in `units`: fraction (or a word
// that is not a unit), whole pixels, or whole pixels from the other end.
QString AlongText(double along, double extent, const QString& units);

// screenXY's x and y texts that pin the overlay point at `point`.
std::pair<QString, QString> ScreenPointTexts(QPointF point, QSizeF screen, const QString& xUnits,
                                             const QString& yUnits);

// Whole degrees, rounded to a multiple of `step`, within -180..180.
QString DegreesText(double degrees, int step = 1);

// A drag as it stood at the press. Every edit of a drag is worked out from
// this, not from the edit before it, so a drag back undoes itself exactly.
struct DragStart
{
    OverlaySettings settings;
    Placement placement;
    QSizeF screen;
    // The picture's own size, which the placement rule reads it at.
    QSizeF native;
    QPointF press;
};

// A move, and the preset it snapped to (-1 for none).
struct HandMove
{
    HandEdit edit;
    int preset = -1;
};

// The picture dragged from the press to `at`. It snaps to the nearest preset
// whose picture point ends within `snapReach` of that preset's screen point,
// unless `snapOff`. Once a drag has snapped (`snappedBefore`), a move off the
// presets puts the overlay point back as it was at the press.
HandMove MoveEdit(const DragStart& start, QPointF at, double snapReach, bool snapOff,
                  bool snappedBefore);

// The picture's `corner` (Placement's order) dragged to `at`, the opposite
// corner staying put; `keepAspect` keeps the shape it had at the press.
HandEdit ResizeEdit(const DragStart& start, QPointF at, int corner, bool keepAspect);

// The picture turned about its pivot by the angle the mouse swept from the
// press to `at`; `inSteps` rounds to 15 degrees.
HandEdit TurnEdit(const DragStart& start, QPointF at, bool inSteps);

// The overlay point, now at `anchor`, moved `step` pixels.
HandEdit NudgeEdit(const OverlaySettings& settings, QPointF anchor, QSizeF screen, QPointF step);

} // namespace Overlay
