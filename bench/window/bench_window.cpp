// Three figures for the main window:
//  1. One keystroke in txtOverlay_x with Auto-Refresh ticked, from the key
//     event until the window is back in its event loop (line edit, Change
//     handler, snapshot, file bytes, hand-over to the writer thread, which
//     writes meanwhile); beside the same keystroke with Auto-Refresh unticked.
//  2. The same on a slow disk (every write held back 50 ms): keystrokes and
//     transparency slider steps, and how long after the last change the file
//     holds the final state.
//  3. One mouse move of a drag in the preview with Auto-Refresh ticked, on a
//     3840 x 2160 screen with a 4000 x 4000 picture: from the move event
//     until the screen fields are set, the file's bytes are handed to the
//     writer and the preview is repainted.
//  4. A keystroke with Auto-Refresh ticked in a 10 MB document edited in
//     place (the file's bytes are made on the writer's thread), how long
//     after the last change the file holds it, and one write of the document
//     beside a plain copy of the file and a write of the same bytes.
//  5. Start-up: a new process until its window is shown, for frmOrvinel, for
//     a bare QWidget, and for a window holding one line of text (which pays
//     for loading the fonts, as any window with text does), taking turns in
//     the same run.
//
// Usage: bench_window [keystrokes] [starts]. Runs offscreen unless
// QT_QPA_PLATFORM says otherwise.

