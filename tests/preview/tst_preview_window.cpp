#include "PreviewCanvas.h"
#include "PreviewTestSupport.h"
#include "PreviewWindow.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The "Overlay Preview" window as the user sees it: the screen list, the
// drawing, and the text under it.
class PreviewWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString picture_; // 100 x 50
    std::unique_ptr<PreviewWindow> window_;
    QComboBox* combo_ = nullptr;
    QLabel* info_ = nullptr;

    void PickScreen(int index)
    {
        QTest::keyClick(combo_, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(combo_, Qt::Key_Down);
    }

private Q_SLOTS:
    void initTestCase()
    {
        picture_ = dir_.filePath(QStringLiteral("legend.png"));
        QImage image(100, 50, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(picture_));
    }
    void init()
    {
        window_ = std::make_unique<PreviewWindow>();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        combo_ = window_->findChild<QComboBox*>(QStringLiteral("comboPreviewScreen"));
        info_ = window_->findChild<QLabel*>(QStringLiteral("lblPreviewInfo"));
        QVERIFY(combo_ && info_);
    }

    void screenList_ownScreenFirst()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Overlay Preview"));
        const QSize own = QGuiApplication::primaryScreen()->size();
        const QList<QSize> expected{own,          {1280, 720},  {1366, 768},
                                    {1920, 1080}, {2560, 1440}, {3840, 2160}};
        QCOMPARE(combo_->count(), expected.size());
        for (int i = 0; i < combo_->count(); ++i)
            QCOMPARE(combo_->itemData(i).toSize(), expected.at(i));
        QCOMPARE(combo_->itemText(0),
                 QStringLiteral("%1 × %2 (this screen)").arg(own.width()).arg(own.height()));
    }

    void info_followsSettingsAndScreen()
    {
        window_->ShowSettings(
            Make().picture(picture_).size("0.25", "0").overlay("1", "0").screen("1", "0"));
        PickScreen(1);
        QCOMPARE(info_->text(), QStringLiteral("Screen 1280 × 720  ·  picture 320 × 160 px  ·  "
                                               "covers 5.6% of the screen"));

        // Half the turned picture is above the screen.
        window_->ShowSettings(
            Make().picture(picture_).overlay("abc", "0.5").screen("0.5", "1").angle("45"));
        QCOMPARE(info_->text(),
                 QStringLiteral("Screen 1280 × 720  ·  picture 100 × 50 px, turned 45°  ·  covers "
                                "0.3% of the screen\n"
                                "Part of the picture lies outside the screen\n"
                                "Overlay x value \"abc\" is not a number; read as 0"));

        window_->ShowSettings(Make().color("80ffffff"));
        QCOMPARE(info_->text(),
                 QStringLiteral("Screen 1280 × 720  ·  picture 128 × 128 px, 50% opaque  ·  covers "
                                "1.8% of the screen\n"
                                "No overlayXY/screenXY: placed at the lower-left corner  ·  No "
                                "picture chosen: shown as the white rectangle viewers draw"));
        // Half white over the screen's grey.
        auto* canvas = window_->canvas();
        const QImage drawn = canvas->grab().toImage();
        const Corners c = canvas->lastDrawnCorners();
        const QPoint inScreen = canvas->lastDrawnScreenRect().topLeft().toPoint() + QPoint(3, 3);
        const int middle = drawn.pixelColor(((c[0] + c[2]) / 2).toPoint()).red();
        QCOMPARE_LE(std::abs(middle - (drawn.pixelColor(inScreen).red() + 255) / 2), 2);
    }

    void unreadablePicture_outlineAtStandInSize()
    {
        // Any file that is not a picture: this test program.
        window_->ShowSettings(
            Make().picture(QCoreApplication::applicationFilePath()).screen("2", "2"));
        QCOMPARE(window_->canvas()->picture(), PreviewCanvas::Picture::Unreadable);
        QCOMPARE(window_->canvas()->pictureNativeSize(), PreviewCanvas::kStandInSize);
        QCOMPARE(info_->text().section(QLatin1Char('\n'), 1),
                 QStringLiteral("The picture lies entirely outside the screen  ·  No overlayXY: "
                                "the picture's lower-left corner is pinned  ·  The picture cannot "
                                "be read; its outline is shown"));
        window_->canvas()->repaint();
    }

    void manyUpdates_decodeOnceAndWriteNothing()
    {
        const QString big = dir_.filePath(QStringLiteral("big.png"));
        QImage image(4000, 4000, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(big));
        QTemporaryDir out;
        auto* canvas = window_->canvas();
        const int before = canvas->decodeCount();
        for (int i = 0; i < 24; ++i) {
            const QByteArray angle = QByteArray::number(i * 9);
            OverlaySettings s =
                Make().picture(big).size(i % 2 ? "0.5" : "-1", "0").angle(angle.constData());
            s.txtOverlay_title = QStringLiteral("City");
            s.OutputFilePath = out.filePath(QStringLiteral("legend.kml"));
            window_->ShowSettings(s);
            PickScreen(i / 4);
            canvas->repaint();
        }
        QCOMPARE(canvas->decodeCount(), before + 1);
        QVERIFY(QDir(out.path()).isEmpty());
        window_->ShowSettings(Make().picture(picture_));
        QCOMPARE(canvas->decodeCount(), before + 2);
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "tst_preview_window.moc"
