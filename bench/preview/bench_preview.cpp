// One preview update as typing or dragging the slider causes it: the
// placement (with the info line) plus one repaint of the window, on a
// 3840 x 2160 screen scaled to the window, with a 4000 x 4000 picture.
// Before that, a new picture's preparation, 4000 x 4000 PNG and 10000 x
// 10000 JPEG: from the choice until it is drawn, and the longest the window's
// thread was kept from its events meanwhile. Last, placing by hand: one
// mouse move of a drag (move, resize, turn), from the event until its edit
// is applied to the settings and the canvas repainted; the aim is under 8 ms.
#include "BenchStats.h"
#include "OverlaySettings.h"
#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "Vocabulary.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QImage>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void Print(const char* what, Figures f)
{
    std::printf("%-44s median %6.3f ms   mean %6.3f ms\n", what, f.median, f.mean);
}

// Real content, so decoding and scaling do real work.
bool SavePicture(const QString& path, int side)
{
    QImage picture(side, side, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, side, side);
    gradient.setColorAt(0, QColor(0x2a, 0x7a, 0xb9));
    gradient.setColorAt(1, QColor(0xf2, 0xb1, 0x34));
    painter.fillRect(picture.rect(), gradient);
    for (int i = 0; i < side; i += 40)
        painter.fillRect(i, 0, 8, side, QColor(255, 255, 255, 90));
    painter.end();
    return picture.save(path);
}

// The window thread's processor time, so that another program taking the
// processor is not counted as the window's own work.
double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Times every event the window's thread handles, outermost only.
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;
    double longestStep = 0;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (depth_++ > 0) {
            const bool handled = QApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        const double start = ThreadCpuMs();
        const bool handled = QApplication::notify(receiver, event);
        longestStep = std::max(longestStep, ThreadCpuMs() - start);
        --depth_;
        return handled;
    }

private:
    int depth_ = 0;
};

struct Preparation
{
    double total;   // from the choice until drawn
    double gap;     // the longest wait between two 1 ms ticks
    double longest; // the longest single step of the window's thread
};

// Chooses the picture of `settings` afresh and runs the window's events until
// the canvas has drawn it.
Preparation Prepare(TimedApplication& app, PreviewWindow& window, const OverlaySettings& settings)
{
    OverlaySettings none = settings;
    none.picture.clear();
    window.ShowSettings(none);
    QCoreApplication::processEvents();

    PreviewCanvas* canvas = window.canvas();
    QEventLoop loop;
    struct DrawnWatch : QObject
    {
        PreviewCanvas* canvas;
        QEventLoop* loop;
        DrawnWatch(PreviewCanvas* c, QEventLoop* l) : canvas(c), loop(l) {}
        bool eventFilter(QObject* /*watched*/, QEvent* event) override
        {
            if (event->type() == QEvent::Paint &&
                canvas->picture() != PreviewCanvas::Picture::Preparing)
                loop->quit();
            return false;
        }
    } watch(canvas, &loop);
    canvas->installEventFilter(&watch);

    double gap = 0;
    Clock::time_point last;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        gap = std::max(gap, Ms(now - last));
        last = now;
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    ticker.start();

    app.longestStep = 0;
    const Clock::time_point start = Clock::now();
    last = start;
    const double choiceStart = ThreadCpuMs();
    window.ShowSettings(settings);
    const double choice = ThreadCpuMs() - choiceStart;
    loop.exec();
    const Clock::time_point end = Clock::now();
    canvas->removeEventFilter(&watch);
    return {Ms(end - start), std::max(gap, Ms(end - last)), std::max(choice, app.longestStep)};
}

void PrintPreparation(const char* what, TimedApplication& app, PreviewWindow& window,
                      const OverlaySettings& settings, int runs)
{
    std::vector<double> total;
    std::vector<double> gap;
    std::vector<double> longest;
    for (int i = 0; i < runs; ++i) {
        const Preparation p = Prepare(app, window, settings);
        total.push_back(p.total);
        gap.push_back(p.gap);
        longest.push_back(p.longest);
    }
    std::printf("%s, %d runs, median (worst):\n", what, runs);
    std::printf("  %-42s %6.1f ms (%6.1f)\n", "from the choice until drawn",
                Summarise(total).median, *std::max_element(total.begin(), total.end()));
    std::printf("  %-42s %6.1f ms (%6.1f)\n", "window thread: longest gap between ticks",
                Summarise(gap).median, *std::max_element(gap.begin(), gap.end()));
    std::printf("  %-42s %6.1f ms (%6.1f)\n", "window thread: longest step, its own time",
                Summarise(longest).median, *std::max_element(longest.begin(), longest.end()));
}

} // namespace

