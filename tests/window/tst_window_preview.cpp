// The Preview button and the window it opens: the preview follows every
// change without writing a file, there is only ever one, and closing either
// window leaves the rest as it should. (The button's place, tooltip and tab
// stop are rows of the layout test's tables.)

#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "WindowTestSupport.h"

#include <QLabel>
#include <QPolygonF>
#include <QSlider>

class WindowPreviewTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

    // Clicks Preview; the preview window, once it is shown and active.
    PreviewWindow* OpenPreview()
    {
        WindowDriver::Click(driver.Get("cmdPreview"));
        auto* preview = driver.window->findChild<PreviewWindow*>();
        return preview && QTest::qWaitForWindowActive(preview) ? preview : nullptr;
    }

    // What a click into the main window does for the user: it becomes active.
    bool BackToMainWindow()
    {
        driver.window->activateWindow();
        return QTest::qWaitForWindowActive(driver.window.get());
    }

    // Where the last paint put the picture, in screen pixels (unturned here).
    static QRectF Drawn(const PreviewWindow* preview)
    {
        const auto corners = preview->canvas()->lastDrawnScreenCorners();
        return QPolygonF(QList<QPointF>(corners.begin(), corners.end())).boundingRect();
    }

private Q_SLOTS:
    void init() { QVERIFY(driver.Open()); }
    void cleanup() { QVERIFY(driver.Close()); }

    void preview_followsEveryChange_writesNothing()
    {
        driver.PrepareOutputFile(); // Auto-Refresh available, not ticked
        PreviewWindow* preview = OpenPreview();
        QVERIFY(preview);
        const double w = preview->canvas()->screenSize().width();
        const double h = preview->canvas()->screenSize().height();
        QVERIFY(BackToMainWindow());
        // No picture: the 128-pixel stand-in, at the lower left while no point is set.
        QTRY_COMPARE(Drawn(preview), QRectF(0, h - 128, 128, 128));

        WindowDriver::Click(driver.Get("optPreset_8")); // "Lower right"
        QTRY_COMPARE(Drawn(preview), QRectF(w - 128, h - 128, 128, 128));
        QVERIFY(WindowDriver::Retype(driver.Get("txtScreen_x"), QStringLiteral("0.5")));
        QTRY_COMPARE(Drawn(preview), QRectF(w / 2 - 128, h - 128, 128, 128));
        // Pixels empties the overlay x: the picture's left edge goes to the middle.
        QVERIFY(WindowDriver::Pick(driver.Get<QComboBox>("comboOverlay_x_units"), "pixels"));
        QTRY_COMPARE(Drawn(preview), QRectF(w / 2, h - 128, 128, 128));

        auto* slider = driver.Get<QSlider>("sliderTransparency");
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Home);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(slider, Qt::Key_PageUp);
        QCOMPARE(preview->canvas()->placement().opacity, 128.0 / 255);
        QVERIFY(preview->findChild<QLabel*>("lblPreviewInfo")->text().contains(u"50% opaque"));

        QCOMPARE(driver.window->OverlayWriteCount(), 0);
        QVERIFY(!driver.OutputFileExists());
        QCOMPARE(driver.services.calls.size(), 0);
    }

    // A second click raises the same window; closing it changes nothing, and
    // the main window's Exit takes it along.
    void onlyOnePreview_closingChangesNothing_exitClosesBoth()
    {
        frmOrvinel* window = driver.window.get();
        QVERIFY(WindowDriver::Retype(driver.Get("txtOverlay_title"), QStringLiteral("Legend")));
        WindowDriver::Click(driver.Get("optPreset_6"));
        PreviewWindow* preview = OpenPreview();
        QVERIFY(preview);
        QVERIFY(BackToMainWindow());
        QCOMPARE(OpenPreview(), preview);
        QCOMPARE(VisibleTopLevels().size(), 2);

        const OverlaySettings before = window->Snapshot();
        preview->close();
        QTRY_VERIFY(!preview->isVisible());
        QVERIFY(window->isVisible());
        QVERIFY(window->Snapshot() == before);
        QCOMPARE(window->OverlayWriteCount(), 0);
        QCOMPARE(driver.services.calls.size(), 0);

        QCOMPARE(OpenPreview(), preview);
        QVERIFY(BackToMainWindow());
        WindowDriver::Click(driver.Get("cmdExit"));
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
    }
};

QTEST_MAIN(WindowPreviewTest)
#include "tst_window_preview.moc"
