#pragma once

#include "PictureLoader.h"

#include <QColor>
#include <QRectF>
#include <QString>

class QPainter;

// What the preview canvas paints, piece by piece; the canvas decides where.
namespace CanvasPainting {

inline const QColor kScreenEdge(0x3c, 0x45, 0x4d);

// The screen: a soft shadow round it, its face, and its quarter lines.
void Screen(QPainter& painter, const QRect& widget, const QRectF& screen);

// The picture in its own frame (0,0)-(`frame`), as the loader has it: the
// pixels, white for no picture, a light rectangle while they are on their
// way, a dashed outline for a picture that cannot be read.
void Picture(QPainter& painter, PictureLoader& loader, const QRectF& frame, QSize devicePixels,
             double opacity);

// The name of a picture that cannot be read, level however the outline turns.
void Unreadable(QPainter& painter, const QRectF& bounds, const QString& name);

// The title, as a viewer labels a place: white with a dark halo, centred
// above `top` (below `bounds` when there is no room), kept on the screen.
void Title(QPainter& painter, const QString& title, const QRectF& bounds, double top,
           const QRectF& screen);

} // namespace CanvasPainting