int main(int argc, char** argv)
{
    TimedApplication app(argc, argv);
    const int rounds =
        argc > 1 ? std::max(1, static_cast<int>(std::strtol(argv[1], nullptr, 10))) : 300;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.png"));
    const QString huge = dir.filePath(QStringLiteral("huge.jpg"));
    if (!SavePicture(path, 4000) || !SavePicture(huge, 10000))
        return 1;

    PreviewWindow window;
    window.resize(900, 640);
    window.show();
    auto* combo = window.findChild<QComboBox*>(QStringLiteral("comboPreviewScreen"));
    combo->setCurrentIndex(combo->findData(QSize(3840, 2160)));
    QImage frame(window.size(), QImage::Format_ARGB32_Premultiplied);

    OverlaySettings s;
    for (QString* units : {&s.overlayXUnits, &s.overlayYUnits, &s.screenXUnits, &s.screenYUnits,
                           &s.rotationXUnits, &s.rotationYUnits, &s.sizeXUnits, &s.sizeYUnits})
        *units = Vocabulary::kFraction;
    s.title = QStringLiteral("Legend");
    s.overlayX = s.overlayY = s.screenX = s.screenY = QStringLiteral("0.5");
    s.sizeX = Vocabulary::kMaintainNativeSize;
    s.sizeY = Vocabulary::kMaintainNativeSize;
    s.colour = Vocabulary::kOpaqueWhite;
    s.picture = path;

    const int preparations = std::max(3, std::min(rounds / 30, 15));
    OverlaySettings hugeSettings = s;
    hugeSettings.picture = huge;
    std::printf("window %dx%d, canvas %dx%d, screen 3840x2160\n", window.width(), window.height(),
                window.canvas()->width(), window.canvas()->height());
    PrintPreparation("Preparing a 10000x10000 JPEG", app, window, hugeSettings, preparations);
    PrintPreparation("Preparing a 4000x4000 PNG", app, window, s, preparations);
    window.render(&frame);

    const auto update = [&](const OverlaySettings& settings) {
        window.ShowSettings(settings);
        window.render(&frame);
    };

    std::printf("picture 4000x4000, %d rounds each\n", rounds);

    Print("slider: colour changes, native size", TimeRounds<std::milli>(rounds, [&](int i) {
              OverlaySettings t = s;
              t.colour = QStringLiteral("%1ffffff").arg(i % 256, 2, 16, QLatin1Char('0'));
              update(t);
          }));
    Print("typing the overlay x (picture moves)", TimeRounds<std::milli>(rounds, [&](int i) {
              OverlaySettings t = s;
              t.overlayX = QString::number(0.2 + (i % 60) / 100.0);
              update(t);
          }));
    Print("typing a rotation (turned picture)", TimeRounds<std::milli>(rounds, [&](int i) {
              OverlaySettings t = s;
              t.rotation = QString::number(i % 360);
              update(t);
          }));
    Print("typing a size (picture rescaled each time)", TimeRounds<std::milli>(rounds, [&](int i) {
              OverlaySettings t = s;
              t.sizeX = QString::number(0.1 + (i % 80) / 100.0);
              t.sizeY = Vocabulary::kMaintainAspect;
              update(t);
          }));
    Print("info line alone (placement, text, coverage)", TimeRounds<std::milli>(rounds, [&](int i) {
              OverlaySettings t = s;
              t.overlayX = QString::number(0.2 + (i % 60) / 100.0);
              window.ShowSettings(t);
          }));
    Print("repaint alone", TimeRounds<std::milli>(rounds, [&](int) { window.render(&frame); }));
    Print("placement rule alone", TimeRounds<std::milli>(rounds * 10, [&](int i) {
              OverlaySettings t = s;
              t.rotation = QString::number(i % 360);
              (void)Overlay::PlaceOverlay(t, QSizeF(3840, 2160), QSizeF(4000, 4000));
          }));

    // Placing by hand: one mouse move of a drag, from the event until its
    // edit is applied as the main window applies it and the canvas repainted.
    PreviewCanvas* canvas = window.canvas();
    OverlaySettings held = s;
    held.sizeX = QStringLiteral("0.4");
    held.sizeY = Vocabulary::kMaintainAspect;
    held.rotation = QStringLiteral("20");
    QObject::connect(&window, &PreviewWindow::handEdited, [&](const HandEdit& edit) {
        OverlaySettings t = held;
        for (const auto& [field, text] : edit.fields)
            t.*field = text;
        window.ShowSettings(t);
        canvas->repaint();
    });
    const auto send = [&](QEvent::Type type, QPointF at, Qt::KeyboardModifiers keys) {
        const bool move = type == QEvent::MouseMove;
        QMouseEvent event(type, at, canvas->mapToGlobal(at), move ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, keys);
        QCoreApplication::sendEvent(canvas, &event);
    };
    const auto drag = [&](const char* what, int corner, QPointF step, Qt::KeyboardModifiers keys) {
        window.ShowSettings(held);
        canvas->repaint();
        const std::array<QPointF, 4> c = canvas->lastDrawnCorners();
        const QPointF middle = (c[0] + c[2]) / 2;
        send(QEvent::MouseButtonPress, middle, {});
        send(QEvent::MouseButtonRelease, middle, {});
        const QPointF from = corner < 0 ? middle : corner < 4 ? c[corner] : canvas->turnHandle();
        send(QEvent::MouseButtonPress, from, {});
        Print(what, TimeRounds<std::milli>(rounds, [&](int i) {
                  send(QEvent::MouseMove, from + step * (1 + i % 20), keys);
              }));
        send(QEvent::MouseButtonRelease, from, {});
    };
    std::printf("placing by hand, picture 0.4 of the screen wide, turned 20 degrees:\n");
    drag("drag: move (Alt, no snapping)", -1, {3, 2}, Qt::AltModifier);
    drag("drag: move (snapping looked for)", -1, {3, 2}, {});
    drag("drag: resize at a corner", 2, {2, 1}, {});
    drag("drag: turn", 4, {4, 0}, {});
    std::printf("pictures decoded: %d\n", window.canvas()->decodeCount());
    return 0;
}
