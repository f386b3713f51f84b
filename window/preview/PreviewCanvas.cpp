#include "PreviewCanvas.h"

#include "CanvasPainting.h"
#include "HandPlacement.h"
#include "PathHelpers.h"
#include "Presets.h"

#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kMargin = 14;

// Placing by hand, in widget pixels. The guide is drawn on the screen, whose
// colours are its own whatever the palette, so it keeps its own colour too.
const QColor kGuide(0xff, 0xb0, 0x20);
constexpr double kHandleSide = 8;
constexpr double kHandleReach = 7;
constexpr double kTurnHandleRadius = 5;
constexpr double kTurnHandleDistance = 26;
constexpr double kSnapReach = 8;
constexpr int kBigNudge = 10;
// The focus frame, this far round the screen: clear of its shadow.
constexpr int kFocusGap = 8;

double Length(QPointF v)
{
    return std::hypot(v.x(), v.y());
}

// Beyond this a drawing is far off the widget; painting it only risks the
// painter's own arithmetic.
constexpr double kLargestDrawable = 1e7;

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
    connect(&loader_, &PictureLoader::arrived, this, qOverload<>(&QWidget::update));
    connect(&loader_, &PictureLoader::pictureChanged, this, &PreviewCanvas::pictureChanged);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Place();
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
    const bool newPicture = settings.picture != loader_.path();
    if (newPicture)
        loader_.load(settings.picture);
    settings_ = settings;
    Place();
    if (newPicture)
        Q_EMIT pictureChanged();
}

void PreviewCanvas::Place()
{
    placement_ = Overlay::PlaceOverlay(settings_, QSizeF(screen_), QSizeF(loader_.nativeSize()));
    update();
}

