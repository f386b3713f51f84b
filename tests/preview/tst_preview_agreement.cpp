#include "Placement.h"
#include "PreviewCanvas.h"
#include "PreviewTestSupport.h"

#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

// The canvas draws through its own chain of transforms; here it has to land
// every corner exactly where the placement rule says, for a few hundred
// settings drawn at random (from a fixed start value, so a failure repeats).
class AgreementTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString wide_;
    QString tall_;

    QRandomGenerator random_{20240611};

    double Between(double low, double high)
    {
        return low + random_.generateDouble() * (high - low);
    }
    bool Chance(double p) { return random_.generateDouble() < p; }
    template <typename T> T Pick(std::initializer_list<T> items)
    {
        return *(items.begin() + random_.bounded(static_cast<int>(items.size())));
    }

    QString Value(bool fraction)
    {
        if (Chance(0.05))
            return QString();
        if (Chance(0.03))
            return QStringLiteral("abc");
        return QString::number(fraction ? Between(-0.5, 1.5) : Between(-200, 1500), 'g', 6);
    }
    QString Unit()
    {
        return Pick({Vocabulary::kFraction, Vocabulary::kPixels, Vocabulary::kInsetPixels});
    }
    void Point(QString& x, QString& y, QString& xUnits, QString& yUnits)
    {
        if (Chance(0.25)) {
            x = y = QString();
            return;
        }
        xUnits = Unit();
        yUnits = Unit();
        x = Value(xUnits == Vocabulary::kFraction);
        y = Value(yUnits == Vocabulary::kFraction);
    }
    QString SizeValue(const QString& units)
    {
        if (Chance(0.3))
            return Pick({Vocabulary::kMaintainNativeSize, Vocabulary::kMaintainAspect});
        if (Chance(0.05))
            return QString();
        return QString::number(
            units == Vocabulary::kFraction ? Between(0.02, 1.2) : Between(5, 900), 'g', 5);
    }

    OverlaySettings RandomSettings()
    {
        OverlaySettings s = Make();
        Point(s.txtOverlay_x, s.txtOverlay_y, s.comboOverlay_x_units, s.comboOverlay_y_units);
        Point(s.txtScreen_x, s.txtScreen_y, s.comboScreen_x_units, s.comboScreen_y_units);
        Point(s.txtRotation_x, s.txtRotation_y, s.comboRotation_x_units, s.comboRotation_y_units);
        s.txtRotation = Chance(0.3) ? QString() : QString::number(Between(-360, 360), 'g', 5);
        if (!Chance(0.3)) {
            s.comboSize_x_units = Pick({Vocabulary::kFraction, Vocabulary::kPixels});
            s.comboSize_y_units = Pick({Vocabulary::kFraction, Vocabulary::kPixels});
            s.comboSize_x = SizeValue(s.comboSize_x_units);
            s.comboSize_y = SizeValue(s.comboSize_y_units);
        }
        s.OverlayColor =
            Chance(0.5)
                ? Vocabulary::kOpaqueWhite
                : QStringLiteral("%1ffffff").arg(random_.bounded(256), 2, 16, QLatin1Char('0'));
        s.txtOverlay_title = Chance(0.5) ? QString() : QStringLiteral("Legend");
        s.GraphicFilePath =
            Pick({wide_, tall_, QString(), dir_.filePath(QStringLiteral("missing.png"))});
        return s;
    }

    static bool Close(QPointF a, QPointF b)
    {
        const double tolerance = 1e-6 * std::max({1.0, std::abs(b.x()), std::abs(b.y())});
        return Near(a, b, tolerance);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        wide_ = dir_.filePath(QStringLiteral("wide.png"));
        tall_ = dir_.filePath(QStringLiteral("tall.png"));
        QImage wide(60, 40, QImage::Format_RGB32);
        wide.fill(Qt::red);
        QVERIFY(wide.save(wide_));
        QImage tall(33, 77, QImage::Format_RGB32);
        tall.fill(Qt::blue);
        QVERIFY(tall.save(tall_));
    }

    void drawnCornersFollowTheRule()
    {
        PreviewCanvas canvas;
        int sampled = 0;
        for (int round = 0; round < 400; ++round) {
            const OverlaySettings settings = RandomSettings();
            const QSize screen =
                Chance(0.5) ? Pick({QSize(1280, 720), QSize(1366, 768), QSize(3840, 2160)})
                            : QSize(random_.bounded(320, 4000), random_.bounded(240, 3000));
            const QSize widget(random_.bounded(200, 900), random_.bounded(150, 700));
            canvas.resize(widget);
            canvas.setScreenSize(screen);
            canvas.setSettings(settings);
            QImage drawn(widget, QImage::Format_ARGB32_Premultiplied);
            canvas.render(&drawn);

            const QSizeF native = settings.GraphicFilePath == wide_ ? QSizeF(60, 40)
                                  : settings.GraphicFilePath == tall_
                                      ? QSizeF(33, 77)
                                      : QSizeF(PreviewCanvas::kStandInSize);
            const Placement rule = PlaceOverlay(settings, QSizeF(screen), native);

            // The screen fills the widget, less its margin, with its own proportions.
            const QRectF shown = canvas.lastDrawnScreenRect();
            const QString where = QStringLiteral("round %1").arg(round);
            QVERIFY2(QRectF(canvas.rect()).contains(shown), qPrintable(where));
            QVERIFY2(std::abs(shown.width() / shown.height() -
                              double(screen.width()) / screen.height()) < 1e-9,
                     qPrintable(where));
            QVERIFY2(std::abs(shown.center().x() - widget.width() / 2.0) < 1e-9 &&
                         std::abs(shown.center().y() - widget.height() / 2.0) < 1e-9,
                     qPrintable(where));

            const double scale = shown.width() / screen.width();
            const auto widgetCorners = canvas.lastDrawnCorners();
            const auto screenCorners = canvas.lastDrawnScreenCorners();
            for (int i = 0; i < 4; ++i) {
                const QPointF expected = shown.topLeft() + rule.corners[i] * scale;
                QVERIFY2(Close(widgetCorners[i], expected),
                         qPrintable(where + QStringLiteral(": widget ") +
                                    PointsText(widgetCorners) + QStringLiteral("rule ") +
                                    PointsText(rule.corners)));
                QVERIFY2(
                    Close(screenCorners[i], rule.corners[i]),
                    qPrintable(where + QStringLiteral(": screen ") + PointsText(screenCorners)));
            }

            // Where an opaque picture shows plainly, its colour is really there.
            const QPointF middle = (widgetCorners[0] + widgetCorners[2]) / 2;
            const QColor colour = settings.GraphicFilePath == wide_   ? QColor(Qt::red)
                                  : settings.GraphicFilePath == tall_ ? QColor(Qt::blue)
                                                                      : QColor();
            const QRectF inside = shown.adjusted(2, 2, -2, -2);
            if (colour.isValid() && rule.opacity == 1 && settings.txtOverlay_title.isEmpty() &&
                std::abs(rule.size.width() * scale) > 8 &&
                std::abs(rule.size.height() * scale) > 8 && inside.contains(middle)) {
                QCOMPARE(drawn.pixelColor(middle.toPoint()), colour);
                ++sampled;
            }
        }
        QVERIFY2(sampled >= 10,
                 qPrintable(QStringLiteral("only %1 pictures sampled").arg(sampled)));
    }
};

QTEST_MAIN(AgreementTest)
#include "tst_preview_agreement.moc"
