#pragma once

#include "OverlaySettings.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <array>

// Where a viewer draws the screen overlay, worked out from the same settings
// the file is written from. Screen pixels here have their origin at the
// screen's top-left corner with y down (as windows paint); KML's own origin,
// the lower-left corner with y up, is converted inside.
struct Placement
{
    // The picture's own top-left, top-right, bottom-right and bottom-left
    // corners, in that order, after rotation.
    std::array<QPointF, 4> corners;

    // The picture's rectangle before rotation, and its size on the screen.
    QRectF unrotated;
    QSizeF size;

    // Where screenXY is: the overlay point of the unturned picture is pinned
    // there. Moving the picture by hand moves this point.
    QPointF anchor;

    // The point the picture turns about, and the angle in degrees,
    // counter-clockwise as seen on the screen.
    QPointF pivot;
    double rotationDegrees = 0;

    // 0 (invisible) to 1 (opaque), from the alpha digits of OverlayColor.
    double opacity = 1;

    // An absent overlayXY or screenXY element stands for the lower-left corner
    // (of the picture, of the screen).
    bool overlayXYAbsent = false;
    bool screenXYAbsent = false;

    // Values a viewer cannot read, each as one sentence for the user, in the
    // order of the file's elements.
    QStringList problems;
};

namespace Overlay {

// Places the picture of `pictureNative` pixels on a screen of `screen` pixels.
//
// Each element counts as written exactly when the writer writes it: a point
// when either of its two texts is not empty, the size when either size list
// is not empty, the rotation when its text is not empty. Inside a written
// element an empty value reads as 0; a value that is not a number
// (KmlNumberValue) reads as 0 and adds a problem. Units:
//   fraction    share of the picture (overlayXY, rotationXY) or of the screen
//               (screenXY, size)
//   pixels      from the left or bottom edge (size: that many pixels)
//   insetPixels from the right or top edge (size: the screen less that many)
// Size: -1 is the picture's own dimension, 0 keeps the aspect ratio from the
// other dimension; both 0, or 0 with -1, or no size element is native size.
// Rotation is about rotationXY, read in the picture's own frame (default the
// picture's centre).
Placement PlaceOverlay(const OverlaySettings& settings, QSizeF screen, QSizeF pictureNative);

// `point` turned by `degrees` about `pivot`, counter-clockwise as seen on the
// screen (Placement's sense, and KML's).
QPointF TurnAbout(QPointF point, QPointF pivot, double degrees);

} // namespace Overlay