void PreviewCanvas::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));

    const QRectF screenRect = ScreenRect();
    const double scale = screenRect.width() / screen_.width();
    drawnScreenRect_ = screenRect;

    if (hasFocus()) {
        // Where the arrow keys go, however the focus came. In the highlight
        // colour, as Fusion frames a focused field; the style's own focus
        // rectangle hardly shows on a dark palette.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(
            screenRect.toAlignedRect().adjusted(-kFocusGap, -kFocusGap, kFocusGap, kFocusGap));
    }
    CanvasPainting::Screen(painter, rect(), screenRect);

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

    // The device pixels the picture covers.
    const double dpr = devicePixelRatioF();
    const QSize devicePixels(DevicePixels(extent.width() * scale * dpr),
                             DevicePixels(extent.height() * scale * dpr));
    loader_.requestPixels(devicePixels, std::max(screenRect.width(), screenRect.height()) * dpr);

    if (Drawable(drawnCorners_) && !extent.isEmpty()) {
        const QRectF frameRect(QPointF(0, 0), extent);
        painter.save();
        painter.setClipRect(screenRect);
        painter.setTransform(pictureToWidget);
        painter.setRenderHint(QPainter::Antialiasing, p.rotationDegrees != 0);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setOpacity(p.opacity);
        CanvasPainting::Picture(painter, loader_, frameRect, devicePixels, p.opacity);
        painter.restore();
        const QRectF bounds =
            QPolygonF(QList<QPointF>(drawnCorners_.begin(), drawnCorners_.end())).boundingRect();
        if (loader_.picture() == Picture::Unreadable)
            CanvasPainting::Unreadable(painter, bounds.intersected(screenRect),
                                       Overlay::FileNameOf(loader_.path()));
        // Above the turn handle too while it shows, so neither hides the
        // other; none for a picture that is off the screen.
        if (!settings_.title.isEmpty() && bounds.intersects(screenRect))
            CanvasPainting::Title(painter, settings_.title, bounds,
                                  selected_
                                      ? std::min(bounds.top(), turnHandle().y() - kTurnHandleRadius)
                                      : bounds.top(),
                                  screenRect);
    }

    DrawHandles(painter, screenRect);

    painter.setPen(QPen(CanvasPainting::kScreenEdge, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(screenRect.adjusted(-0.5, -0.5, 0.5, 0.5));
}

QRectF PreviewCanvas::ScreenRect() const
{
    // The screen, as large as fits with its own proportions, centred.
    const QSizeF room(std::max(1.0, width() - 2 * kMargin), std::max(1.0, height() - 2 * kMargin));
    const double scale = std::min(room.width() / screen_.width(), room.height() / screen_.height());
    const QSizeF shown = QSizeF(screen_) * scale;
    return {QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown};
}

std::array<QPointF, 4> PreviewCanvas::WidgetCorners() const
{
    const QRectF screenRect = ScreenRect();
    const double scale = screenRect.width() / screen_.width();
    std::array<QPointF, 4> corners{};
    for (int i = 0; i < 4; ++i)
        corners[i] = screenRect.topLeft() + placement_.corners[i] * scale;
    return corners;
}

QPointF PreviewCanvas::turnHandle() const
{
    const std::array<QPointF, 4> c = WidgetCorners();
    const QPointF top = (c[0] + c[1]) / 2;
    QPointF up = top - (c[0] + c[2]) / 2;
    if (Length(up) < 1e-9) {
        // A picture with no height: up as the picture is turned.
        const double radians = placement_.rotationDegrees * std::numbers::pi / 180;
        up = QPointF(-std::sin(radians), -std::cos(radians));
    }
    return top + up / Length(up) * kTurnHandleDistance;
}

PreviewCanvas::Hold PreviewCanvas::HoldAt(QPointF at) const
{
    const std::array<QPointF, 4> c = WidgetCorners();
    if (!Drawable(c))
        return {};
    if (selected_) {
        if (Length(at - turnHandle()) <= kTurnHandleRadius + 3)
            return {Grip::Turn, 0};
        for (int i = 0; i < 4; ++i)
            if (Length(at - c[i]) <= kHandleReach)
                return {Grip::Resize, i};
    }
    if (QPolygonF(QList<QPointF>(c.begin(), c.end())).containsPoint(at, Qt::OddEvenFill))
        return {Grip::Move, 0};
    return {};
}

void PreviewCanvas::ShowCursorFor(QPointF at)
{
    const Hold hold = HoldAt(at);
    if (hold.grip == Grip::None) {
        unsetCursor();
        return;
    }
    Qt::CursorShape shape = hold.grip == Grip::Move ? Qt::OpenHandCursor : Qt::PointingHandCursor;
    if (hold.grip == Grip::Resize) {
        // The size cursor leaning the way the corner lies from the middle.
        const std::array<QPointF, 4> c = WidgetCorners();
        const QPointF out = c[hold.corner] - (c[0] + c[2]) / 2;
        shape = out.x() * out.y() >= 0 ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    setCursor(shape);
}

void PreviewCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || drag_.hold.grip != Grip::None) {
        QWidget::mousePressEvent(event);
        return;
    }
    const Hold hold = HoldAt(event->position());
    selected_ = hold.grip != Grip::None;
    update();
    if (!selected_)
        return;
    drag_ = Drag{.hold = hold, .at = event->position(), .screenRect = ScreenRect()};
    drag_.start = {settings_, placement_, QSizeF(screen_), QSizeF(loader_.nativeSize()),
                   OnScreen(drag_.at)};
    if (hold.grip == Grip::Move)
        setCursor(Qt::ClosedHandCursor);
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (drag_.hold.grip == Grip::None) {
        ShowCursorFor(event->position());
        return;
    }
    // Nothing has changed until the mouse moves: a click only selects.
    if (!drag_.started && event->position() == drag_.at)
        return;
    if (!drag_.started) {
        drag_.started = true;
        Q_EMIT handEditStarted();
    }
    const QPointF at = OnScreen(event->position());
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    switch (drag_.hold.grip) {
    case Grip::Move: {
        const double snapReach = kSnapReach * screen_.width() / drag_.screenRect.width();
        const bool alt = event->modifiers().testFlag(Qt::AltModifier);
        const Overlay::HandMove move =
            Overlay::MoveEdit(drag_.start, at, snapReach, alt, drag_.snapped);
        snap_ = move.preset;
        drag_.snapped = drag_.snapped || snap_ >= 0;
        update();
        Q_EMIT handEdited(move.edit);
        break;
    }
    case Grip::Resize:
        Q_EMIT handEdited(Overlay::ResizeEdit(drag_.start, at, drag_.hold.corner, shift));
        break;
    case Grip::Turn:
        Q_EMIT handEdited(Overlay::TurnEdit(drag_.start, at, shift));
        break;
    case Grip::None:
        break;
    }
}

void PreviewCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || drag_.hold.grip == Grip::None) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool started = drag_.started;
    EndDrag();
    ShowCursorFor(event->position());
    if (started)
        Q_EMIT handEditFinished(false);
}

void PreviewCanvas::EndDrag()
{
    drag_ = Drag{};
    snap_ = -1;
    update();
}

void PreviewCanvas::focusInEvent(QFocusEvent* event)
{
    // Reached by Tab, the picture is taken at once, so the arrows move it.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        selected_ = true;
    QWidget::focusInEvent(event);
}

void PreviewCanvas::keyPressEvent(QKeyEvent* event)
{
    if (drag_.hold.grip != Grip::None) {
        if (event->key() == Qt::Key_Escape) {
            const bool started = drag_.started;
            const OverlaySettings before = drag_.start.settings;
            EndDrag();
            ShowCursorFor(mapFromGlobal(QCursor::pos()));
            if (started) {
                setSettings(before);
                Q_EMIT handEditFinished(true);
            }
        }
        // Keys do nothing else while the mouse holds the picture.
        return;
    }
    // Space or Enter takes the picture, Escape lets it go.
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
        (key == Qt::Key_Escape && selected_)) {
        selected_ = key != Qt::Key_Escape;
        update();
        return;
    }
    const double step = event->modifiers().testFlag(Qt::ShiftModifier) ? kBigNudge : 1;
    // Qt numbers the arrow keys in a row: left, up, right, down.
    const QPointF steps[] = {{-step, 0}, {0, -step}, {step, 0}, {0, step}};
    const int arrow = selected_ ? event->key() - Qt::Key_Left : -1;
    if (arrow >= 0 && arrow < 4)
        Nudge(steps[arrow]);
    else
        QWidget::keyPressEvent(event);
}

QPointF PreviewCanvas::OnScreen(QPointF at) const
{
    return (at - drag_.screenRect.topLeft()) / (drag_.screenRect.width() / screen_.width());
}

void PreviewCanvas::Nudge(QPointF step)
{
    const HandEdit edit = Overlay::NudgeEdit(settings_, placement_.anchor, QSizeF(screen_), step);
    Q_EMIT handEditStarted();
    Q_EMIT handEdited(edit);
    Q_EMIT handEditFinished(false);
}

void PreviewCanvas::DrawHandles(QPainter& painter, const QRectF& screenRect)
{
    const std::array<QPointF, 4> c = WidgetCorners();
    if (snap_ >= 0) {
        // Lines through the preset's screen point, where the picture sits.
        const QPointF f = Overlay::PresetFromTopLeft(snap_);
        const double x = screenRect.left() + screenRect.width() * f.x();
        const double y = screenRect.top() + screenRect.height() * f.y();
        QPen pen(kGuide, 1, Qt::DashLine);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.drawLine(QPointF(x, screenRect.top()), QPointF(x, screenRect.bottom()));
        painter.drawLine(QPointF(screenRect.left(), y), QPointF(screenRect.right(), y));
    }
    if (!selected_ || !Drawable(c))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(palette().color(QPalette::Highlight), 1.5);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(c.data(), 4);
    const QPointF top = (c[0] + c[1]) / 2;
    const QPointF turn = turnHandle();
    painter.drawLine(top, turn);
    painter.setBrush(palette().color(QPalette::HighlightedText));
    painter.drawEllipse(turn, kTurnHandleRadius, kTurnHandleRadius);
    for (const QPointF corner : c)
        painter.drawRect(QRectF(corner - QPointF(kHandleSide, kHandleSide) / 2,
                                QSizeF(kHandleSide, kHandleSide)));
    painter.restore();
}
