#include "Placement.h"
#include "PreviewCanvas.h"
#include "PreviewTestSupport.h"

#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

// The canvas draws through its own chain of transforms; every corner it draws
// must land where the placement rule says, for a few hundred random settings
// (from a fixed start value, so a failure repeats).
class AgreementTest : public QObject
{
    Q_OBJECT

    QRandomGenerator random_{20240611};

    bool Chance(double p) { return random_.generateDouble() < p; }
    template <typename T> const T& Pick(const QList<T>& items)
    {
        return items.at(random_.bounded(static_cast<int>(items.size())));
    }
    // Absent a quarter of the time. Empty or unreadable values need no rounds
    // here: the canvas draws whatever the rule makes of them.
    void Point(OverlaySettings& s, const OverlayPoint& point)
    {
        if (Chance(0.25))
            return;
        for (auto [value, units] :
             {std::pair(point.x, point.xUnits), std::pair(point.y, point.yUnits)}) {
            s.*units = Pick(point.sizeWords ? Vocabulary::kSizeUnits : Vocabulary::kPointUnits);
            const double high = s.*units == Vocabulary::kFraction ? 1.5 : 1500;
            s.*value = QString::number((random_.generateDouble() * 1.2 - 0.2) * high);
        }
    }

private Q_SLOTS:
    void drawnCornersFollowTheRule()
    {
        QTemporaryDir dir;
        const QString wide = dir.filePath(QStringLiteral("wide.png"));
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(wide));
        // The red picture, or none (the stand-in); a canvas each, so the
        // picture is decoded once.
        PreviewCanvas canvases[2];
        int sampled = 0;
        for (int round = 0; round < 400; ++round) {
            const bool red = Chance(0.5);
            PreviewCanvas& canvas = canvases[int(red)];
            const QSize native = red ? QSize(60, 40) : PreviewCanvas::kStandInSize;
            OverlaySettings s = Make().picture(red ? wide : QString());
            for (const OverlayPoint& point : kOverlayPoints)
                Point(s, point);
            s.rotation =
                Chance(0.3) ? QString() : QString::number(random_.generateDouble() * 720 - 360);
            const QSize screen(random_.bounded(320, 4000), random_.bounded(240, 3000));
            canvas.resize(random_.bounded(200, 900), random_.bounded(150, 700));
            canvas.setScreenSize(screen);
            canvas.setSettings(s);
            QImage drawn(canvas.size(), QImage::Format_ARGB32_Premultiplied);
            canvas.render(&drawn);
            if (canvas.picture() == PreviewCanvas::Picture::Preparing) {
                QTRY_COMPARE(canvas.picture(), PreviewCanvas::Picture::Loaded);
                canvas.render(&drawn);
            }

            // The corners are the rule's, scaled onto the screen as shown.
            const Placement rule = Overlay::PlaceOverlay(s, QSizeF(screen), QSizeF(native));
            const QRectF shown = canvas.lastDrawnScreenRect();
            const double scale = shown.width() / screen.width();
            Corners expected;
            for (int i = 0; i < 4; ++i)
                expected[i] = shown.topLeft() + rule.corners[i] * scale;
            QVERIFY2(Near(canvas.lastDrawnCorners(), expected), qPrintable(QString::number(round)));

            // Where the picture shows plainly, its colour is really there.
            const QPointF middle = (expected[0] + expected[2]) / 2;
            if (red &&
                std::min(std::abs(rule.size.width()), std::abs(rule.size.height())) * scale > 8 &&
                shown.adjusted(2, 2, -2, -2).contains(middle)) {
                QCOMPARE(drawn.pixelColor(middle.toPoint()), QColor(Qt::red));
                ++sampled;
            }
        }
        QCOMPARE_GE(sampled, 10);
    }
};

QTEST_MAIN(AgreementTest)
#include "tst_preview_agreement.moc"