#include "BenchFiles.h"
#include "BenchServices.h"
#include "BenchStats.h"
#include "KmlSplice.h"
#include "KmlWriter.h"
#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "frmOrvinel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// Presses `there` and `back` by turns (a digit and Backspace, say), timing
// each key on its own.
std::vector<double> TimeKeystrokes(QWidget* control, int keystrokes, Qt::Key there = Qt::Key_7,
                                   Qt::Key back = Qt::Key_Backspace)
{
    std::vector<double> microseconds;
    microseconds.reserve(std::size_t(keystrokes));
    for (int i = 0; i < keystrokes; ++i) {
        const Qt::Key key = i % 2 == 0 ? there : back;
        const auto start = std::chrono::steady_clock::now();
        QTest::keyClick(control, key);
        const auto end = std::chrono::steady_clock::now();
        microseconds.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    return microseconds;
}

// A shown window whose overlay file goes to a fresh folder, Auto-Refresh
// ready to tick and the focus in txtOverlay_x.
struct BenchWindow
{
    QTemporaryDir folder;
    frmOrvinel window;
    QLineEdit* field = window.findChild<QLineEdit*>(QStringLiteral("txtOverlay_x"));

    // A picture, a Save As and the network link, through the window's own
    // commands.
    explicit BenchWindow(BenchServices& services) : window(services)
    {
        window.Form_Load();
        window.show();
        services.answers = {folder.filePath(QStringLiteral("Legend.png")), Output()};
        for (const char* command : {"cmdOpen_graphic_file", "cmdSave_As", "cmdCreate_Network_Link"})
            window.findChild<QPushButton*>(QString::fromLatin1(command))->click();
        field->setText(QStringLiteral("0.5"));
        field->setFocus();
    }
    QString Output() const { return folder.filePath(QStringLiteral("overlay.kml")); }
    bool Exposed() { return QTest::qWaitForWindowExposed(&window); }
    void Tick() { window.findChild<QCheckBox*>(QStringLiteral("chkAuto_Refresh"))->click(); }
};

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int KeystrokeBench(int keystrokes)
{
    BenchServices services;
    BenchWindow bench(services);
    if (!bench.Exposed())
        return 1;
    frmOrvinel& window = bench.window;
    QLineEdit* field = bench.field;

    const Figures unticked = Summarise(TimeKeystrokes(field, keystrokes));
    bench.Tick();
    window.WaitForWrites();
    const int writesBefore = services.writes;
    const Figures ticked = Summarise(TimeKeystrokes(field, keystrokes));
    window.WaitForWrites();
    const int writes = services.writes - writesBefore;
    const bool final =
        FileBytes(bench.Output()) == Overlay::OverlayFileBytes(window.Snapshot()).bytes;

    std::printf("Keystroke in txtOverlay_x back in the event loop (%d keystrokes, %d writes "
                "made; the rest replaced while waiting)\n",
                keystrokes, writes);
    std::printf("  Auto-Refresh ticked:   median %8.1f us   mean %8.1f us\n", ticked.median,
                ticked.mean);
    std::printf("  Auto-Refresh unticked: median %8.1f us   mean %8.1f us   (no write)\n",
                unticked.median, unticked.mean);
    return writes > 0 && final ? 0 : 1;
}

int DragBench(int moves)
{
    BenchServices services;
    BenchWindow bench(services);
    const QString picture = bench.folder.filePath(QStringLiteral("Big.png"));
    QImage image(4000, 4000, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 200));
    if (!bench.Exposed() || !image.save(picture))
        return 1;
    frmOrvinel& window = bench.window;
    services.answers = {picture};
    window.findChild<QPushButton*>(QStringLiteral("cmdOpen_graphic_file"))->click();
    window.findChild<QPushButton*>(QStringLiteral("cmdPreview"))->click();
    auto* preview = window.findChild<PreviewWindow*>();
    auto* combo = preview->findChild<QComboBox*>(QStringLiteral("comboPreviewScreen"));
    combo->setCurrentIndex(combo->findData(QSize(3840, 2160)));
    PreviewCanvas* canvas = preview->canvas();
    if (!QTest::qWaitFor([&] { return canvas->picture() == PreviewCanvas::Picture::Loaded; },
                         20000))
        return 1;
    bench.Tick();

    const auto corners = canvas->lastDrawnCorners();
    const QPoint from = ((corners[0] + corners[2]) / 2).toPoint();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, from); // selects
    QTest::mousePress(canvas, Qt::LeftButton, {}, from);
    std::vector<double> micros;
    QPoint at = from;
    for (int i = 0; i < moves; ++i) {
        // Back and forth, so the picture stays on the screen; Alt: no snapping.
        at += (i / 40) % 2 == 0 ? QPoint(2, 1) : QPoint(-2, -1);
        QElapsedTimer timer;
        timer.start();
        QTest::mouseEvent(QTest::MouseMove, canvas, Qt::NoButton, Qt::AltModifier, at);
        canvas->repaint();
        micros.push_back(double(timer.nsecsElapsed()) / 1000);
    }
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::AltModifier, at);
    window.WaitForWrites();
    const bool final =
        FileBytes(bench.Output()) == Overlay::OverlayFileBytes(window.Snapshot()).bytes;
    const Figures figures = Summarise(micros);
    std::printf("Drag in the preview, Auto-Refresh ticked, 3840x2160, 4000x4000 picture "
                "(%d moves, %d writes made)\n",
                moves, services.writes.load());
    std::printf("  one mouse move: median %8.1f us   mean %8.1f us   (file holds the final "
                "place: %s)\n",
                figures.median, figures.mean, final ? "yes" : "no");
    return final ? 0 : 1;
}

int SlowDiskBench(int changes)
{
    BenchServices services;
    services.writeDelay = std::chrono::milliseconds(50);
    BenchWindow bench(services);
    if (!bench.Exposed())
        return 1;
    frmOrvinel& window = bench.window;
    QLineEdit* field = bench.field;
    const QString output = bench.Output();
    auto* slider = window.findChild<QSlider*>(QStringLiteral("sliderTransparency"));
    bench.Tick();

    std::vector<double> keyTimes = TimeKeystrokes(field, changes);
    const double slowestKey = *std::max_element(keyTimes.begin(), keyTimes.end());
    const Figures keys = Summarise(std::move(keyTimes));
    slider->setFocus();
    std::vector<double> steps = TimeKeystrokes(slider, changes, Qt::Key_Left, Qt::Key_Right);
    const double slowestStep = *std::max_element(steps.begin(), steps.end());
    const Figures sliderSteps = Summarise(std::move(steps));

    // The last change, then how long until the file holds it.
    QTest::keyClick(field, Qt::Key_9);
    const int writesBefore = services.writes;
    const auto last = std::chrono::steady_clock::now();
    const QByteArray final = Overlay::OverlayFileBytes(window.Snapshot()).bytes;
    while (FileBytes(output) != final)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    const double settledMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - last).count();
    const int writesAfter = services.writes - writesBefore;
    window.WaitForWrites();

    std::printf("Slow disk, 50 ms a write, Auto-Refresh ticked (%d changes each, %d writes made)\n",
                changes, int(services.writes));
    std::printf("  keystroke back in the event loop:   median %8.1f us   mean %8.1f us   "
                "slowest %8.1f us\n",
                keys.median, keys.mean, slowestKey);
    std::printf("  slider step back in the event loop: median %8.1f us   mean %8.1f us   "
                "slowest %8.1f us\n",
                sliderSteps.median, sliderSteps.mean, slowestStep);
    std::printf("  file holds the last change after %.1f ms (%d writes finished meanwhile)\n",
                settledMs, writesAfter);
    return writesAfter <= 2 ? 0 : 1;
}

