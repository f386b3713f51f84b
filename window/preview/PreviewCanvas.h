#pragma once

#include "OverlaySettings.h"
#include "Placement.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QWidget>

#include <array>
#include <vector>

// Draws one screen, scaled to fit the widget, with the overlay where a viewer
// puts it: the picture turned and faded as the settings say, its title above
// it. Without a picture it draws the white rectangle viewers draw instead; a
// picture that cannot be read shows as a dashed outline with its file name.
//
// The picture is decoded once per path and kept; painting only ever scales
// the decoded copy.
class PreviewCanvas : public QWidget
{
    Q_OBJECT
public:
    enum class Picture { None, Loaded, Unreadable };

    // Stands in for the native size when there is no picture, or when not even
    // the picture's header can be read.
    static constexpr QSize kStandInSize{128, 128};

    explicit PreviewCanvas(QWidget* parent = nullptr);

    void setScreenSize(QSize screen);
    QSize screenSize() const { return screen_; }

    // Places the overlay anew; decodes the picture when its path changed.
    void setSettings(const OverlaySettings& settings);

    const Placement& placement() const { return placement_; }
    Picture picture() const { return picture_; }
    // Why the picture cannot be read, in a few words; empty unless Unreadable.
    QString pictureProblem() const { return problem_; }
    // Measured from the picture itself (kStandInSize when it has none).
    QSize pictureNativeSize() const { return native_; }
    // How many times a picture file has been decoded, for checks that the
    // picture is not decoded again on every change.
    int decodeCount() const { return decodeCount_; }

    // What the last paint drew, read back by tests: where the screen went in
    // widget coordinates, and the picture's corners (in Placement's order) in
    // widget coordinates and in screen pixels.
    QRectF lastDrawnScreenRect() const { return drawnScreenRect_; }
    std::array<QPointF, 4> lastDrawnCorners() const { return drawnCorners_; }
    std::array<QPointF, 4> lastDrawnScreenCorners() const { return drawnScreenCorners_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void LoadPicture(const QString& path);
    const QImage& ImageForSize(QSize devicePixels);
    void Place();

    QSize screen_{1920, 1080};
    OverlaySettings settings_;
    Placement placement_;

    QString picturePath_;
    Picture picture_ = Picture::None;
    QString problem_;
    QSize native_ = kStandInSize;
    int decodeCount_ = 0;
    // The decoded picture and its successive halvings, largest first, so that
    // a small drawing scales from a copy near its own size.
    std::vector<QImage> levels_;
    QImage fitted_;

    QRectF drawnScreenRect_;
    std::array<QPointF, 4> drawnCorners_{};
    std::array<QPointF, 4> drawnScreenCorners_{};
};
