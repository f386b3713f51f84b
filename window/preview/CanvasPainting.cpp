#include "CanvasPainting.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include <algorithm>

namespace {

const QColor kScreenFill(0x5d, 0x6a, 0x75);
const QColor kQuarterLine(255, 255, 255, 30);
const QColor kCentreLine(255, 255, 255, 52);
const QColor kOutline(255, 255, 255, 200);
const QColor kTitleHalo(0, 0, 0, 170);
const QColor kPreparingFill(255, 255, 255, 60);

} // namespace

namespace CanvasPainting {

void Screen(QPainter& painter, const QRect& widget, const QRectF& screen)
{
    // Only the shadow's rim shows, so only the rim is blended: blending under
    // the screen would be wasted work on every update.
    painter.setClipRegion(QRegion(widget) - QRegion(screen.toAlignedRect()));
    for (int step = 1; step <= 4; ++step)
        painter.fillRect(screen.translated(0, 1.5).adjusted(-step, -step + 1, step, step),
                         QColor(0, 0, 0, 12));
    painter.setClipping(false);
    painter.fillRect(screen, kScreenFill);
    for (int quarter = 1; quarter < 4; ++quarter) {
        painter.setPen(QPen(quarter == 2 ? kCentreLine : kQuarterLine, 0));
        const double x = screen.left() + screen.width() * quarter / 4;
        const double y = screen.top() + screen.height() * quarter / 4;
        painter.drawLine(QPointF(x, screen.top()), QPointF(x, screen.bottom()));
        painter.drawLine(QPointF(screen.left(), y), QPointF(screen.right(), y));
    }
}

void Picture(QPainter& painter, PictureLoader& loader, const QRectF& frame, QSize devicePixels,
             double opacity)
{
    switch (loader.picture()) {
    case PictureLoader::Picture::Loaded:
        painter.drawImage(frame, loader.imageForSize(devicePixels));
        break;
    case PictureLoader::Picture::None:
        painter.fillRect(frame, Qt::white);
        break;
    case PictureLoader::Picture::Preparing:
    case PictureLoader::Picture::Unreadable: {
        const bool unreadable = loader.picture() == PictureLoader::Picture::Unreadable;
        QPen pen(kOutline, unreadable ? 1.5 : 1, unreadable ? Qt::DashLine : Qt::SolidLine);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(unreadable ? Qt::NoBrush : QBrush(kPreparingFill));
        painter.setOpacity(unreadable ? 1 : opacity);
        painter.drawRect(frame);
        break;
    }
    }
}

void Unreadable(QPainter& painter, const QRectF& bounds, const QString& name)
{
    painter.setPen(kOutline);
    painter.drawText(bounds.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWrapAnywhere, name);
}

void Title(QPainter& painter, const QString& title, const QRectF& bounds, double top,
           const QRectF& screen)
{
    QFont font = painter.font();
    font.setBold(true);
    const QFontMetricsF metrics(font);
    const QString shown = metrics.elidedText(title, Qt::ElideRight, screen.width() - 8);
    const double textWidth = metrics.horizontalAdvance(shown);
    double baseline = top - 5 - metrics.descent();
    if (baseline - metrics.ascent() < screen.top())
        baseline = bounds.bottom() + 5 + metrics.ascent();
    const double x = std::clamp(bounds.center().x() - textWidth / 2, screen.left() + 4,
                                std::max(screen.left() + 4, screen.right() - 4 - textWidth));
    baseline = std::clamp(
        baseline, screen.top() + 4 + metrics.ascent(),
        std::max(screen.top() + 4 + metrics.ascent(), screen.bottom() - 4 - metrics.descent()));
    QPainterPath text;
    text.addText(QPointF(x, baseline), font, shown);
    painter.save();
    painter.setClipRect(screen);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(text, QPen(kTitleHalo, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(text, Qt::white);
    painter.restore();
}

} // namespace CanvasPainting
