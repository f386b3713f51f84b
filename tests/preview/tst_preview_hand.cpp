#include "HandPlacement.h"
#include "Placement.h"
#include "PreviewCanvas.h"
#include "PreviewTestSupport.h"
#include "PreviewWindow.h"

#include <QComboBox>
#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

// Placing the overlay by hand: the numbers first, then the preview's canvas
// driven by mouse and keys. The canvas is sized so that a 1280 x 720 screen
// shows at exactly half size from widget point (14, 14).
class HandTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString picture_; // 200 x 100: a swapped width and height shows
    PreviewWindow window_;
    PreviewCanvas* canvas_ = window_.canvas();

    static QPoint W(QPointF screen) { return (QPointF(14, 14) + screen / 2).toPoint(); }
    static QString Fields(const HandEdit& edit)
    {
        QStringList out;
        for (const auto& [field, text] : edit.fields)
            for (const NamedField& named : kOverlayFields)
                if (named.field == field)
                    out << QString::fromLatin1(named.name) + u'=' + text;
        return out.join(u' ');
    }
    static OverlaySettings Applied(OverlaySettings s, const HandEdit& edit)
    {
        for (const auto& [field, text] : edit.fields)
            s.*field = text;
        return s;
    }
    // Shows `s`, then drags from `from` to `to` (widget points) in two moves,
    // the first to `via` (half way when not given).
    HandEdit Drag(const OverlaySettings& s, QPoint from, QPoint to, Qt::KeyboardModifiers keys = {},
                  std::optional<QPoint> via = {})
    {
        window_.ShowSettings(s);
        const Corners c = canvas_->placement().corners;
        QTest::mouseClick(canvas_, Qt::LeftButton, {}, W((c[0] + c[2]) / 2)); // selects
        QSignalSpy edited(&window_, &PreviewWindow::handEdited);
        // Fed back as the main window does: each edit still counts from the press.
        QObject feedback;
        connect(&window_, &PreviewWindow::handEdited, &feedback,
                [&](const HandEdit& e) { window_.ShowSettings(Applied(s, e)); });
        QTest::mousePress(canvas_, Qt::LeftButton, {}, from);
        QTest::mouseEvent(QTest::MouseMove, canvas_, Qt::NoButton, keys,
                          via.value_or((from + to) / 2));
        QTest::mouseEvent(QTest::MouseMove, canvas_, Qt::NoButton, keys, to);
        QTest::mouseRelease(canvas_, Qt::LeftButton, keys, to);
        return edited.isEmpty() ? HandEdit{} : edited.last().at(0).value<HandEdit>();
    }
    Make Centred() const
    {
        return Make().picture(picture_).overlay("0.5", "0.5").screen("0.5", "0.5");
    }

