#include "PreviewCanvas.h"

#include "PictureFile.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

const QColor kScreenFill(0x5d, 0x6a, 0x75);
const QColor kScreenEdge(0x3c, 0x45, 0x4d);
const QColor kQuarterLine(255, 255, 255, 30);
const QColor kCentreLine(255, 255, 255, 52);
const QColor kOutline(255, 255, 255, 200);
const QColor kTitleHalo(0, 0, 0, 170);

constexpr double kMargin = 14;

// Beyond this a drawing is far off the widget; painting it only risks the
// painter's own arithmetic.
constexpr double kLargestDrawable = 1e7;

QString FileNameOf(const QString& path)
{
    // Either separator: the path may come from another platform's dialog.
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

bool Drawable(const std::array<QPointF, 4>& corners)
{
    return std::all_of(corners.begin(), corners.end(), [](QPointF p) {
        return std::isfinite(p.x()) && std::isfinite(p.y()) && std::abs(p.x()) < kLargestDrawable &&
               std::abs(p.y()) < kLargestDrawable;
    });
}

} // namespace

PreviewCanvas::PreviewCanvas(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Place();
}

QSize PreviewCanvas::sizeHint() const
{
    return {720, 430};
}

QSize PreviewCanvas::minimumSizeHint() const
{
    return {320, 200};
}

void PreviewCanvas::setScreenSize(QSize screen)
{
    if (screen == screen_)
        return;
    screen_ = screen;
    Place();
}

void PreviewCanvas::setSettings(const OverlaySettings& settings)
{
    if (settings.GraphicFilePath != picturePath_)
        LoadPicture(settings.GraphicFilePath);
    settings_ = settings;
    Place();
}

