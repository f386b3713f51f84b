// The Preview button and the window it opens: the preview follows every
// change without writing a file, there is only ever one, and closing either
// window leaves the rest as it should. (The button's place, tooltip and tab
// stop are rows of the layout test's tables.)

#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "WindowTestSupport.h"

#include <QImage>
#include <QLabel>
#include <QPolygonF>
#include <QSlider>

#include <algorithm>

class WindowPreviewTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

    PreviewWindow* Preview() const { return driver.window->findChild<PreviewWindow*>(); }

    // Clicks Preview; the preview window, once it is shown and active.
    PreviewWindow* OpenPreview()
    {
        WindowDriver::Click(driver.Get("cmdPreview"));
        PreviewWindow* preview = Preview();
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

    void cleanup()
    {
        driver.window.reset();
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
        driver.services.calls.clear();
    }

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
        QVERIFY(WindowDriver::Pick(driver.Get<QComboBox>("comboOverlay_x_units"),
                                   QStringLiteral("pixels")));
        QTRY_COMPARE(Drawn(preview), QRectF(w / 2, h - 128, 128, 128));

        auto* slider = driver.Get<QSlider>("sliderTransparency");
        WindowDriver::Click(slider);
        QTest::keyClick(slider, Qt::Key_Home);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(slider, Qt::Key_PageUp);
        QCOMPARE(driver.window->OverlayColor(), QStringLiteral("80ffffff"));
        QCOMPARE(preview->canvas()->placement().opacity, 128.0 / 255);
        const auto* info = preview->findChild<QLabel*>(QStringLiteral("lblPreviewInfo"));
        QVERIFY(info->text().contains(u"50% opaque"));

        const QString picture = driver.folder.filePath(QStringLiteral("legend.png"));
        QVERIFY(QImage(40, 20, QImage::Format_RGB32).save(picture));
        driver.services.fileDialogAnswers.push_back(picture);
        WindowDriver::Click(driver.Get("cmdOpen_graphic_file"));
        QTRY_COMPARE(Drawn(preview), QRectF(w / 2, h - 20, 40, 20));
        QCOMPARE(preview->canvas()->picture(), PreviewCanvas::Picture::Loaded);

        QCOMPARE(driver.window->OverlayWriteCount(), 0);
        QVERIFY(!driver.OutputFileExists());
        QCOMPARE(driver.services.MessageCount(), 0);
    }

    void secondClick_raisesTheSameWindow_showingTheValuesOfThatMoment()
    {
        const auto previewWindows = [] {
            const QWidgetList all = QApplication::topLevelWidgets();
            return int(std::count_if(all.begin(), all.end(), [](const QWidget* widget) {
                return widget->windowTitle() == QLatin1String("Overlay Preview");
            }));
        };
        PreviewWindow* preview = OpenPreview();
        QVERIFY(preview);
        QVERIFY(BackToMainWindow());
        QCOMPARE(OpenPreview(), preview);
        QCOMPARE(previewWindows(), 1);

        // Changes made while it is closed show when it opens again.
        preview->close();
        QTRY_VERIFY(!preview->isVisible());
        WindowDriver::Click(driver.Get("optPreset_2")); // "Upper right"
        QCOMPARE(OpenPreview(), preview);
        const double w = preview->canvas()->screenSize().width();
        QTRY_COMPARE(Drawn(preview), QRectF(w - 128, 0, 128, 128));
        QCOMPARE(previewWindows(), 1);
    }

    void closingThePreview_leavesTheWindowAsItWas_exitClosesBoth()
    {
        frmOrvinel* window = driver.window.get();
        const auto modules = [window] {
            return QStringList{window->SizeXValue(), window->SizeYValue(),
                               window->NetworkLinkFilePath(), window->GoogleEarthPath()};
        };
        QVERIFY(WindowDriver::TypeInto(driver.Get("txtOverlay_title"), QStringLiteral("Legend")));
        WindowDriver::Click(driver.Get("optPreset_6"));
        PreviewWindow* preview = OpenPreview();
        QVERIFY(preview);
        const OverlaySettings before = window->Snapshot();
        const QStringList modulesBefore = modules();

        preview->close();
        QTRY_VERIFY(!preview->isVisible());
        QVERIFY(window->isVisible());
        QCOMPARE(window->Snapshot(), before);
        QCOMPARE(modules(), modulesBefore);
        QCOMPARE(window->OverlayWriteCount(), 0);
        QCOMPARE(driver.services.calls.size(), 0);

        QCOMPARE(OpenPreview(), preview);
        QVERIFY(BackToMainWindow());
        WindowDriver::Click(driver.Get("cmdExit"));
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
    }

    void refusedValue_keepsThePreviewShut()
    {
        // Preview is a button like the others: a refused field keeps the focus.
        QVERIFY(WindowDriver::TypeInto(driver.Get("txtOverlay_x"), QStringLiteral("abc")));
        WindowDriver::Click(driver.Get("cmdPreview"));
        QCOMPARE(driver.services.MessageCount(), 1);
        QCOMPARE(driver.services.calls.first().text,
                 QStringLiteral("Please enter a valid number for the overlay x value"));
        QVERIFY(!Preview());
        QVERIFY(driver.Get("txtOverlay_x")->hasFocus());
    }
};

QTEST_MAIN(WindowPreviewTest)
#include "tst_window_preview.moc"