private Q_SLOTS:
    void initTestCase()
    {
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        picture_ = dir_.filePath(QStringLiteral("p.png"));
        QVERIFY(image.save(picture_));
        window_.findChild<QComboBox*>()->setCurrentIndex(1); // 1280 x 720
        canvas_->setFixedSize(668, 388);
        window_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window_));
        QCOMPARE(canvas_->lastDrawnScreenRect(), QRectF(14, 14, 640, 360));
    }

    // Units of x and y, then the texts.
    void screenPointTexts_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("expected");
        QTest::newRow("centre") << QPointF(960, 540) << "fraction fraction"
                                << "0.5 0.5";
        QTest::newRow("1 px right") << QPointF(961, 540) << "fraction "
                                    << "0.5005 0.5";
        QTest::newRow("off screen") << QPointF(-960, 1620) << "fraction x"
                                    << "-0.5 -0.5";
        QTest::newRow("not -0") << QPointF(-0.2, 1080.3) << "fraction pixels"
                                << "0 0";
        QTest::newRow("pixels") << QPointF(100.4, 1000) << "pixels pixels"
                                << "100 80";
        QTest::newRow("inset") << QPointF(1800, 30) << "insetPixels insetPixels"
                               << "120 30";
        QTest::newRow("mixed") << QPointF(1800.6, 30) << "pixels fraction"
                               << "1801 0.972";
    }
    void screenPointTexts()
    {
        QFETCH(QPointF, point);
        QFETCH(QString, units);
        const QStringList u = units.split(u' ');
        const auto [x, y] = Overlay::ScreenPointTexts(point, {1920, 1080}, u[0], u[1]);
        QTEST(QString(x + u' ' + y), "expected");
    }

    // Read back by the placement rule, within half a pixel on every screen offered.
    void screenPointTexts_readBack()
    {
        const QStringList units = {"fraction", "pixels", "insetPixels"};
        for (const QSize size : PreviewWindow::ScreenSizes())
            for (int step = 0; step * 13.37 < size.width() + 90; ++step)
                for (const QString& xu : units)
                    for (const QString& yu : units) {
                        const double x = step * 13.37 - 40.3;
                        const QPointF at(x, size.height() - x * 0.41);
                        const auto [tx, ty] = Overlay::ScreenPointTexts(at, QSizeF(size), xu, yu);
                        QVERIFY(!tx.contains(QRegularExpression(QStringLiteral("\\.\\d{5}"))));
                        Make s = Make().overlay("0", "0");
                        s.At(1, qPrintable(tx), qPrintable(ty), qPrintable(xu), qPrintable(yu));
                        const QPointF placed =
                            Overlay::PlaceOverlay(s, QSizeF(size), {10, 10}).unrotated.bottomLeft();
                        QVERIFY2(std::abs(placed.x() - at.x()) <= 0.5 + 1e-9 &&
                                     std::abs(placed.y() - at.y()) <= 0.5 + 1e-9,
                                 qPrintable(tx + u' ' + ty));
                    }
    }

    // Alt keeps the picture off the presets.
    void move_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<QPointF>("from"); // the overlay point, screen pixels
        QTest::addColumn<QPoint>("by");    // widget pixels
        QTest::addColumn<QString>("expected");
        QTest::newRow("fraction") << Centred().s << QPointF(640, 360) << QPoint(160, -90)
                                  << "screenX=0.75 screenY=0.75";
        QTest::newRow("pixels, inset")
            << Centred().screen("100", "100", "pixels", "insetPixels").s << QPointF(100, 100)
            << QPoint(5, 7) << "screenX=110 screenY=114";
        QTest::newRow("inset, pixels")
            << Centred().screen("100", "100", "insetPixels", "pixels").s << QPointF(1180, 620)
            << QPoint(-1, 1) << "screenX=102 screenY=98";
        QTest::newRow("no units") << Centred().screen("", "", "").s << QPointF(0, 720)
                                  << QPoint(320, -180)
                                  << "screenXUnits=fraction screenYUnits=fraction "
                                     "screenX=0.5 screenY=0.5";
    }
    void move()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(QPointF, from);
        QFETCH(QPoint, by);
        const HandEdit edit = Drag(settings, W(from), W(from) + by, Qt::AltModifier);
        QTEST(Fields(edit), "expected");
        QCOMPARE(edit.what, QStringLiteral("Move in Preview"));
    }

    // The corner opposite the one dragged stays put, within a pixel.
    void resize_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<int>("corner");
        QTest::addColumn<QPoint>("by");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("screenMoves");
        const Make pixels = Centred().size("-1", "-1", "pixels");
        QTest::newRow("lower right") << pixels.s << 2 << QPoint(30, 20) << false << true;
        QTest::newRow("turned, fraction")
            << Centred().size("0.25", "0").angle("30").s << 0 << QPoint(-20, -10) << false << true;
        QTest::newRow("no size, shift") << Centred().s << 1 << QPoint(40, 3) << true << true;
        QTest::newRow("pinned at the corner")
            << Make(pixels).overlay("0", "1").s << 2 << QPoint(30, 20) << false << false;
    }
    void resize()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(int, corner);
        QFETCH(QPoint, by);
        QFETCH(bool, shift);
        QFETCH(bool, screenMoves);
        const Placement before = Overlay::PlaceOverlay(settings, {1280, 720}, {200, 100});
        const QPoint from = W(before.corners[corner]);
        const HandEdit edit =
            Drag(settings, from, from + by, shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(edit.what, QStringLiteral("Resize in Preview"));
        QCOMPARE(Fields(edit).contains(u"screenX="), screenMoves);
        const Placement after =
            Overlay::PlaceOverlay(Applied(settings, edit), {1280, 720}, {200, 100});
        const int opposite = (corner + 2) % 4;
        QCOMPARE_LE(QLineF(after.corners[opposite], before.corners[opposite]).length(), 1.0);
        QVERIFY(after.size.width() > before.size.width());
        if (shift)
            QCOMPARE_LE(std::abs(after.size.width() / after.size.height() - 2), 0.02);
        else
            QCOMPARE_LE(QLineF(W(after.corners[corner]), from + by).length(), 2.0);
    }

    void turn_data()
    {
        QTest::addColumn<QString>("angle");
        QTest::addColumn<double>("by"); // counter-clockwise
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("expected");
        QTest::newRow("left") << "0" << 90.0 << false << "90";
        QTest::newRow("right") << "0" << -40.0 << false << "-40";
        QTest::newRow("steps") << "0" << 40.0 << true << "45";
        QTest::newRow("past 180") << "170" << 30.0 << false << "-160";
    }
    void turn()
    {
        QFETCH(QString, angle);
        QFETCH(double, by);
        QFETCH(bool, shift);
        window_.ShowSettings(Centred().angle(qPrintable(angle)));
        const QPointF pivot = QPointF(14, 14) + canvas_->placement().pivot / 2;
        const QPoint from = canvas_->turnHandle().toPoint();
        const QLineF reach(pivot, Overlay::TurnAbout(from, pivot, by));
        const QPointF to = reach.pointAt(150 / reach.length());
        const HandEdit edit = Drag(Centred().angle(qPrintable(angle)), from, to.toPoint(),
                                   shift ? Qt::ShiftModifier : Qt::NoModifier);
        QFETCH(QString, expected);
        QCOMPARE(Fields(edit), QStringLiteral("rotation=") + expected);
    }

    // Near "Lower right" the picture snaps there; Alt keeps it off, and
    // moving away after a snap puts the overlay point back.
    void snap()
    {
        const Make s = Centred().screen("1000", "600", "pixels");
        const QPoint from = W({1000, 120});
        // The picture's lower-right corner 6 and 4 screen pixels short of the screen's.
        const QPoint to = W({1280 - 100 - 6, 720 - 50 - 4});
        QCOMPARE(Fields(Drag(s, from, to)),
                 "overlayXUnits=fraction overlayYUnits=fraction "
                 "screenXUnits=fraction screenYUnits=fraction overlayX=1 "
                 "overlayY=0 screenX=1 screenY=0");
        QCOMPARE(Drag(s, from, to).what, QStringLiteral("Lower right"));
        QCOMPARE(Fields(Drag(s, from, to, Qt::AltModifier)), "screenX=1174 screenY=54");
        QCOMPARE(Fields(Drag(s, from, to - QPoint(20, 20), {}, to)),
                 "overlayXUnits=fraction overlayYUnits=fraction "
                 "screenXUnits=pixels screenYUnits=pixels overlayX=0.5 "
                 "overlayY=0.5 screenX=1134 screenY=94");
    }

    void escape_cancels()
    {
        const OverlaySettings s = Centred();
        window_.ShowSettings(s);
        QSignalSpy started(&window_, &PreviewWindow::handEditStarted);
        QSignalSpy finished(&window_, &PreviewWindow::handEditFinished);
        QTest::mousePress(canvas_, Qt::LeftButton, {}, W({640, 360}));
        QTest::mouseMove(canvas_, W({700, 400}));
        window_.ShowSettings(Centred().screen("0.6", "0.4"));
        QTest::keyClick(canvas_, Qt::Key_Escape);
        QTest::mouseRelease(canvas_, Qt::LeftButton, {}, W({700, 400}));
        QCOMPARE(started.count(), 1);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QCOMPARE(canvas_->settings(), s);
    }

    void nudge_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QString>("expected");
        const Make pixels = Centred().screen("100", "100", "pixels");
        QTest::newRow("right") << pixels.s << int(Qt::Key_Right) << false << "screenX=101";
        QTest::newRow("up ten") << pixels.s << int(Qt::Key_Up) << true << "screenY=110";
        QTest::newRow("left, fraction")
            << Centred().s << int(Qt::Key_Left) << false << "screenX=0.499";
        // From between two pixels (384.6) to the next whole one, so no rounding piles up.
        QTest::newRow("between pixels") << Centred().screen("0.300469", "0.5").s
                                        << int(Qt::Key_Right) << false << "screenX=0.3016";
        QTest::newRow("down, no units")
            << Centred().screen("", "", "").s << int(Qt::Key_Down) << false
            << "screenXUnits=fraction screenYUnits=fraction screenX=0 "
               "screenY=-0.001";
    }
    void nudge()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(int, key);
        QFETCH(bool, shift);
        window_.ShowSettings(settings);
        QTest::mouseClick(canvas_, Qt::LeftButton, {}, QPoint(2, 2)); // off the picture
        QSignalSpy started(&window_, &PreviewWindow::handEditStarted);
        QSignalSpy edited(&window_, &PreviewWindow::handEdited);
        QSignalSpy finished(&window_, &PreviewWindow::handEditFinished);
        QTest::keyClick(canvas_, Qt::Key(key));
        QCOMPARE(edited.count(), 0);
        const Corners c = canvas_->placement().corners;
        QTest::mouseClick(canvas_, Qt::LeftButton, {}, W((c[0] + c[2]) / 2));
        QTest::keyClick(canvas_, Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(started.count() + edited.count() + finished.count(), 3);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QTEST(Fields(edited.at(0).at(0).value<HandEdit>()), "expected");
    }
};

QTEST_MAIN(HandTest)
#include "tst_preview_hand.moc"
