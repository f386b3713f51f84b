// The Preview button and the window it opens: the preview follows every
// change without writing a file, there is only ever one, and closing either
// window leaves the rest as it should.

#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "WindowTestSupport.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {

// Corners rounded to a tenth of a pixel, so a mismatch prints readably.
QString Describe(const std::array<QPointF, 4>& corners)
{
    QStringList parts;
    for (const QPointF& p : corners)
        parts << QString::number(p.x(), 'f', 1) + u',' + QString::number(p.y(), 'f', 1);
    return parts.join(u' ');
}

QString Describe(const QRectF& r)
{
    return Describe({r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()});
}

int PreviewTopLevels()
{
    int count = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets())
        count += widget->windowTitle() == QLatin1String("Overlay Preview") ? 1 : 0;
    return count;
}

} // namespace

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
        if (!preview || !QTest::qWaitForWindowActive(preview))
            return nullptr;
        return preview;
    }

    // What a click into the main window does for the user: it becomes active.
    bool BackToMainWindow()
    {
        driver.window->activateWindow();
        return QTest::qWaitForWindowActive(driver.window.get());
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
        PreviewCanvas* canvas = preview->canvas();
        const double w = canvas->screenSize().width();
        const double h = canvas->screenSize().height();
        const auto drawn = [canvas] {
            return Describe(canvas->lastDrawnScreenCorners());
        };
        QVERIFY(BackToMainWindow());
        // No picture: the 128-pixel stand-in, at the lower-left while no point is set.
        QTRY_COMPARE(drawn(), Describe(QRectF(0, h - 128, 128, 128)));

        WindowDriver::Click(driver.Get("optPreset_8")); // "Lower right"
        QTRY_COMPARE(drawn(), Describe(QRectF(w - 128, h - 128, 128, 128)));
        QVERIFY(WindowDriver::Retype(driver.Get("txtScreen_x"), QStringLiteral("0.5")));
        QTRY_COMPARE(drawn(), Describe(QRectF(w / 2 - 128, h - 128, 128, 128)));
        // Pixels empties the overlay x: the picture's left edge goes to the middle.
        QVERIFY(WindowDriver::Pick(driver.Get<QComboBox>("comboOverlay_x_units"),
                                   QStringLiteral("pixels")));
        QTRY_COMPARE(drawn(), Describe(QRectF(w / 2, h - 128, 128, 128)));

        auto* slider = driver.Get<QSlider>("sliderTransparency");
        WindowDriver::Click(slider);
        QTest::keyClick(slider, Qt::Key_Home);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(slider, Qt::Key_PageUp);
        QCOMPARE(driver.window->OverlayColor(), QStringLiteral("80ffffff"));
        QCOMPARE(canvas->placement().opacity, 128.0 / 255);
        QVERIFY(preview->findChild<QLabel*>(QStringLiteral("lblPreviewInfo"))
                    ->text()
                    .contains(u"50% opaque"));

        const QString picture = driver.folder.filePath(QStringLiteral("legend.png"));
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(picture));
        driver.services.fileDialogAnswers.push_back(picture);
        WindowDriver::Click(driver.Get("cmdOpen_graphic_file"));
        QTRY_COMPARE(drawn(), Describe(QRectF(w / 2, h - 20, 40, 20)));
        QCOMPARE(canvas->picture(), PreviewCanvas::Picture::Loaded);

        QCOMPARE(driver.window->OverlayWriteCount(), 0);
        QVERIFY(!driver.OutputFileExists());
        QCOMPARE(driver.services.MessageCount(), 0);
    }

    void secondClick_raisesTheSameWindow_showingTheValuesOfThatMoment()
    {
        PreviewWindow* preview = OpenPreview();
        QVERIFY(preview);
        QVERIFY(BackToMainWindow());
        QCOMPARE(OpenPreview(), preview);
        QCOMPARE(PreviewTopLevels(), 1);

        // Changes made while it is closed show when it opens again.
        preview->close();
        QTRY_VERIFY(!preview->isVisible());
        WindowDriver::Click(driver.Get("optPreset_2")); // "Upper right"
        QCOMPARE(OpenPreview(), preview);
        const double w = preview->canvas()->screenSize().width();
        QTRY_COMPARE(Describe(preview->canvas()->lastDrawnScreenCorners()),
                     Describe(QRectF(w - 128, 0, 128, 128)));
        QCOMPARE(PreviewTopLevels(), 1);
    }

    void closingThePreview_leavesTheWindowAsItWas()
    {
        frmOrvinel* window = driver.window.get();
        QVERIFY(WindowDriver::TypeInto(driver.Get("txtOverlay_title"), QStringLiteral("Legend")));
        WindowDriver::Click(driver.Get("optPreset_6"));
        PreviewWindow* preview = OpenPreview();
        QVERIFY(preview);
        const OverlaySettings before = window->Snapshot();
        const QStringList modules = {window->SizeXValue(), window->SizeYValue(),
                                     window->NetworkLinkFilePath(), window->GoogleEarthPath()};

        preview->close();
        QTRY_VERIFY(!preview->isVisible());
        QVERIFY(window->isVisible());
        QCOMPARE(window->Snapshot(), before);
        QCOMPARE((QStringList{window->SizeXValue(), window->SizeYValue(),
                              window->NetworkLinkFilePath(), window->GoogleEarthPath()}),
                 modules);
        QVERIFY(!driver.Get("cmdSave_As")->isEnabled());
        QCOMPARE(window->OverlayWriteCount(), 0);
        QCOMPARE(driver.services.calls.size(), 0);
    }

    void exit_closesThePreviewToo()
    {
        QVERIFY(OpenPreview());
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
