#include "PreviewCanvas.h"
#include "PreviewTestSupport.h"
#include "PreviewWindow.h"
#include "WindowTestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// The "Overlay Preview" window as the user sees it: the screen list, the
// drawing, and the text under it.
class PreviewWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    PreviewWindow window_;
    QComboBox* combo_ = window_.findChild<QComboBox*>(QStringLiteral("comboPreviewScreen"));
    QLabel* info_ = window_.findChild<QLabel*>(QStringLiteral("lblPreviewInfo"));

    QString Saved(const char* name, int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        const QString path = dir_.filePath(QString::fromUtf8(name));
        return image.save(path) ? path : QString();
    }
    void PickScreen(int index)
    {
        QTest::keyClick(combo_, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(combo_, Qt::Key_Down);
    }

private Q_SLOTS:
    void initTestCase()
    {
        window_.show();
        QVERIFY(QTest::qWaitForWindowActive(&window_));
    }

    // Opened, the window's keys go to the canvas, which waits for Tab, Space
    // or Enter before it takes the picture.
    void opened_onTheCanvas_ownScreenListedFirst()
    {
        QCOMPARE(QApplication::focusWidget(), window_.canvas());
        QVERIFY(!window_.canvas()->pictureSelected());
        QCOMPARE(window_.windowTitle(), QStringLiteral("Overlay Preview"));
        const QSize own = QGuiApplication::primaryScreen()->size();
        QCOMPARE(combo_->itemText(0),
                 QStringLiteral("%1 × %2 (this screen)").arg(own.width()).arg(own.height()));
    }

    void info_followsSettingsAndScreen()
    {
        // Turned about its centre on the top edge, half the picture is above the screen.
        const QString legend = Saved("legend.png", 100, 50);
        Make turned = Make().picture(legend).size("0.25", "0").angle("45");
        window_.ShowSettings(turned.overlay("abc", "0.5").screen("0.5", "1"));
        PickScreen(1);
        QCOMPARE(info_->text(),
                 QStringLiteral("Screen 1280 × 720  ·  picture 320 × 160 px, turned 45°  ·  covers "
                                "2.8% of the screen\n"
                                "Part of the picture lies outside the screen\n"
                                "Overlay x value \"abc\" is not a number; read as 0"));

        window_.ShowSettings(Make().color("80ffffff"));
        QCOMPARE(info_->text(),
                 QStringLiteral("Screen 1280 × 720  ·  picture 128 × 128 px, 50% opaque  ·  covers "
                                "1.8% of the screen\n"
                                "No overlayXY/screenXY: placed at the lower-left corner  ·  No "
                                "picture chosen: shown as the white rectangle viewers draw"));
        // Half white over the screen's grey.
        const QImage drawn = window_.canvas()->grab().toImage();
        const Corners c = window_.canvas()->lastDrawnCorners();
        const QPointF inScreen = window_.canvas()->lastDrawnScreenRect().topLeft() + QPointF(3, 3);
        const int middle = drawn.pixelColor(((c[0] + c[2]) / 2).toPoint()).red();
        QCOMPARE_LE(std::abs(middle - (drawn.pixelColor(inScreen.toPoint()).red() + 255) / 2), 2);

        // Any file that is not a picture (this test program): an outline of the stand-in size.
        window_.ShowSettings(
            Make().picture(QCoreApplication::applicationFilePath()).screen("2", "2"));
        QCOMPARE(info_->text(),
                 QStringLiteral("Screen 1280 × 720  ·  picture 128 × 128 px\nThe picture lies "
                                "entirely outside the screen  ·  No overlayXY: the picture's "
                                "lower-left corner is pinned  ·  The picture cannot be read "
                                "(Unsupported image format); its outline is shown"));
    }

    // The overlay's title is drawn just above the picture, white on a dark halo.
    void title_drawnAboveThePicture()
    {
        const Make centred = Make().overlay("0.5", "0.5").screen("0.5", "0.5");
        window_.ShowSettings(centred);
        const QImage without = window_.canvas()->grab().toImage();
        OverlaySettings titled = centred;
        titled.title = QStringLiteral("Legend");
        window_.ShowSettings(titled);
        const QImage with = window_.canvas()->grab().toImage();
        QPolygonF picture;
        for (const QPointF& corner : window_.canvas()->lastDrawnCorners())
            picture << corner;
        const QRect bounds = picture.boundingRect().toRect();
        int whitened = 0;
        for (int y = bounds.top() - 25; y < bounds.top() - 2; ++y) {
            for (int x = bounds.left(); x <= bounds.right(); ++x) {
                if (with.pixel(x, y) == qRgb(255, 255, 255) &&
                    without.pixel(x, y) != qRgb(255, 255, 255))
                    ++whitened;
            }
        }
        QCOMPARE_GT(whitened, 20);

        // Selected, it shows its outline and handles in the palette's
        // highlight colours.
        QPalette palette = window_.canvas()->palette();
        const QColor edge(0xc0, 0x30, 0x70);
        const QColor fill(0x30, 0xc0, 0x70);
        palette.setColor(QPalette::Highlight, edge);
        palette.setColor(QPalette::HighlightedText, fill);
        window_.canvas()->setPalette(palette);
        QTest::mouseClick(window_.canvas(), Qt::LeftButton, {}, bounds.center());
        const QImage selected = window_.canvas()->grab().toImage();
        window_.canvas()->setPalette(QPalette());
        // The corners' handles, through their middles; near the colour, as
        // antialiasing blends an edge's pixels differently on each platform.
        const auto near = [&selected](QPoint at, QColor colour) {
            const QColor seen = selected.pixelColor(at);
            return std::abs(seen.red() - colour.red()) + std::abs(seen.green() - colour.green()) +
                       std::abs(seen.blue() - colour.blue()) <
                   60;
        };
        int edges = 0;
        int fills = 0;
        for (const QPointF& corner : window_.canvas()->lastDrawnCorners())
            for (int d = -4; d <= 4; ++d) {
                edges += near(corner.toPoint() + QPoint(d, 0), edge) ? 1 : 0;
                fills += near(corner.toPoint() + QPoint(d, 0), fill) ? 1 : 0;
            }
        QCOMPARE_GT(edges, 4);
        QCOMPARE_GT(fills, 4);
    }

    // A picture over Qt's 128 MB decode limit: placed by its header at once,
    // decoded off the window's thread no larger than drawn, and only once
    // however the settings change; decoded larger when the drawing outgrows
    // it. A result for an earlier choice, or for a canvas that is gone, is
    // dropped.
    void largePicture_decodedOnceAtTheSizeDrawn()
    {
        const QString big = Saved("big.jpg", 6000, 6000);
        QTemporaryDir out;
        auto* canvas = window_.canvas();
        PickScreen(1);
        const int before = canvas->decodeCount();
        for (int i = 0; i < 24; ++i) {
            OverlaySettings s = Make().picture(big).size(i % 2 ? "0.5" : "-1", "0").angle("30");
            s.outputFile = out.filePath(QStringLiteral("legend.kml"));
            window_.ShowSettings(s);
            QCOMPARE(canvas->pictureNativeSize(), QSize(6000, 6000));
            PickScreen(1 + i / 5);
            canvas->repaint();
            // Asked for by the paint, decoded away from the window's thread.
            if (i == 0)
                QCOMPARE(canvas->picture(), PreviewCanvas::Picture::Preparing);
        }
        QVERIFY(QDir(out.path()).isEmpty());
        QTRY_COMPARE(canvas->picture(), PreviewCanvas::Picture::Loaded);
        QCOMPARE(canvas->decodeCount(), before + 1);
        QCOMPARE(canvas->preparedSize(), QSize(1500, 1500));
        const Corners c = canvas->lastDrawnCorners();
        // Dark green, as JPEG keeps it.
        const QColor drawn = canvas->grab().toImage().pixelColor(((c[0] + c[2]) / 2).toPoint());
        QCOMPARE_LE(drawn.red() + std::abs(drawn.green() - 128) + drawn.blue(), 3);

        window_.ShowSettings(Make().picture(big));
        window_.resize(window_.width() * 2, window_.height() * 2);
        QTRY_COMPARE(canvas->preparedSize(), QSize(3000, 3000));
        QCOMPARE(canvas->decodeCount(), before + 2);

        // Chosen again and, while it decodes, another picture: the first
        // one's result is dropped, as is that of a canvas gone meanwhile.
        window_.ShowSettings(Make());
        window_.ShowSettings(Make().picture(big));
        canvas->repaint();
        window_.ShowSettings(Make().picture(Saved("small.png", 10, 10)));
        canvas->repaint();
        auto* gone = new PreviewCanvas;
        gone->setSettings(Make().picture(big));
        gone->grab();
        QCOMPARE(gone->decodeCount(), 1);
        delete gone;
        QVERIFY(QThreadPool::globalInstance()->waitForDone(10000));
        QCoreApplication::processEvents();
        QCOMPARE(canvas->preparedSize(), QSize(10, 10));
        QCOMPARE(canvas->decodeCount(), before + 4);

        // Found unreadable only once decoded: the line under the drawing says so.
        QFile cut(Saved("cut.png", 64, 64));
        QVERIFY(cut.resize(cut.size() / 2));
        window_.ShowSettings(Make().picture(cut.fileName()));
        QTRY_VERIFY2(info_->text().endsWith(
                         u"cannot be read (Unable to read image data); its outline is shown"),
                     qPrintable(info_->text()));
        window_.resize(780, 560);
    }

    // A pipe (also behind a link), a device or a folder chosen as the picture
    // through the main window, with the preview open or opened after: never
    // waited on, not measured, shown unreadable with the reason.
    void notAnOrdinaryFile_neverBlocksTheWindow_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("previewFirst");
        for (const char* kind : {"pipe", "link to a pipe", "device", "folder"}) {
            for (const bool previewFirst : {false, true})
                QTest::addRow("%s, preview %s", kind, previewFirst ? "open" : "after")
                    << QString::fromLatin1(kind) << previewFirst;
        }
    }
    void notAnOrdinaryFile_neverBlocksTheWindow()
    {
        QFETCH(QString, kind);
        QFETCH(bool, previewFirst);
        WindowDriver driver;
        QVERIFY(driver.Open());
        QString chosen = driver.folder.filePath(QStringLiteral("x.gif"));
#ifndef Q_OS_UNIX
        // Windows has devices by name, and no named pipes in folders.
        if (kind != u"device" && kind != u"folder")
            QSKIP("named pipes in folders and symbolic links are POSIX");
        if (kind == u"device")
            chosen = QStringLiteral("\\\\.\\NUL");
        else
            QVERIFY(QDir().mkdir(chosen));
#else
        const QString pipe = kind == u"pipe" ? chosen : driver.folder.filePath(QStringLiteral("p"));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        QVERIFY(kind == u"pipe" ||
                (kind == u"link to a pipe" ? QFile::link(pipe, chosen)
                 : kind == u"device"       ? QFile::link(QStringLiteral("/dev/zero"), chosen)
                                           : QDir().mkdir(chosen)));
        // A hang on the pipe becomes a failure: after a few seconds the run is
        // marked stuck and the pipe opened read-write, which never waits and
        // wakes a reader blocked in opening it. Stuck on anything else: ended.
        std::atomic<bool> done{false};
        std::atomic<bool> stuck{false};
        std::thread watchdog([&, fifo = QFile::encodeName(pipe)] {
            for (int waited = 0; !done; waited += 20) {
                if (waited > 20000)
                    qFatal("The window is stuck on a file that is not a picture");
                if (waited > 3000) {
                    stuck = true;
                    ::close(::open(fifo.constData(), O_RDWR | O_NONBLOCK));
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
#endif
        if (previewFirst)
            WindowDriver::Click(driver.Get("cmdPreview"));
        driver.services.fileDialogAnswers = {chosen};
        WindowDriver::Click(driver.Get("cmdOpen_graphic_file"));
        WindowDriver::Click(driver.Get("cmdPreview"));
#ifdef Q_OS_UNIX
        done = true;
        watchdog.join();
        QVERIFY2(!stuck, "the window waited on the file");
#endif
        QCOMPARE(driver.Text("txtWidth") + driver.Text("txtHeight"), QStringLiteral("??"));
        const auto* preview = driver.window->findChild<PreviewWindow*>();
        QCOMPARE(preview->canvas()->picture(), PreviewCanvas::Picture::Unreadable);
        const QString info = preview->findChild<QLabel*>(QStringLiteral("lblPreviewInfo"))->text();
        QVERIFY2(info.contains(u"The picture cannot be read (not an ordinary file)"),
                 qPrintable(info));
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "tst_preview_window.moc"
