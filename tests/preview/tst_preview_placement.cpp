#include "Placement.h"
#include "PreviewTestSupport.h"

#include <QTest>

// Hand-computed placements of a 100 x 50 picture on a 1000 x 500 screen.
// Neither is square, so a swapped x and y, or a share of the wrong thing,
// lands somewhere else. Corners are screen pixels from the top-left, y down.
class PlacementTest : public QObject
{
    Q_OBJECT

    static Placement Place(const OverlaySettings& s, QSizeF picture = {100, 50})
    {
        return PlaceOverlay(s, QSizeF(1000, 500), picture);
    }
    static Corners Box(double x, double y, double w = 100, double h = 50)
    {
        return {QPointF(x, y), QPointF(x + w, y), QPointF(x + w, y + h), QPointF(x, y + h)};
    }
    static void Row(const char* name, const OverlaySettings& s, const Corners& expected,
                    const QStringList& problems = {})
    {
        QTest::newRow(name) << s << expected << problems;
    }

private Q_SLOTS:
    void places_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<Corners>("expected");
        QTest::addColumn<QStringList>("problems");
        const char* px = "pixels";
        const char* inset = "insetPixels";

        // overlayXY and screenXY: the screen point less the picture point.
        Row("nothing written: lower-left, native size", Make(), Box(0, 450));
        Row("fractions", Make().overlay("0.2", "0.6").screen("0.25", "0.75"), Box(230, 105));
        Row("overlay pixels, insetPixels; screen insetPixels, pixels",
            Make().overlay("10", "30", px, inset).screen("30", "40", inset, px), Box(960, 430));
        Row("overlay insetPixels, pixels; screen pixels, insetPixels",
            Make().overlay("10", "20", inset, px).screen("30", "40", px, inset), Box(-60, 10));
        Row("empty value reads 0", Make().overlay("", "1").screen("0.5", "0.5"), Box(500, 250));

        // Size: -1 native, 0 keeps the aspect, else a share of the screen or pixels.
        Row("size fraction", Make().size("0.5", "0.2"), Box(0, 400, 500, 100));
        Row("size pixels", Make().size("200", "80", px), Box(0, 420, 200, 80));
        Row("size insetPixels with -1 as -1e0", Make().size("100", "-1e0", inset, px),
            Box(0, 450, 900, 50));
        Row("size aspect from x", Make().size("0.3", "0"), Box(0, 350, 300, 150));
        Row("size aspect from y", Make().size("Maintain aspect", "100", "fraction", px),
            Box(0, 400, 200, 100));
        Row("size both 0: native", Make().size("0", "0"), Box(0, 450));
        Row("size 0 with -1: native", Make().size("Maintain aspect", "Maintain native size"),
            Box(0, 450));

        // Counter-clockwise on the screen, about rotationXY in the picture as
        // drawn (its centre when absent).
        Row("90 about the centre", Make().angle("90"),
            {QPointF(25, 525), QPointF(25, 425), QPointF(75, 425), QPointF(75, 525)});
        Row("180 about a point in pixels and insetPixels",
            Make().angle("180").turnAt("10", "40", px, inset),
            {QPointF(20, 530), QPointF(-80, 530), QPointF(-80, 480), QPointF(20, 480)});
        Row("-90 about a sized picture's top-right corner",
            Make().size("200", "100", px).turnAt("1", "1").angle("-90"),
            {QPointF(200, 200), QPointF(200, 400), QPointF(100, 400), QPointF(100, 200)});
        Row("90 about the centre of a sized picture pinned at its centre",
            Make().size("200", "100", px).overlay("0.5", "0.5").screen("0.5", "0.5").angle("90"),
            {QPointF(450, 350), QPointF(450, 150), QPointF(550, 150), QPointF(550, 350)});

        // Each unreadable value reads as 0 (units as fraction), named in the
        // file's order.
        Row("unreadable values",
            Make()
                .color("white")
                .overlay("x", "0", "Fraction", "fraction")
                .screen("0", " ")
                .turnAt("left", "0")
                .angle("r")
                .size("s", "-1"),
            Box(0, 450),
            {QStringLiteral("Colour value \"white\" is not a colour; read as opaque"),
             QStringLiteral("Overlay x value \"x\" is not a number; read as 0"),
             QStringLiteral("Overlay x units \"Fraction\" is not a unit; read as fraction"),
             QStringLiteral("Screen y value \" \" is not a number; read as 0"),
             QStringLiteral("Rotation x value \"left\" is not a number; read as 0"),
             QStringLiteral("Rotation angle value \"r\" is not a number; read as 0"),
             QStringLiteral("Size x value \"s\" is not a number; read as 0")});
    }
    void places()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(Corners, expected);
        QFETCH(QStringList, problems);
        const Placement p = Place(settings);
        const QString wrong = CornersDiffer(p.corners, expected);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        QCOMPARE(p.problems, problems);
    }

    void readsOpacityFromTheColour()
    {
        using Case = std::tuple<const char*, double, qsizetype>; // colour, opacity, problems
        const Case cases[] = {{"80ffffff", 128 / 255.0, 0}, {"7FFFFFFF", 127 / 255.0, 0},
                              {"00ffffff", 0.0, 0},         {"", 1.0, 1},
                              {"8ffffff", 1.0, 1},          {"g0ffffff", 1.0, 1}};
        for (const auto& [color, opacity, problems] : cases) {
            const Placement p = Place(Make().color(color));
            QCOMPARE(p.opacity, opacity);
            QCOMPARE(p.problems.size(), problems);
        }
    }

    void flagsAbsentPins()
    {
        // One value written is enough for the element to count as written.
        const Placement overlayOnly = Place(Make().overlay("1", ""));
        QVERIFY(!overlayOnly.overlayXYAbsent && overlayOnly.screenXYAbsent);
        const Placement screenOnly = Place(Make().screen("", "1"));
        QVERIFY(screenOnly.overlayXYAbsent && !screenOnly.screenXYAbsent);
    }
};

QTEST_GUILESS_MAIN(PlacementTest)
#include "tst_preview_placement.moc"
