#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// A window on any screen: at its natural size where that fits, otherwise as
// large as the screen's free area allows with its content scrolling; and
// never partly off that area.

// The size a window whose content is `natural` takes in `room` (the screen's
// free area less the window's frame): `natural` where it fits; otherwise no
// larger than `room`, with `bar` added for each scroll bar it then needs (a
// bar for one direction takes room from the other).
QSize FittedSize(QSize natural, QSize room, int bar);

// Where a window whose frame is `frame` large goes: centred on the whole
// screen `whole`, then moved as little as needed to lie inside `available`.
QPoint FittedPlace(QSize frame, const QRect& whole, const QRect& available);

// Sizes `window` (fixed) for its primary screen by FittedSize and places its
// frame by FittedPlace. Call once its layout has its natural size.
void FitToScreen(QWidget* window, QSize natural, int bar);
