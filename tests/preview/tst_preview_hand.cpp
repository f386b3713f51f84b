#include "HandPlacement.h"
#include "PreviewCanvas.h"
#include "PreviewTestSupport.h"
#include "PreviewWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

// Placing the overlay by hand: the numbers first, worked out on a 1280 x 720
// screen for a 200 x 100 picture, then the preview's canvas driven by mouse
// and keys. The canvas is sized so that the screen shows at exactly half size
// from widget point (14, 14).
class HandTest : public QObject
{
    Q_OBJECT

    static constexpr QSizeF kScreen{1280, 720};
    static constexpr QSizeF kNative{200, 100};
    // The canvas snaps within 8 widget pixels: 16 screen pixels at half size.
    static constexpr double kReach = 16;

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
    static QString Described(const HandEdit& edit) { return edit.what + u": " + Fields(edit); }
    static OverlaySettings Applied(OverlaySettings s, const HandEdit& edit)
    {
        for (const auto& [field, text] : edit.fields)
            s.*field = text;
        return s;
    }
    static Overlay::DragStart Start(const OverlaySettings& s, QPointF press)
    {
        return {s, Overlay::PlaceOverlay(s, kScreen, kNative), kScreen, kNative, press};
    }
    // Shows `s`, then drags from `from` through `via` to `to` (screen points,
    // even ones, so that the widget points they show at are whole).
    QString Drag(const OverlaySettings& s, QPointF from, QPointF via, QPointF to,
                 Qt::KeyboardModifiers keys = {})
    {
        window_.ShowSettings(s);
        QTest::mouseClick(canvas_, Qt::LeftButton, {}, W(canvas_->placement().anchor)); // selects
        QSignalSpy edited(&window_, &PreviewWindow::handEdited);
        // Fed back as the main window does: each edit still counts from the press.
        QObject feedback;
        connect(&window_, &PreviewWindow::handEdited, &feedback,
                [&](const HandEdit& e) { window_.ShowSettings(Applied(s, e)); });
        QTest::mousePress(canvas_, Qt::LeftButton, {}, W(from));
        QTest::mouseEvent(QTest::MouseMove, canvas_, Qt::NoButton, keys, W(via));
        QTest::mouseEvent(QTest::MouseMove, canvas_, Qt::NoButton, keys, W(to));
        QTest::mouseRelease(canvas_, Qt::LeftButton, keys, W(to));
        return edited.isEmpty() ? QString() : Described(edited.last().at(0).value<HandEdit>());
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
        QVERIFY(QTest::qWaitForWindowActive(&window_)); // for the keys' focus moves
        QCOMPARE(canvas_->lastDrawnScreenRect(), QRectF(14, 14, 640, 360));
    }

