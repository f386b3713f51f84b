#pragma once

#include "HandEdit.h"
#include "HandPlacement.h"
#include "OverlaySettings.h"
#include "PictureLoader.h"
#include "Placement.h"

#include <QRectF>
#include <QSize>
#include <QString>
#include <QWidget>

#include <array>

// Draws one screen, scaled to fit the widget, with the overlay where a viewer
// puts it: the picture turned and faded as the settings say, its title above
// it. Without a picture it draws the white rectangle viewers draw instead; a
// picture that cannot be read shows as a dashed outline with its file name.
//
// The picture comes from a PictureLoader: painting only ever scales its
// decoded copy, and asks it for a larger one when the drawing outgrows it.
//
// The picture can be placed by hand: a click selects it, a drag moves it
// (snapping to the nine presets; Alt does not), its corner handles resize it
// and the round handle above it turns it; arrow keys nudge it. Without a
// mouse, Tab to the canvas, or Space or Enter on it, selects the picture and
// Escape lets it go. The canvas only reports each change as a HandEdit; the
// settings it shows come back through setSettings.
class PreviewCanvas : public QWidget
{
    Q_OBJECT
public:
    // While Preparing, a light rectangle stands in for the picture.
    using Picture = PictureLoader::Picture;
    static constexpr QSize kStandInSize = PictureLoader::kStandInSize;

    explicit PreviewCanvas(QWidget* parent = nullptr);
    ~PreviewCanvas() override = default;
    Q_DISABLE_COPY_MOVE(PreviewCanvas)

    void setScreenSize(QSize screen);
    QSize screenSize() const { return screen_; }

    // Places the overlay anew; reads the picture anew when its path changed.
    void setSettings(const OverlaySettings& settings);
    const OverlaySettings& settings() const { return settings_; }

    const Placement& placement() const { return placement_; }
    // As PictureLoader's problem(), nativeSize() and the rest.
    Picture picture() const { return loader_.picture(); }
    QString pictureProblem() const { return loader_.problem(); }
    QSize pictureNativeSize() const { return loader_.nativeSize(); }
    QSize preparedSize() const { return loader_.preparedSize(); }
    // For checks that the picture is not decoded again on every change.
    int decodeCount() const { return loader_.decodeCount(); }

    // What the last paint drew, read back by tests: where the screen went in
    // widget coordinates, and the picture's corners (in Placement's order) in
    // widget coordinates and in screen pixels.
    QRectF lastDrawnScreenRect() const { return drawnScreenRect_; }
    std::array<QPointF, 4> lastDrawnCorners() const { return drawnCorners_; }
    std::array<QPointF, 4> lastDrawnScreenCorners() const { return drawnScreenCorners_; }

    // Placing by hand: whether the picture is selected (its handles shown),
    // and where the round turning handle is, in widget coordinates.
    bool pictureSelected() const { return selected_; }
    QPointF turnHandle() const;

    QSize sizeHint() const override { return {720, 430}; }
    QSize minimumSizeHint() const override { return {320, 200}; }

Q_SIGNALS:
    // Another picture was chosen, or the chosen one was prepared or found
    // unreadable.
    void pictureChanged();
    // As PreviewWindow's signals of the same names.
    void handEditStarted();
    void handEdited(const HandEdit& edit);
    void handEditFinished(bool cancelled);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Place();

    // What a press at a widget point takes hold of.
    enum class Grip { None, Move, Resize, Turn };
    struct Hold
    {
        Grip grip = Grip::None;
        int corner = 0;
    };
    QRectF ScreenRect() const;
    std::array<QPointF, 4> WidgetCorners() const;
    Hold HoldAt(QPointF at) const;
    void ShowCursorFor(QPointF at);
    // A widget point in screen pixels, as the screen was drawn at the press.
    QPointF OnScreen(QPointF at) const;
    void Nudge(QPointF step);
    void EndDrag();
    void DrawHandles(QPainter& painter, const QRectF& screenRect);

    QSize screen_{1920, 1080};
    OverlaySettings settings_;
    Placement placement_;

    PictureLoader loader_;

    bool selected_ = false;
    // A drag under way: what it holds, and all as it was at the press, which
    // every edit of the drag is worked out from.
    struct Drag
    {
        Hold hold;
        QPointF at;
        QRectF screenRect;
        Overlay::DragStart start{};
        bool started = false;
        // Once snapped, an edit off a preset puts the overlay point back too.
        bool snapped = false;
    } drag_;
    // The preset the picture snapped to, drawn as a guide; -1 for none.
    int snap_ = -1;

    QRectF drawnScreenRect_;
    std::array<QPointF, 4> drawnCorners_{};
    std::array<QPointF, 4> drawnScreenCorners_{};
};
