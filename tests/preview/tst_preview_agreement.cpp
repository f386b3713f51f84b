#include "Placement.h"
#include "PreviewCanvas.h"
#include "PreviewTestSupport.h"

#include <QColor>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

// The canvas draws through its own chain of transforms; every corner it draws
// must land where the placement rule says, for a few hundred random settings
// (from a fixed start value, so a failure repeats).
class AgreementTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    // Path, native size, and the colour it is filled with (none: no file).
    QList<std::tuple<QString, QSize, QColor>> pictures_;
    QRandomGenerator random_{20240611};

    bool Chance(double p) { return random_.generateDouble() < p; }
    QString Number(double low, double high)
    {
        return QString::number(low + random_.generateDouble() * (high - low), 'g', 6);
    }
    template <typename T> const T& Pick(const QList<T>& items)
    {
        return items.at(random_.bounded(static_cast<int>(items.size())));
    }
    // Absent a quarter of the time; values sometimes empty or unreadable.
    void Point(QString& x, QString& y, QString& xUnits, QString& yUnits, bool size = false)
    {
        if (Chance(0.25))
            return;
        for (auto [value, units] : {std::pair(&x, &xUnits), std::pair(&y, &yUnits)}) {
            *units = Pick(size ? Vocabulary::kSizeUnits : Vocabulary::kPointUnits);
            const bool fraction = *units == Vocabulary::kFraction;
            *value = size && Chance(0.3) ? Pick(Vocabulary::kSizeWords)
                     : Chance(0.05)      ? QString()
                     : Chance(0.03)      ? QStringLiteral("abc")
                                         : Number(fraction ? -0.5 : -200, fraction ? 1.5 : 1500);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        const QSize standIn = PreviewCanvas::kStandInSize;
        pictures_ = {{dir_.filePath(QStringLiteral("wide.png")), {60, 40}, Qt::red},
                     {dir_.filePath(QStringLiteral("tall.png")), {33, 77}, Qt::blue},
                     {QString(), standIn, {}},
                     {dir_.filePath(QStringLiteral("missing.png")), standIn, {}}};
        for (const auto& [path, size, colour] : pictures_) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(colour);
            QVERIFY(!colour.isValid() || image.save(path));
        }
    }

    void drawnCornersFollowTheRule()
    {
        PreviewCanvas canvas;
        int sampled = 0;
        for (int round = 0; round < 400; ++round) {
            const auto& [path, native, colour] = Pick(pictures_);
            OverlaySettings s = Make().picture(path);
            Point(s.txtOverlay_x, s.txtOverlay_y, s.comboOverlay_x_units, s.comboOverlay_y_units);
            Point(s.txtScreen_x, s.txtScreen_y, s.comboScreen_x_units, s.comboScreen_y_units);
            Point(s.txtRotation_x, s.txtRotation_y, s.comboRotation_x_units,
                  s.comboRotation_y_units);
            Point(s.comboSize_x, s.comboSize_y, s.comboSize_x_units, s.comboSize_y_units, true);
            s.txtRotation = Chance(0.3) ? QString() : Number(-360, 360);
            const QSize screen(random_.bounded(320, 4000), random_.bounded(240, 3000));
            canvas.resize(random_.bounded(200, 900), random_.bounded(150, 700));
            canvas.setScreenSize(screen);
            canvas.setSettings(s);
            QImage drawn(canvas.size(), QImage::Format_ARGB32_Premultiplied);
            canvas.render(&drawn);

            // The corners are the rule's, scaled onto the screen as shown.
            const Placement rule = PlaceOverlay(s, QSizeF(screen), QSizeF(native));
            const QRectF shown = canvas.lastDrawnScreenRect();
            const double scale = shown.width() / screen.width();
            Corners expected;
            for (int i = 0; i < 4; ++i)
                expected[i] = shown.topLeft() + rule.corners[i] * scale;
            const QString wrong = CornersDiffer(canvas.lastDrawnCorners(), expected);
            QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("round %1: ").arg(round) + wrong));

            // Where a picture shows plainly, its colour is really there.
            const QPointF middle = (expected[0] + expected[2]) / 2;
            if (colour.isValid() && std::abs(rule.size.width() * scale) > 8 &&
                std::abs(rule.size.height() * scale) > 8 &&
                shown.adjusted(2, 2, -2, -2).contains(middle)) {
                QCOMPARE(drawn.pixelColor(middle.toPoint()), colour);
                ++sampled;
            }
        }
        QCOMPARE_GE(sampled, 10);
    }
};

QTEST_MAIN(AgreementTest)
#include "tst_preview_agreement.moc"
