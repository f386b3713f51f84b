// One preview update as typing or dragging the slider causes it: the
// placement (with the info line) plus one repaint of the window, on a
// 3840 x 2160 screen scaled to the window, with a 4000 x 4000 picture.
#include "BenchStats.h"
#include "OverlaySettings.h"
#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "Vocabulary.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

void Print(const char* what, Figures f)
{
    std::printf("%-44s median %6.3f ms   mean %6.3f ms\n", what, f.median, f.mean);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;

    // A picture with real content, so decoding and scaling do real work.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.png"));
    {
        QImage picture(4000, 4000, QImage::Format_ARGB32);
        QPainter painter(&picture);
        QLinearGradient gradient(0, 0, 4000, 4000);
        gradient.setColorAt(0, QColor(0x2a, 0x7a, 0xb9));
        gradient.setColorAt(1, QColor(0xf2, 0xb1, 0x34));
        painter.fillRect(picture.rect(), gradient);
        for (int i = 0; i < 4000; i += 40)
            painter.fillRect(i, 0, 8, 4000, QColor(255, 255, 255, 90));
        painter.end();
        if (!picture.save(path))
            return 1;
    }

    PreviewWindow window;
    window.resize(900, 640);
    window.show();
    auto* combo = window.findChild<QComboBox*>(QStringLiteral("comboPreviewScreen"));
    combo->setCurrentIndex(combo->findData(QSize(3840, 2160)));
    QImage frame(window.size(), QImage::Format_ARGB32_Premultiplied);

    OverlaySettings s;
    for (QString* units : {&s.comboOverlay_x_units, &s.comboOverlay_y_units, &s.comboScreen_x_units,
                           &s.comboScreen_y_units, &s.comboRotation_x_units,
                           &s.comboRotation_y_units, &s.comboSize_x_units, &s.comboSize_y_units})
        *units = Vocabulary::kFraction;
    s.txtOverlay_title = QStringLiteral("Legend");
    s.txtOverlay_x = s.txtOverlay_y = s.txtScreen_x = s.txtScreen_y = QStringLiteral("0.5");
    s.comboSize_x = Vocabulary::kMaintainNativeSize;
    s.comboSize_y = Vocabulary::kMaintainNativeSize;
    s.OverlayColor = Vocabulary::kOpaqueWhite;
    s.GraphicFilePath = path;

    const auto decodeStart = std::chrono::steady_clock::now();
    window.ShowSettings(s);
    const double decodeMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - decodeStart)
            .count();
    window.render(&frame);

    const auto update = [&](const OverlaySettings& settings) {
        window.ShowSettings(settings);
        window.render(&frame);
    };

    std::printf("window %dx%d, canvas %dx%d, screen 3840x2160, picture 4000x4000, %d rounds each\n",
                window.width(), window.height(), window.canvas()->width(),
                window.canvas()->height(), rounds);
    std::printf("%-44s %6.1f ms (once per picture)\n", "decode and prepare the picture", decodeMs);

    Print("slider: colour changes, native size", TimeRounds<std::milli>(rounds, [&](int i) {
              OverlaySettings t = s;
              t.OverlayColor = QStringLiteral("%1ffffff").arg(i % 256, 2, 16, QLatin1Char('0'));
              update(t);
          }));
    Print("typing the overlay x (picture moves)", TimeRounds<std::milli>(rounds, [&](int i) {
              OverlaySettings t = s;
              t.txtOverlay_x = QString::number(0.2 + (i % 60) / 100.0);
              update(t);
          }));
    Print("typing a rotation (turned picture)", TimeRounds<std::milli>(rounds, [&](int i) {
              OverlaySettings t = s;
              t.txtRotation = QString::number(i % 360);
              update(t);
          }));
    Print("typing a size (picture rescaled each time)", TimeRounds<std::milli>(rounds, [&](int i) {
              OverlaySettings t = s;
              t.comboSize_x = QString::number(0.1 + (i % 80) / 100.0);
              t.comboSize_y = Vocabulary::kMaintainAspect;
              update(t);
          }));
    Print("info line alone (placement, text, coverage)", TimeRounds<std::milli>(rounds, [&](int i) {
              OverlaySettings t = s;
              t.txtOverlay_x = QString::number(0.2 + (i % 60) / 100.0);
              window.ShowSettings(t);
          }));
    Print("repaint alone", TimeRounds<std::milli>(rounds, [&](int) { window.render(&frame); }));
    Print("placement rule alone", TimeRounds<std::milli>(rounds * 10, [&](int i) {
              OverlaySettings t = s;
              t.txtRotation = QString::number(i % 360);
              (void)PlaceOverlay(t, QSizeF(3840, 2160), QSizeF(4000, 4000));
          }));
    std::printf("pictures decoded: %d\n", window.canvas()->decodeCount());
    return 0;
}
