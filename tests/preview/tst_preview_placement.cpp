#include "Placement.h"
#include "PreviewTestSupport.h"

#include <QTest>

#include <array>

using Corners = std::array<QPointF, 4>;
Q_DECLARE_METATYPE(Corners)

// Hand-computed placements on a 1000 x 500 screen of a 100 x 50 picture.
// Neither is square, so a swapped x and y or a share of the wrong thing
// (picture instead of screen) lands somewhere else. Expected rectangles are in
// screen pixels from the top-left corner, y down.
class PlacementTest : public QObject
{
    Q_OBJECT

    static constexpr QSizeF kScreen{1000, 500};
    static constexpr QSizeF kPicture{100, 50};

    static Corners CornersOf(QRectF r)
    {
        return {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    }

    static void CompareCorners(const Corners& actual, const Corners& expected, double tolerance)
    {
        bool same = true;
        for (int i = 0; i < 4; ++i)
            same = same && Near(actual[i], expected[i], tolerance);
        QVERIFY2(same, qPrintable(QStringLiteral("drawn at ") + PointsText(actual) +
                                  QStringLiteral("expected ") + PointsText(expected)));
    }

private Q_SLOTS:
    void placesUnturnedPicture_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<QRectF>("expected");

        // Pins and units: the screen point less the picture point.
        QTest::newRow("nothing written: lower-left")
            << OverlaySettings(Make()) << QRectF(0, 450, 100, 50);
        QTest::newRow("lower right preset")
            << OverlaySettings(Make().overlay("1", "0").screen("1", "0"))
            << QRectF(900, 450, 100, 50);
        QTest::newRow("upper left preset")
            << OverlaySettings(Make().overlay("0", "1").screen("0", "1")) << QRectF(0, 0, 100, 50);
        QTest::newRow("centre preset")
            << OverlaySettings(Make().overlay("0.5", "0.5").screen("0.5", "0.5"))
            << QRectF(450, 225, 100, 50);
        QTest::newRow("overlay pixels from left and bottom")
            << OverlaySettings(Make().overlay("10", "20", "pixels", "pixels").screen("0.5", "0.5"))
            << QRectF(490, 220, 100, 50);
        QTest::newRow("overlay insetPixels from right and top")
            << OverlaySettings(
                   Make().overlay("10", "20", "insetPixels", "insetPixels").screen("0.5", "0.5"))
            << QRectF(410, 230, 100, 50);
        QTest::newRow("screen fraction")
            << OverlaySettings(Make().overlay("0", "0").screen("0.25", "0.75"))
            << QRectF(250, 75, 100, 50);
        QTest::newRow("screen pixels from left and bottom")
            << OverlaySettings(Make().overlay("0", "0").screen("30", "40", "pixels", "pixels"))
            << QRectF(30, 410, 100, 50);
        QTest::newRow("screen insetPixels from right and top")
            << OverlaySettings(
                   Make().overlay("0", "0").screen("30", "40", "insetPixels", "insetPixels"))
            << QRectF(970, -10, 100, 50);
        QTest::newRow("each axis its own unit")
            << OverlaySettings(Make()
                                   .overlay("0", "1", "insetPixels", "fraction")
                                   .screen("700", "100", "pixels", "insetPixels"))
            << QRectF(600, 100, 100, 50);

        // Absent elements stand for the lower-left corner; an empty value
        // inside a written element reads as 0.
        QTest::newRow("only overlayXY written")
            << OverlaySettings(Make().overlay("0.5", "0.5")) << QRectF(-50, 475, 100, 50);
        QTest::newRow("only screenXY written")
            << OverlaySettings(Make().screen("0.5", "0.5")) << QRectF(500, 200, 100, 50);
        QTest::newRow("empty overlay x")
            << OverlaySettings(Make().overlay("", "1").screen("0.5", "0.5"))
            << QRectF(500, 250, 100, 50);
        QTest::newRow("empty screen y")
            << OverlaySettings(Make().screen("0.5", "")) << QRectF(500, 450, 100, 50);

        // Size: -1 native, 0 keeps the aspect ratio, else share of the screen
        // or pixels.
        QTest::newRow("size -1 -1")
            << OverlaySettings(Make().size("-1", "-1")) << QRectF(0, 450, 100, 50);
        QTest::newRow("size words: native")
            << OverlaySettings(Make().size("Maintain native size", "Maintain native size"))
            << QRectF(0, 450, 100, 50);
        QTest::newRow("size -1 written as -1.0 and -1e0")
            << OverlaySettings(Make().size("-1.0", "-1e0")) << QRectF(0, 450, 100, 50);
        QTest::newRow("size fraction of the screen")
            << OverlaySettings(Make().size("0.5", "0.2")) << QRectF(0, 400, 500, 100);
        QTest::newRow("size pixels")
            << OverlaySettings(Make().size("200", "80", "pixels", "pixels"))
            << QRectF(0, 420, 200, 80);
        QTest::newRow("size insetPixels: screen less the value")
            << OverlaySettings(Make().size("100", "-1", "insetPixels", "pixels"))
            << QRectF(0, 450, 900, 50);
        QTest::newRow("size aspect from x")
            << OverlaySettings(Make().size("0.3", "0")) << QRectF(0, 350, 300, 150);
        QTest::newRow("size aspect from y")
            << OverlaySettings(Make().size("Maintain aspect", "100", "fraction", "pixels"))
            << QRectF(0, 400, 200, 100);
        QTest::newRow("size both 0: native")
            << OverlaySettings(Make().size("0", "0")) << QRectF(0, 450, 100, 50);
        QTest::newRow("size 0 with -1: native")
            << OverlaySettings(Make().size("Maintain aspect", "Maintain native size"))
            << QRectF(0, 450, 100, 50);
        QTest::newRow("size -1 with 0: native")
            << OverlaySettings(Make().size("-1", "0", "pixels", "pixels"))
            << QRectF(0, 450, 100, 50);
        QTest::newRow("size -1 with pixels")
            << OverlaySettings(Make().size("-1", "80", "fraction", "pixels"))
            << QRectF(0, 420, 100, 80);
        QTest::newRow("size empty x reads 0: aspect")
            << OverlaySettings(Make().size("", "100", "pixels", "pixels"))
            << QRectF(0, 400, 200, 100);

        // The picture point is a share of the picture as drawn, not as stored.
        QTest::newRow("sized picture pinned at its centre")
            << OverlaySettings(Make()
                                   .size("200", "100", "pixels", "pixels")
                                   .overlay("0.5", "0.5")
                                   .screen("0.5", "0.5"))
            << QRectF(400, 200, 200, 100);
        QTest::newRow("sized picture pinned at its top-right corner")
            << OverlaySettings(Make()
                                   .size("200", "100", "pixels", "pixels")
                                   .overlay("0", "0", "insetPixels", "insetPixels")
                                   .screen("0", "0", "insetPixels", "insetPixels"))
            << QRectF(800, 0, 200, 100);
    }
    void placesUnturnedPicture()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(QRectF, expected);
        const Placement p = PlaceOverlay(settings, kScreen, kPicture);
        QCOMPARE(p.unrotated, expected);
        QCOMPARE(p.size, expected.size());
        CompareCorners(p.corners, CornersOf(expected), 1e-9);
        QVERIFY(p.problems.isEmpty());
    }

    void turnsPicture_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<Corners>("expected");

        // The 100 x 50 picture sits at the lower-left corner, (0, 450)-(100, 500).
        const Corners aboutCentre90{QPointF(25, 525), QPointF(25, 425), QPointF(75, 425),
                                    QPointF(75, 525)};
        QTest::newRow("90 about the centre by default")
            << OverlaySettings(Make().angle("90")) << aboutCentre90;
        QTest::newRow("90 about the centre named")
            << OverlaySettings(Make().angle("90").turnAt("0.5", "0.5")) << aboutCentre90;
        QTest::newRow("45 about the centre")
            << OverlaySettings(Make().angle("45"))
            << Corners{QPointF(-3.0330, 492.6777), QPointF(67.6777, 421.9670),
                       QPointF(103.0330, 457.3223), QPointF(32.3223, 528.0330)};
        const Corners aboutLowerLeft90{QPointF(-50, 500), QPointF(-50, 400), QPointF(0, 400),
                                       QPointF(0, 500)};
        QTest::newRow("90 about the lower-left corner")
            << OverlaySettings(Make().angle("90").turnAt("0", "0")) << aboutLowerLeft90;
        QTest::newRow("empty rotation y reads 0")
            << OverlaySettings(Make().angle("90").turnAt("0", "", "pixels", "pixels"))
            << aboutLowerLeft90;
        QTest::newRow("-90 about the top-right corner in insetPixels")
            << OverlaySettings(Make().angle("-90").turnAt("0", "0", "insetPixels", "insetPixels"))
            << Corners{QPointF(100, 350), QPointF(100, 450), QPointF(50, 450), QPointF(50, 350)};
        QTest::newRow("180 about a point in pixels")
            << OverlaySettings(Make().angle("180").turnAt("10", "10", "pixels", "pixels"))
            << Corners{QPointF(20, 530), QPointF(-80, 530), QPointF(-80, 480), QPointF(20, 480)};
        // Placed at (400, 200)-(600, 300) by its centre pin.
        QTest::newRow("90 about the centre of a sized, pinned picture")
            << OverlaySettings(Make()
                                   .size("200", "100", "pixels", "pixels")
                                   .overlay("0.5", "0.5")
                                   .screen("0.5", "0.5")
                                   .angle("90"))
            << Corners{QPointF(450, 350), QPointF(450, 150), QPointF(550, 150), QPointF(550, 350)};
        // The turning point is a share of the picture, (0, 400)-(200, 500).
        QTest::newRow("180 about the sized picture's top-right corner")
            << OverlaySettings(
                   Make().size("200", "100", "pixels", "pixels").turnAt("1", "1").angle("180"))
            << Corners{QPointF(400, 400), QPointF(200, 400), QPointF(200, 300), QPointF(400, 300)};
        QTest::newRow("turning point without an angle turns nothing")
            << OverlaySettings(Make().turnAt("0", "0")) << CornersOf(QRectF(0, 450, 100, 50));
    }
    void turnsPicture()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(Corners, expected);
        const Placement p = PlaceOverlay(settings, kScreen, kPicture);
        CompareCorners(p.corners, expected, 1e-3);
        QVERIFY(p.problems.isEmpty());
    }

    void listsUnreadableValues_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<OverlaySettings>("readAs");
        QTest::addColumn<QStringList>("problems");

        QTest::newRow("overlay x word")
            << OverlaySettings(Make().overlay("abc", "0.5"))
            << OverlaySettings(Make().overlay("0", "0.5"))
            << QStringList{QStringLiteral(R"(Overlay x value "abc" is not a number; read as 0)")};
        QTest::newRow("overlay y decimal comma")
            << OverlaySettings(Make().overlay("0.5", "0,5"))
            << OverlaySettings(Make().overlay("0.5", "0"))
            << QStringList{QStringLiteral(R"(Overlay y value "0,5" is not a number; read as 0)")};
        QTest::newRow("screen x blank is not empty")
            << OverlaySettings(Make().screen(" ", "1")) << OverlaySettings(Make().screen("0", "1"))
            << QStringList{QStringLiteral(R"(Screen x value " " is not a number; read as 0)")};
        QTest::newRow("screen y half-typed exponent")
            << OverlaySettings(Make().screen("1", "1e")) << OverlaySettings(Make().screen("1", "0"))
            << QStringList{QStringLiteral(R"(Screen y value "1e" is not a number; read as 0)")};
        QTest::newRow("rotation x and y")
            << OverlaySettings(Make().turnAt("left", "inf").angle("90"))
            << OverlaySettings(Make().turnAt("0", "0").angle("90"))
            << QStringList{QStringLiteral(R"(Rotation x value "left" is not a number; read as 0)"),
                           QStringLiteral(R"(Rotation y value "inf" is not a number; read as 0)")};
        QTest::newRow("rotation angle")
            << OverlaySettings(Make().angle("ninety")) << OverlaySettings(Make().angle("0"))
            << QStringList{
                   QStringLiteral(R"(Rotation angle value "ninety" is not a number; read as 0)")};
        QTest::newRow("size x: read as 0 keeps the aspect")
            << OverlaySettings(Make().size("big", "100", "pixels", "pixels"))
            << OverlaySettings(Make().size("0", "100", "pixels", "pixels"))
            << QStringList{QStringLiteral(R"(Size x value "big" is not a number; read as 0)")};
        QTest::newRow("size y") << OverlaySettings(Make().size("0.5", "tall"))
                                << OverlaySettings(Make().size("0.5", "0"))
                                << QStringList{QStringLiteral(
                                       R"(Size y value "tall" is not a number; read as 0)")};
        QTest::newRow("unit word in the wrong case")
            << OverlaySettings(Make().overlay("1", "1", "Fraction"))
            << OverlaySettings(Make().overlay("1", "1"))
            << QStringList{
                   QStringLiteral(R"(Overlay x units "Fraction" is not a unit; read as fraction)")};
        QTest::newRow("units of an absent element are not read")
            << OverlaySettings(Make().overlay("", "", "bogus", "")) << OverlaySettings(Make())
            << QStringList();
        QTest::newRow("several, in the file's order")
            << OverlaySettings(
                   Make().size("s", "-1").angle("r").screen("0", "y").overlay("x", "0").color(
                       "white"))
            << OverlaySettings(Make().size("0", "-1").angle("0").screen("0", "0").overlay("0", "0"))
            << QStringList{
                   QStringLiteral(R"(Colour value "white" is not a colour; read as opaque)"),
                   QStringLiteral(R"(Overlay x value "x" is not a number; read as 0)"),
                   QStringLiteral(R"(Screen y value "y" is not a number; read as 0)"),
                   QStringLiteral(R"(Rotation angle value "r" is not a number; read as 0)"),
                   QStringLiteral(R"(Size x value "s" is not a number; read as 0)")};
    }
    void listsUnreadableValues()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(OverlaySettings, readAs);
        QFETCH(QStringList, problems);
        const Placement p = PlaceOverlay(settings, kScreen, kPicture);
        QCOMPARE(p.problems, problems);
        CompareCorners(p.corners, PlaceOverlay(readAs, kScreen, kPicture).corners, 1e-9);
    }

    void readsOpacity_data()
    {
        QTest::addColumn<QString>("color");
        QTest::addColumn<double>("opacity");
        QTest::addColumn<bool>("problem");
        QTest::newRow("opaque") << QStringLiteral("ffffffff") << 1.0 << false;
        QTest::newRow("half") << QStringLiteral("80ffffff") << 128 / 255.0 << false;
        QTest::newRow("transparent") << QStringLiteral("00ffffff") << 0.0 << false;
        QTest::newRow("colour digits do not count")
            << QStringLiteral("40000000") << 64 / 255.0 << false;
        QTest::newRow("upper case") << QStringLiteral("7FFFFFFF") << 127 / 255.0 << false;
        QTest::newRow("empty") << QString() << 1.0 << true;
        QTest::newRow("seven digits") << QStringLiteral("8ffffff") << 1.0 << true;
        QTest::newRow("ten digits") << QStringLiteral("80ffffffff") << 1.0 << true;
        QTest::newRow("not hex") << QStringLiteral("g0ffffff") << 1.0 << true;
    }
    void readsOpacity()
    {
        QFETCH(QString, color);
        QFETCH(double, opacity);
        QFETCH(bool, problem);
        OverlaySettings settings = Make();
        settings.OverlayColor = color;
        const Placement p = PlaceOverlay(settings, kScreen, kPicture);
        QCOMPARE(p.opacity, opacity);
        const QStringList expected{QStringLiteral("Colour value \"") + color +
                                   QStringLiteral("\" is not a colour; read as opaque")};
        QCOMPARE(p.problems, problem ? expected : QStringList());
    }

    void reportsAbsentPins_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<bool>("overlayAbsent");
        QTest::addColumn<bool>("screenAbsent");
        QTest::newRow("neither written") << OverlaySettings(Make()) << true << true;
        QTest::newRow("overlay only") << OverlaySettings(Make().overlay("1", "")) << false << true;
        QTest::newRow("screen only") << OverlaySettings(Make().screen("", "1")) << true << false;
        QTest::newRow("both") << OverlaySettings(Make().overlay("0", "0").screen("0", "0")) << false
                              << false;
    }
    void reportsAbsentPins()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(bool, overlayAbsent);
        QFETCH(bool, screenAbsent);
        const Placement p = PlaceOverlay(settings, kScreen, kPicture);
        QCOMPARE(p.overlayXYAbsent, overlayAbsent);
        QCOMPARE(p.screenXYAbsent, screenAbsent);
    }

    void aspectOfEmptyPicture_isZeroNotNaN()
    {
        const Placement p =
            PlaceOverlay(Make().size("0", "100", "pixels", "pixels"), kScreen, QSizeF(0, 0));
        QCOMPARE(p.size, QSizeF(0, 100));
    }
};

QTEST_GUILESS_MAIN(PlacementTest)
#include "tst_preview_placement.moc"
