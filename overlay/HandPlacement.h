#pragma once

#include "Placement.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <utility>

// The numbers behind placing the overlay by hand in the preview: a place on
// the screen, a size or an angle turned back into field texts, so that the
// placement rule (PlaceOverlay) reads them back to within half a pixel.
// Screen pixels have their origin at the top-left, y down, as in Placement.
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

} // namespace Overlay
