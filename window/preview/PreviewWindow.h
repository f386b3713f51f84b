#pragma once

#include "HandEdit.h"
#include "OverlaySettings.h"

#include <QSize>
#include <QWidget>

class PreviewCanvas;
class QComboBox;
class QLabel;

// "Overlay Preview": where the overlay lands on a screen of a chosen size,
// kept up to date by the main window. It only shows; it never writes a file.
class PreviewWindow : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    // Shows `settings`, the same snapshot the file is written from. Cheap to
    // call on every change: the picture is read anew only when its path
    // changes, and decoded off the window's thread.
    void ShowSettings(const OverlaySettings& settings);
    // Shows `settings` and brings the window to the front, un-minimised; the
    // first time on the roomier side of `main`, narrowed to fit there, so
    // that neither covers the other's controls.
    void ShowBeside(const QWidget* main, const OverlaySettings& settings);

    PreviewCanvas* canvas() const { return canvas_; }

    // The sizes offered, the primary screen's own first.
    static QList<QSize> ScreenSizes();

Q_SIGNALS:
    // Placing by hand. A drag, resize or turn: handEditStarted on the first
    // mouse move after the press (a click alone only selects the picture and
    // sends nothing), handEdited on every move with the fields as they are to
    // be now, worked out from the settings at the press, then
    // handEditFinished on the release, or with `cancelled` on Escape (the
    // window then puts back what it had at the start). A nudge (one arrow
    // key press) is a started, edited, finished of its own.
    void handEditStarted();
    void handEdited(const HandEdit& edit);
    void handEditFinished(bool cancelled);

private:
    void Refresh();
    QString InfoText() const;

    QComboBox* comboPreviewScreen_ = nullptr;
    PreviewCanvas* canvas_ = nullptr;
    QLabel* lblPreviewInfo_ = nullptr;
    bool placed_ = false;
};