    void screenPointTexts()
    {
        // A point, the units of its x and y, and the texts.
        const std::tuple<QPointF, const char*, const char*> rows[] = {
            {{960, 540}, "fraction fraction", "0.5 0.5"},
            {{961, 540}, "fraction ", "0.5005 0.5"},
            {{-960, 1620}, "fraction x", "-0.5 -0.5"},
            {{-0.2, 1080.3}, "fraction pixels", "0 0"}, // never -0
            {{100.4, 1000}, "pixels pixels", "100 80"},
            {{1800, 30}, "insetPixels insetPixels", "120 30"},
            {{1800.6, 30}, "pixels fraction", "1801 0.972"},
        };
        for (const auto& [point, units, expected] : rows) {
            const QStringList u = QString::fromLatin1(units).split(u' ');
            const auto [x, y] = Overlay::ScreenPointTexts(point, {1920, 1080}, u[0], u[1]);
            QCOMPARE(QString(x + u' ' + y), QString::fromLatin1(expected));
        }
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

    // Near "Lower right" the picture snaps there, unless snapping is off;
    // moving off after a snap puts the overlay point back.
    void move_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<QPointF>("by");
        QTest::addColumn<bool>("snapOff");
        QTest::addColumn<bool>("snapped"); // earlier in the drag
        QTest::addColumn<QString>("expected");
        const QString move = QStringLiteral("Move in Preview: ");
        QTest::newRow("fraction") << Centred().s << QPointF(320, -180) << true << false
                                  << move + "screenX=0.75 screenY=0.75";
        QTest::newRow("no units") << Centred().screen("", "", "").s << QPointF(640, -360) << true
                                  << false
                                  << move + "screenXUnits=fraction screenYUnits=fraction "
                                            "screenX=0.5 screenY=0.5";
        // The picture's lower-right corner starts at (1100, 170).
        const Make s = Centred().screen("1000", "600", "pixels");
        const QString lowerRight = QStringLiteral(
            "Lower right: overlayXUnits=fraction overlayYUnits=fraction screenXUnits=fraction "
            "screenYUnits=fraction overlayX=1 overlayY=0 screenX=1 screenY=0");
        QTest::newRow("snaps") << s.s << QPointF(170, 544) << false << false << lowerRight;
        QTest::newRow("snapping off")
            << s.s << QPointF(170, 544) << true << false << move + "screenX=1170 screenY=56";
        QTest::newRow("out of reach")
            << s.s << QPointF(166, 540) << false << false << move + "screenX=1166 screenY=60";
        QTest::newRow("off the snap")
            << s.s << QPointF(134, 506) << false << true
            << move + "overlayXUnits=fraction overlayYUnits=fraction screenXUnits=pixels "
                      "screenYUnits=pixels overlayX=0.5 overlayY=0.5 screenX=1134 screenY=94";
    }
    void move()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(QPointF, by);
        QFETCH(bool, snapOff);
        QFETCH(bool, snapped);
        const Overlay::HandMove move =
            Overlay::MoveEdit(Start(settings, {}), by, kReach, snapOff, snapped);
        QTEST(Described(move.edit), "expected");
        QCOMPARE(move.preset, move.edit.what.startsWith(u"Lower") ? 8 : -1);
    }

    // The corner opposite the one dragged stays put, within a pixel.
    void resize_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<int>("corner");
        QTest::addColumn<QPointF>("by");
        QTest::addColumn<bool>("keepAspect");
        QTest::addColumn<bool>("screenMoves");
        const Make pixels = Centred().size("-1", "-1", "pixels");
        QTest::newRow("lower right") << pixels.s << 2 << QPointF(60, 40) << false << true;
        QTest::newRow("turned, fraction")
            << Centred().size("0.25", "0").angle("30").s << 0 << QPointF(-40, -20) << false << true;
        QTest::newRow("no size, aspect") << Centred().s << 1 << QPointF(80, 6) << true << true;
        QTest::newRow("pinned at the corner")
            << Make(pixels).overlay("0", "1").s << 2 << QPointF(60, 40) << false << false;
    }
    void resize()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(int, corner);
        QFETCH(QPointF, by);
        QFETCH(bool, keepAspect);
        QFETCH(bool, screenMoves);
        const Placement before = Overlay::PlaceOverlay(settings, kScreen, kNative);
        const QPointF to = before.corners[corner] + by;
        const HandEdit edit =
            Overlay::ResizeEdit(Start(settings, before.corners[corner]), to, corner, keepAspect);
        QCOMPARE(edit.what, QStringLiteral("Resize in Preview"));
        QCOMPARE(Fields(edit).contains(u"screenX="), screenMoves);
        const Placement after = Overlay::PlaceOverlay(Applied(settings, edit), kScreen, kNative);
        const int opposite = (corner + 2) % 4;
        QCOMPARE_LE(QLineF(after.corners[opposite], before.corners[opposite]).length(), 1.0);
        QVERIFY(after.size.width() > before.size.width());
        if (keepAspect)
            QCOMPARE_LE(std::abs(after.size.width() / after.size.height() - 2), 0.02);
        else
            QCOMPARE_LE(QLineF(after.corners[corner], to).length(), 1.5);
    }

    // Counter-clockwise positive, about the pivot however far from it the mouse goes.
    void turn()
    {
        const QPointF pivot(640, 360); // the picture's centre
        const QPointF press(670, 260); // above it
        const auto turned = [&](const char* angle, double by, bool inSteps) {
            const QLineF reach(pivot, Overlay::TurnAbout(press, pivot, by));
            const Overlay::DragStart start = Start(Centred().angle(angle), press);
            return Described(Overlay::TurnEdit(start, reach.pointAt(1.5), inSteps));
        };
        QCOMPARE(turned("0", 90, false), "Turn in Preview: rotation=90");
        QCOMPARE(turned("0", -40, false), "Turn in Preview: rotation=-40");
        QCOMPARE(turned("0", 40, true), "Turn in Preview: rotation=45");
        QCOMPARE(turned("170", 30, false), "Turn in Preview: rotation=-160");
    }

    // From the whole pixel nearest the overlay point; the other axis keeps its
    // text unless it had no unit.
    void nudge()
    {
        const auto nudged = [](const OverlaySettings& s, QPointF step) {
            const QPointF anchor = Overlay::PlaceOverlay(s, kScreen, kNative).anchor;
            return Described(Overlay::NudgeEdit(s, anchor, kScreen, step));
        };
        QCOMPARE(nudged(Centred(), {-1, 0}), "Nudge in Preview: screenX=0.499");
        // From between two pixels (384.6) to the next whole one, so no rounding piles up.
        QCOMPARE(nudged(Centred().screen("0.300469", "0.5"), {1, 0}),
                 "Nudge in Preview: screenX=0.3016");
        QCOMPARE(nudged(Centred().screen("", "", ""), {0, 1}),
                 "Nudge in Preview: screenXUnits=fraction screenYUnits=fraction screenX=0 "
                 "screenY=-0.001");
    }

    // The canvas hands its drags to the edits above in screen pixels: the
    // picture to MoveEdit (Alt turns snapping off; a snap earlier in the drag
    // counts), a corner to ResizeEdit and the round handle to TurnEdit (Shift
    // to either).
    void drag_wiring()
    {
        const Make s = Centred().screen("1000", "600", "pixels");
        const QPointF from(1000, 120);
        const QPointF near(1170, 664);
        const QPointF off(1130, 624);
        const auto moved = [&](QPointF to, bool alt, bool snapped) {
            return Described(Overlay::MoveEdit(Start(s, from), to, kReach, alt, snapped).edit);
        };
        QCOMPARE(Drag(s, from, near, near), moved(near, false, false));
        QCOMPARE(Drag(s, from, near, near, Qt::AltModifier), moved(near, true, false));
        QCOMPARE(Drag(s, from, near, off), moved(off, false, true));
        const Make pixels = Centred().size("-1", "-1", "pixels");
        const QPointF corner(740, 410);
        const QPointF to(800, 460);
        const QPointF handle(640, 258);
        QCOMPARE(Drag(pixels, corner, to, to, Qt::ShiftModifier),
                 Described(Overlay::ResizeEdit(Start(pixels, corner), to, 2, true)));
        QCOMPARE(Drag(Centred(), handle, to, to, Qt::ShiftModifier),
                 Described(Overlay::TurnEdit(Start(Centred(), handle), to, true)));
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

    // Arrow keys nudge the selected picture only, a pixel, or ten with Shift.
    // Without the mouse: Tab to the canvas takes the picture at once, Escape
    // lets it go, Space or Enter takes it again. The canvas shows a focus
    // frame while it has the focus.
    void keys_nudge()
    {
        window_.ShowSettings(Centred().screen("100", "100", "pixels"));
        QTest::mouseClick(canvas_, Qt::LeftButton, {}, QPoint(2, 2)); // off the picture
        QSignalSpy started(&window_, &PreviewWindow::handEditStarted);
        QSignalSpy edited(&window_, &PreviewWindow::handEdited);
        QSignalSpy finished(&window_, &PreviewWindow::handEditFinished);
        // Fed back as the main window does, so the nudges add up.
        QObject feedback;
        connect(&window_, &PreviewWindow::handEdited, &feedback,
                [&](const HandEdit& e) { window_.ShowSettings(Applied(canvas_->settings(), e)); });
        const QRect screen = canvas_->lastDrawnScreenRect().toRect().adjusted(-6, -6, 6, 6);
        const auto framed = [&] {
            const QImage drawn = canvas_->grab().toImage();
            const QColor ground = canvas_->palette().color(QPalette::Window);
            int marked = 0;
            for (int y = 0; y < drawn.height(); ++y)
                for (int x = 0; x < drawn.width(); ++x)
                    marked += !screen.contains(x, y) && drawn.pixelColor(x, y) != ground ? 1 : 0;
            return marked > 100;
        };
        // Each key and the edit it makes, "-" for none; Shift+Tab goes to the
        // screen list and Tab back.
        const QString steps = QStringLiteral(
            "Right - Shift+Tab - Tab - Left screenX=99 Right screenX=100 Shift+Up screenY=110 "
            "Down screenY=109 Esc - Left - Space - Left screenX=99 Esc - Return - Up screenY=110");
        QStringList seen;
        const QStringList words = steps.split(u' ');
        for (qsizetype i = 0; i < words.size(); i += 2) {
            const QString& key = words[i];
            const qsizetype before = edited.size();
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
            seen << key
                 << (edited.size() > before ? Fields(edited.last().at(0).value<HandEdit>())
                                            : QStringLiteral("-"));
            QCOMPARE(framed(), QApplication::focusWidget() == canvas_);
        }
        QCOMPARE(seen.join(u' '), steps);
        QCOMPARE(started.count() + finished.count(), 12);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
    }
};

QTEST_MAIN(HandTest)
#include "tst_preview_hand.moc"