// Times `rounds` runs of `run`, in milliseconds.
template <class Run> Figures TimeMs(int rounds, Run run)
{
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return Summarise(std::move(ms));
}

int InPlaceBench(int keystrokes)
{
    BenchServices services;
    BenchWindow bench(services);
    const QString project = bench.folder.filePath(QStringLiteral("project.kml"));
    // About 460 bytes a placemark: 10 MB.
    if (!bench.Exposed() || !WriteBigKml(project, 22000))
        return 1;
    frmOrvinel& window = bench.window;
    window.OpenOverlayFile(project);
    bench.field->setFocus();
    bench.Tick();
    window.WaitForWrites();
    const Figures ticked = Summarise(TimeKeystrokes(bench.field, keystrokes));

    // The last change, then how long until the file holds it.
    window.WaitForWrites();
    QTest::keyClicks(bench.field, QStringLiteral("12"));
    QTest::keyClick(bench.field, Qt::Key_3);
    const int writesBefore = services.writes;
    QElapsedTimer settle;
    settle.start();
    window.WaitForWrites();
    const double settledMs = double(settle.nsecsElapsed()) / 1e6;
    const int writesAfter = services.writes - writesBefore;
    const QByteArray bytes = FileBytes(project);
    Overlay::KmlInPlaceRead read = Overlay::ReadKmlInPlace(bytes);
    OverlaySettings expected = window.Snapshot();
    expected.outputFile.clear();
    const bool final = read.inPlace && read.overlay.settings == expected;

    // One write of the document beside a plain copy of the file.
    constexpr int kRounds = 20;
    const QString written = bench.folder.filePath(QStringLiteral("written.kml"));
    const QString copied = bench.folder.filePath(QStringLiteral("copied.kml"));
    expected.screenX = QStringLiteral("42");
    const Figures splice = TimeMs(kRounds, [&] {
        (void)Overlay::WriteFileAtomically(written, Overlay::InPlaceBytes(*read.inPlace, expected));
    });
    const Figures same =
        TimeMs(kRounds, [&] { (void)Overlay::WriteFileAtomically(written, bytes); });
    const Figures copy = TimeMs(kRounds, [&] {
        QFile::remove(copied);
        (void)QFile::copy(project, copied);
    });

    std::printf("In place in a %lld-byte document, Auto-Refresh ticked (%d keystrokes)\n",
                static_cast<long long>(bytes.size()), keystrokes);
    std::printf("  keystroke back in the event loop: median %8.1f us   mean %8.1f us\n",
                ticked.median, ticked.mean);
    std::printf("  file holds the last change %.1f ms after it (%d writes meanwhile): %s\n",
                settledMs, writesAfter, final ? "yes" : "no");
    std::printf("  one write, spliced and replaced whole: median %7.1f ms   mean %7.1f ms\n",
                splice.median, splice.mean);
    std::printf("  the same bytes written as they are:    median %7.1f ms   mean %7.1f ms\n",
                same.median, same.mean);
    std::printf("  a plain copy of the file (QFile::copy): median %6.1f ms   mean %7.1f ms\n",
                copy.median, copy.mean);
    return final && writesAfter <= 2 ? 0 : 1;
}