void PreviewCanvas::LoadPicture(const QString& path)
{
    picturePath_ = path;
    levels_.clear();
    fitted_ = QImage();
    native_ = kStandInSize;
    problem_.clear();
    if (path.isEmpty()) {
        picture_ = Picture::None;
        return;
    }
    ++decodeCount_;
    const OpenedPicture opened = OpenPictureFile(path);
    if (!opened) {
        picture_ = Picture::Unreadable;
        problem_ = opened.problem;
        return;
    }
    // The name's suffix, as the reader takes it from a file it opens itself:
    // a hint tried first, the content deciding when it is wrong.
    QImageReader reader(opened.file.get(), QFileInfo(path).suffix().toLower().toLatin1());
    const QSize header = reader.size();
    QImage image = reader.read();
    if (image.isNull()) {
        picture_ = Picture::Unreadable;
        problem_ = reader.errorString();
        if (header.isValid() && !header.isEmpty())
            native_ = header;
        return;
    }
    picture_ = Picture::Loaded;
    native_ = image.size();
    levels_.push_back(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    while (levels_.back().width() > 64 && levels_.back().height() > 64) {
        const QImage& last = levels_.back();
        levels_.push_back(last.scaled(last.width() / 2, last.height() / 2, Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation));
    }
}

void PreviewCanvas::Place()
{
    placement_ = PlaceOverlay(settings_, QSizeF(screen_), QSizeF(native_));
    update();
}

const QImage& PreviewCanvas::ImageForSize(QSize devicePixels)
{
    // Never larger than the picture itself: the painter enlarges as it draws.
    const QSize target = devicePixels.boundedTo(levels_.front().size()).expandedTo(QSize(1, 1));
    if (fitted_.size() == target)
        return fitted_;
    auto source = levels_.begin();
    while (std::next(source) != levels_.end() && std::next(source)->width() >= target.width() &&
           std::next(source)->height() >= target.height())
        ++source;
    fitted_ = source->size() == target
                  ? *source
                  : source->scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return fitted_;
}

void PreviewCanvas::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));

    // The screen, as large as fits with its own proportions, centred.
    const QSizeF room(std::max(1.0, width() - 2 * kMargin), std::max(1.0, height() - 2 * kMargin));
    const double scale = std::min(room.width() / screen_.width(), room.height() / screen_.height());
    const QSizeF shown = QSizeF(screen_) * scale;
    const QRectF screenRect(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2),
                            shown);
    drawnScreenRect_ = screenRect;

    // A soft shadow lifts the screen off the window. Only its rim shows, so
    // only the rim is blended: blending under the screen would be wasted work
    // on every update.
    painter.setClipRegion(QRegion(rect()) - QRegion(screenRect.toAlignedRect()));
    for (int step = 1; step <= 4; ++step)
        painter.fillRect(screenRect.translated(0, 1.5).adjusted(-step, -step + 1, step, step),
                         QColor(0, 0, 0, 12));
    painter.setClipping(false);
    painter.fillRect(screenRect, kScreenFill);
    for (int quarter = 1; quarter < 4; ++quarter) {
        painter.setPen(QPen(quarter == 2 ? kCentreLine : kQuarterLine, 0));
        const double x = screenRect.left() + screenRect.width() * quarter / 4;
        const double y = screenRect.top() + screenRect.height() * quarter / 4;
        painter.drawLine(QPointF(x, screenRect.top()), QPointF(x, screenRect.bottom()));
        painter.drawLine(QPointF(screenRect.left(), y), QPointF(screenRect.right(), y));
    }

    // Picture frame (0,0)-(|w|,|h|) -> screen pixels -> widget. The frame is
    // mirrored first when a size is negative, so its corners stay the
    // picture's own corners.
    const Placement& p = placement_;
    const QSizeF size = p.size;
    const QSizeF extent(std::abs(size.width()), std::abs(size.height()));
    const QTransform mirror =
        QTransform::fromScale(size.width() < 0 ? -1 : 1, size.height() < 0 ? -1 : 1);
    const QTransform toScreen =
        mirror *
        QTransform::fromTranslate(p.unrotated.x() - p.pivot.x(), p.unrotated.y() - p.pivot.y()) *
        QTransform().rotate(-p.rotationDegrees) *
        QTransform::fromTranslate(p.pivot.x(), p.pivot.y());
    const QTransform toWidget = QTransform::fromScale(scale, scale) *
                                QTransform::fromTranslate(screenRect.x(), screenRect.y());
    const QTransform pictureToWidget = toScreen * toWidget;
    const QPointF frame[4] = {
        {0, 0}, {extent.width(), 0}, {extent.width(), extent.height()}, {0, extent.height()}};
    for (int i = 0; i < 4; ++i) {
        drawnScreenCorners_[i] = toScreen.map(frame[i]);
        drawnCorners_[i] = pictureToWidget.map(frame[i]);
    }

    if (Drawable(drawnCorners_) && !extent.isEmpty()) {
        const QRectF frameRect(QPointF(0, 0), extent);
        painter.save();
        painter.setClipRect(screenRect);
        painter.setTransform(pictureToWidget);
        painter.setRenderHint(QPainter::Antialiasing, p.rotationDegrees != 0);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setOpacity(p.opacity);
        switch (picture_) {
        case Picture::Loaded: {
            const double dpr = devicePixelRatioF();
            const QSize devicePixels(static_cast<int>(std::ceil(extent.width() * scale * dpr)),
                                     static_cast<int>(std::ceil(extent.height() * scale * dpr)));
            painter.drawImage(frameRect, ImageForSize(devicePixels));
            break;
        }
        case Picture::None:
            painter.fillRect(frameRect, Qt::white);
            break;
        case Picture::Unreadable: {
            QPen pen(kOutline, 1.5, Qt::DashLine);
            pen.setCosmetic(true);
            painter.setOpacity(1);
            painter.setPen(pen);
            painter.drawRect(frameRect);
            break;
        }
        }
        painter.restore();
        const QRectF bounds =
            QPolygonF(QList<QPointF>(drawnCorners_.begin(), drawnCorners_.end())).boundingRect();
        if (picture_ == Picture::Unreadable) {
            // The name stays level and readable however the outline turns.
            painter.setPen(kOutline);
            painter.drawText(bounds.intersected(screenRect).adjusted(4, 4, -4, -4),
                             Qt::AlignCenter | Qt::TextWrapAnywhere, FileNameOf(picturePath_));
        }

        // The title, as a viewer labels a place: white with a dark halo,
        // centred above the picture (below it when there is no room), kept on
        // the screen; none for a picture that is off the screen.
        if (!settings_.txtOverlay_title.isEmpty() && bounds.intersects(screenRect)) {
            QFont font = painter.font();
            font.setBold(true);
            const QFontMetricsF metrics(font);
            const QString title = metrics.elidedText(settings_.txtOverlay_title, Qt::ElideRight,
                                                     screenRect.width() - 8);
            const double textWidth = metrics.horizontalAdvance(title);
            double x = bounds.center().x() - textWidth / 2;
            double baseline = bounds.top() - 5 - metrics.descent();
            if (baseline - metrics.ascent() < screenRect.top())
                baseline = bounds.bottom() + 5 + metrics.ascent();
            x = std::clamp(x, screenRect.left() + 4,
                           std::max(screenRect.left() + 4, screenRect.right() - 4 - textWidth));
            baseline = std::clamp(baseline, screenRect.top() + 4 + metrics.ascent(),
                                  std::max(screenRect.top() + 4 + metrics.ascent(),
                                           screenRect.bottom() - 4 - metrics.descent()));
            QPainterPath text;
            text.addText(QPointF(x, baseline), font, title);
            painter.save();
            painter.setClipRect(screenRect);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.strokePath(text,
                               QPen(kTitleHalo, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.fillPath(text, Qt::white);
            painter.restore();
        }
    }

    painter.setPen(QPen(kScreenEdge, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(screenRect.adjusted(-0.5, -0.5, 0.5, 0.5));
}
