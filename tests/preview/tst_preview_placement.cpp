#include "Placement.h"
#include "PreviewTestSupport.h"

#include <QTest>

// Hand-computed placements of a 100 x 50 picture on a 1000 x 500 screen.
// Neither is square, so a swapped x and y, or a share of the wrong thing,
// lands somewhere else. Corners are screen pixels from the top-left, y down.
class PlacementTest : public QObject
{
    Q_OBJECT

    static Corners Box(double x, double y, double w = 100, double h = 50)
    {
        return {QPointF(x, y), QPointF(x + w, y), QPointF(x + w, y + h), QPointF(x, y + h)};
    }
    static void Row(const char* name, const OverlaySettings& s, const Corners& expected,
                    const QStringList& problems = {}, double opacity = 1)
    {
        QTest::newRow(name) << s << expected << problems << opacity;
    }

private Q_SLOTS:
    void places_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<Corners>("expected");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<double>("opacity");
        const Make::Text px = "pixels";
        const Make::Text inset = "insetPixels";
        const Make::Text kF = Make::kF;

        // overlayXY and screenXY: the screen point less the picture point.
        Row("nothing written: lower-left, native size", Make(), Box(0, 450));
        Row("fractions, empty reads 0", Make().overlay("", "0.6").screen("0.25", "0.75"),
            Box(250, 105));
        Row("pixels, insetPixels",
            Make().overlay("10", "30", px, inset).screen("30", "40", inset, px), Box(960, 430));

        // Size: -1 native, 0 keeps the aspect, else a share of the screen or pixels.
        Row("size insetPixels, -1e0", Make().size("100", "-1e0", inset, px), Box(0, 450, 900, 50));
        Row("size aspect from x", Make().size("0.3", "0"), Box(0, 350, 300, 150));
        Row("size aspect from y", Make().size("Maintain aspect", "0.2"), Box(0, 400, 200, 100));
        Row("size both 0: native", Make().size("0", "0"), Box(0, 450));
        Row("size 0 -1", Make().size("Maintain aspect", "Maintain native size"), Box(0, 450));

        // Counter-clockwise on the screen, about rotationXY in the picture as
        // drawn (its centre when absent).
        Row("90 about the centre", Make().size("200", "100", px).angle("90"),
            {QPointF(50, 550), QPointF(50, 350), QPointF(150, 350), QPointF(150, 550)});
        Row("180 about pixels, insetPixels", Make().angle("180").turnAt("10", "40", px, inset),
            {QPointF(20, 530), QPointF(-80, 530), QPointF(-80, 480), QPointF(20, 480)});
        Row("-90 about the top-right corner",
            Make().size("200", "100", px).turnAt("1", "1").angle("-90"),
            {QPointF(200, 200), QPointF(200, 400), QPointF(100, 400), QPointF(100, 200)});

        // Each unreadable value reads as 0 (units as fraction), named in the
        // file's order.
        Row("unreadable values",
            Make().color("8ffffff").screen("0", " ").angle("r").size("s", "-1", "Fraction", kF),
            Box(0, 450),
            {QStringLiteral("Colour value \"8ffffff\" is not a colour; read as opaque"),
             QStringLiteral("Screen y value \" \" is not a number; read as 0"),
             QStringLiteral("Rotation angle value \"r\" is not a number; read as 0"),
             QStringLiteral("Size x value \"s\" is not a number; read as 0"),
             QStringLiteral("Size x units \"Fraction\" is not a unit; read as fraction")});

        // Opacity from the alpha digits; a colour that is not 8 hex digits reads as opaque.
        Row("alpha 7F", Make().color("7FFFFFFF"), Box(0, 450), {}, 127 / 255.0);
        Row("not hex", Make().color("g0ffffff"), Box(0, 450),
            {QStringLiteral("Colour value \"g0ffffff\" is not a colour; read as opaque")});
    }
    void places()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(Corners, expected);
        QFETCH(QStringList, problems);
        const Placement p = Overlay::PlaceOverlay(settings, {1000, 500}, {100, 50});
        QVERIFY(Near(p.corners, expected));
        QCOMPARE(p.problems, problems);
        QTEST(p.opacity, "opacity");
    }
};

QTEST_GUILESS_MAIN(PlacementTest)
#include "tst_preview_placement.moc"
