#include "PreviewCanvas.h"
#include "PreviewTestSupport.h"
#include "PreviewWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The "Overlay Preview" window as the user sees it: the screen list, the
// drawing, and the line of text under it.
class PreviewWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString picture_; // 100 x 50
    std::unique_ptr<PreviewWindow> window_;

    template <typename T> T* Find(const char* name)
    {
        T* child = window_->findChild<T*>(QString::fromUtf8(name));
        if (!child)
            qFatal("no control named %s", name);
        return child;
    }
    QString Info() { return Find<QLabel>("lblPreviewInfo")->text(); }

    void PickScreen(int index)
    {
        auto* combo = Find<QComboBox>("comboPreviewScreen");
        combo->setFocus();
        QTRY_VERIFY(combo->hasFocus());
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentIndex(), index);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
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
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }
    void cleanup()
    {
        window_.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void window_isAResizableOwnWindow()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Overlay Preview"));
        QVERIFY(window_->isWindow());
        QCOMPARE(window_->windowModality(), Qt::NonModal);
        const QSize before = window_->size();
        window_->resize(before + QSize(200, 120));
        QTRY_COMPARE(window_->size(), before + QSize(200, 120));
    }

    void screenList_ownScreenFirst()
    {
        auto* combo = Find<QComboBox>("comboPreviewScreen");
        const QSize own = QGuiApplication::primaryScreen()->size();
        const QList<QSize> expected{own,
                                    QSize(1280, 720),
                                    QSize(1366, 768),
                                    QSize(1920, 1080),
                                    QSize(2560, 1440),
                                    QSize(3840, 2160)};
        QCOMPARE(combo->count(), expected.size());
        for (int i = 0; i < combo->count(); ++i)
            QCOMPARE(combo->itemData(i).toSize(), expected.at(i));
        QCOMPARE(combo->itemText(0),
                 QStringLiteral("%1 × %2 (this screen)").arg(own.width()).arg(own.height()));
        QCOMPARE(combo->itemText(5), QStringLiteral("3840 × 2160"));
        QCOMPARE(combo->currentIndex(), 0);
    }

    void info_followsSettingsAndScreen()
    {
        window_->ShowSettings(Make()
                                  .picture(picture_)
                                  .size("0.25", "Maintain aspect")
                                  .overlay("1", "0")
                                  .screen("1", "0"));
        PickScreen(1);
        QCOMPARE(window_->canvas()->screenSize(), QSize(1280, 720));
        QCOMPARE(Info(),
                 QStringLiteral(
                     "Screen 1280 × 720  ·  picture 320 × 160 px  ·  covers 5.6% of the screen"));

        PickScreen(5);
        QCOMPARE(Info(),
                 QStringLiteral(
                     "Screen 3840 × 2160  ·  picture 960 × 480 px  ·  covers 5.6% of the screen"));
        window_->canvas()->repaint();
        const QRectF shown = window_->canvas()->lastDrawnScreenRect();
        QVERIFY(std::abs(shown.width() / shown.height() - 16.0 / 9.0) < 1e-9);

        window_->ShowSettings(
            Make().picture(picture_).overlay("0.5", "0.5").screen("0.5", "0.5").angle("45"));
        QCOMPARE(Info().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Screen 3840 × 2160  ·  picture 100 × 50 px, turned 45°  ·  covers "
                                "0.1% of the screen"));
    }

    void info_notesAndProblems()
    {
        PickScreen(3);
        window_->ShowSettings(Make().picture(picture_));
        QCOMPARE(Info().split(QLatin1Char('\n')).value(1),
                 QStringLiteral("No overlayXY/screenXY: placed at the lower-left corner"));

        window_->ShowSettings(
            Make().picture(picture_).overlay("abc", "0.5").screen("0", "1").angle("ninety"));
        const QStringList lines = Info().split(QLatin1Char('\n'));
        QCOMPARE(lines.mid(1),
                 (QStringList{QStringLiteral("Part of the picture lies outside the screen"),
                              QStringLiteral(R"(Overlay x value "abc" is not a number; read as 0)"),
                              QStringLiteral(
                                  R"(Rotation angle value "ninety" is not a number; read as 0)")}));

        window_->ShowSettings(Make().picture(picture_).overlay("0", "0").screen("2", "2"));
        QVERIFY2(Info().contains(QStringLiteral("The picture lies entirely outside the screen")),
                 qPrintable(Info()));
    }

    void noPicture_showsWhiteRectangle()
    {
        window_->ShowSettings(Make().overlay("0.5", "0.5").screen("0.5", "0.5").color("80ffffff"));
        QCOMPARE(window_->canvas()->picture(), PreviewCanvas::Picture::None);
        PickScreen(1);
        QCOMPARE(Info().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Screen 1280 × 720  ·  picture 128 × 128 px, 50% opaque  ·  covers "
                                "1.8% of the screen"));
        QVERIFY(Info().contains(
            QStringLiteral("No picture chosen: shown as the white rectangle viewers draw")));

        // Half-white over the screen's grey, near the middle of the screen
        // (off the centre lines).
        auto* canvas = window_->canvas();
        const QImage drawn = canvas->grab().toImage();
        const QColor middle =
            drawn.pixelColor(canvas->lastDrawnScreenRect().center().toPoint() + QPoint(6, 6));
        const QColor screen =
            drawn.pixelColor(canvas->lastDrawnScreenRect().topLeft().toPoint() + QPoint(3, 3));
        QVERIFY2(std::abs(middle.red() - (screen.red() + 255) / 2) <= 2,
                 qPrintable(middle.name() + QLatin1Char(' ') + screen.name()));
    }

    void unreadablePicture_outlineAtItsHeaderSizeOrStandIn()
    {
        const QString broken = dir_.filePath(QStringLiteral("broken.png"));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        window_->ShowSettings(Make().picture(broken));
        QCOMPARE(window_->canvas()->picture(), PreviewCanvas::Picture::Unreadable);
        QCOMPARE(window_->canvas()->pictureNativeSize(), PreviewCanvas::kStandInSize);
        QVERIFY(
            Info().contains(QStringLiteral("The picture cannot be read; its outline is shown")));
        window_->canvas()->repaint(); // draws the outline without complaint
    }

    void bigPicture_decodedOncePerPath()
    {
        const QString big = dir_.filePath(QStringLiteral("big.png"));
        QImage image(4000, 4000, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(big));

        auto* canvas = window_->canvas();
        const int before = canvas->decodeCount();
        for (int i = 0; i < 40; ++i) {
            const QByteArray x = QByteArray::number(i / 40.0);
            window_->ShowSettings(
                Make()
                    .picture(big)
                    .overlay(x.constData(), "0.5")
                    .screen("0.5", "0.5")
                    .size(i % 2 ? "0.5" : "Maintain native size", "Maintain aspect")
                    .angle(QByteArray::number(i * 9).constData())
                    .color(i % 3 ? "80ffffff" : "ffffffff"));
            if (i % 10 == 0)
                PickScreen(i / 10);
            canvas->repaint();
        }
        QCOMPARE(canvas->decodeCount(), before + 1);
        QCOMPARE(canvas->pictureNativeSize(), QSize(4000, 4000));

        window_->ShowSettings(Make().picture(picture_));
        QCOMPARE(canvas->decodeCount(), before + 2);
        QCOMPARE(canvas->pictureNativeSize(), QSize(100, 50));
    }

    void showSettings_writesNoFile()
    {
        QTemporaryDir out;
        window_->ShowSettings(
            Make().picture(picture_).overlay("1", "1").screen("1", "1").title("City").s);
        OverlaySettings settings = Make().picture(picture_);
        settings.OutputFilePath = out.filePath(QStringLiteral("legend.kml"));
        window_->ShowSettings(settings);
        window_->canvas()->repaint();
        QVERIFY(QDir(out.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }
};

QTEST_MAIN(PreviewWindowTest)
#include "tst_preview_window.moc"