// The child process: show one window, say so, and quit.
int ShowOnce(const char* which, int argc, char** argv)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvinel"));
    QtServices services;
    std::unique_ptr<QWidget> window;
    if (std::strcmp(which, "window") == 0) {
        auto form = std::make_unique<frmOrvinel>(services);
        form->Form_Load();
        window = std::move(form);
    } else if (std::strcmp(which, "label") == 0) {
        window = std::make_unique<QLabel>(QStringLiteral("KML Orvinel"));
        window->resize(413, 741);
    } else {
        window = std::make_unique<QWidget>();
        window->resize(413, 741);
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return 1;
    std::printf("shown %lld\n", static_cast<long long>(sinceMain.nsecsElapsed() / 1000));
    std::fflush(stdout);
    return 0;
}

struct StartSample
{
    double processMs;   // from starting the process to its "shown" line
    double inProcessMs; // from main() to the window exposed
};

bool StartOnce(const QString& self, const char* which, StartSample& sample)
{
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(self, {QStringLiteral("--show"), QString::fromLatin1(which)});
    while (child.state() != QProcess::NotRunning || child.bytesAvailable() > 0) {
        if (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("shown ")) {
                sample.processMs = double(clock.nsecsElapsed()) / 1e6;
                sample.inProcessMs = line.mid(6).toDouble() / 1000.0;
                child.waitForFinished(10000);
                return true;
            }
        }
        if (!child.waitForReadyRead(10000) && child.state() == QProcess::NotRunning)
            break;
    }
    return false;
}

int StartupBench(const QString& self, int starts)
{
    constexpr int kKinds = 3;
    const char* const kinds[kKinds] = {"window", "bare", "label"};
    const char* const labels[kKinds] = {"frmOrvinel", "bare QWidget", "one QLabel"};
    std::vector<double> processMs[kKinds];
    std::vector<double> inProcessMs[kKinds];
    for (int i = 0; i < starts; ++i) {
        for (int k = 0; k < kKinds; ++k) {
            // Rotate which goes first, so none always meets a warmer cache.
            const int kind = (i + k) % kKinds;
            StartSample sample{};
            if (!StartOnce(self, kinds[kind], sample)) {
                std::fprintf(stderr, "the %s child did not show its window\n", kinds[kind]);
                return 1;
            }
            processMs[kind].push_back(sample.processMs);
            inProcessMs[kind].push_back(sample.inProcessMs);
        }
    }
    std::printf("Start-up to window shown (%d starts each, taking turns)\n", starts);
    for (int kind = 0; kind < kKinds; ++kind) {
        const Figures process = Summarise(processMs[kind]);
        const Figures inside = Summarise(inProcessMs[kind]);
        std::printf("  %-12s process start: median %7.1f ms  mean %7.1f ms;"
                    "  main() on: median %7.1f ms  mean %7.1f ms\n",
                    labels[kind], process.median, process.mean, inside.median, inside.mean);
    }
    const double window = Summarise(processMs[0]).median;
    std::printf("  frmOrvinel / bare QWidget (process start, medians): %.2f\n",
                window / Summarise(processMs[1]).median);
    std::printf("  frmOrvinel / one QLabel   (process start, medians): %.2f\n",
                window / Summarise(processMs[2]).median);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && std::strcmp(argv[1], "--show") == 0)
        return ShowOnce(argv[2], argc, argv);

    const int keystrokes = argc > 1 ? static_cast<int>(std::strtol(argv[1], nullptr, 10)) : 2000;
    const int starts = argc > 2 ? static_cast<int>(std::strtol(argv[2], nullptr, 10)) : 20;
    int result = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Orvinel"));
        result = KeystrokeBench(keystrokes);
        if (result == 0)
            result = DragBench(std::min(keystrokes, 400));
        if (result == 0)
            result = SlowDiskBench(std::min(keystrokes, 500));
        if (result == 0)
            result = InPlaceBench(std::min(keystrokes, 500));
        if (result == 0)
            result = StartupBench(QApplication::applicationFilePath(), starts);
    }
    return result;
}
