// Opening a large KML that holds a screen overlay after 20,000 placemarks:
// the reader still scans the whole file to count what a write would drop,
// so this is its worst ordinary case for time and memory. Then hostile files:
// an entity bomb, a 50 MB title, 100,000 kinds of unknown element and a 1 MB
// colour, each with its time, memory and the length of what the user is told.
#include "BenchFiles.h"
#include "BenchStats.h"
#include "OverlayReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? static_cast<int>(std::strtol(argv[1], nullptr, 10)) : 20;
    const int placemarks = 20000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.kml"));
    if (!WriteBigKml(path, placemarks)) {
        std::printf("could not write %s\n", qPrintable(path));
        return 1;
    }

    // One read first: the file is then in the page cache and Qt's lazily
    // made tables exist, as they would after the first open in a session.
    (void)Overlay::ReadOverlayFile(path);
    const bool peakReset = ResetPeak();
    const long long rssBefore = StatusKb("VmRSS");
    const OpenedOverlayFile opened = Overlay::ReadOverlayFile(path);
    const long long peakAfter = StatusKb("VmHWM");

    std::vector<double> samples;
    const Figures read = TimeRounds<std::milli>(rounds, [&](int) {
        const auto start = std::chrono::steady_clock::now();
        (void)Overlay::ReadOverlayFile(path);
        samples.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    });

    std::printf("file: %lld bytes, %d placemarks, then the overlay\n",
                static_cast<long long>(QFile(path).size()), placemarks);
    std::printf("result: %s; not kept: %s\n", opened.ok() ? "read" : qPrintable(opened.problem),
                qPrintable(Overlay::JoinedInWords(opened.notKept)));
    std::printf("ReadOverlayFile, %d rounds  min %8.2f ms  median %8.2f ms  mean %8.2f ms\n",
                rounds, *std::min_element(samples.begin(), samples.end()), read.median, read.mean);
    if (peakReset)
        std::printf(
            "peak resident growth during one read: %lld kB (peak %lld kB, before %lld kB)\n",
            peakAfter - rssBefore, peakAfter, rssBefore);
    else
        std::printf("peak resident growth: not measurable here (/proc/self/clear_refs)\n");

    struct Hostile
    {
        const char* name;
        QByteArray bytes;
    };
    const QByteArray head = "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><ScreenOverlay>";
    const QByteArray tail = "</ScreenOverlay></kml>";
    QByteArray kinds;
    for (int i = 0; i < 100000; ++i)
        kinds += "<u" + QByteArray::number(i) + "/>";
    const Hostile hostile[] = {
        {"entity bomb (4,000 characters x 100,000 uses)",
         "<!DOCTYPE kml [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]>" + head + "<name>" +
             QByteArray("&e;").repeated(100000) + "</name>" + tail},
        {"50 MB title", head + "<name>" + QByteArray(50 << 20, 'T') + "</name>" + tail},
        {"100,000 kinds of unknown element", head + kinds + tail},
        {"1 MB colour", head + "<color>" + QByteArray(1 << 20, 'f') + "</color>" + tail},
    };
    for (const Hostile& file : hostile) {
        const QString hostilePath = dir.filePath(QStringLiteral("hostile.kml"));
        QFile out(hostilePath);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(file.bytes) != file.bytes.size())
            return 1;
        out.close();
        ResetPeak();
        const long long before = StatusKb("VmRSS");
        const auto start = std::chrono::steady_clock::now();
        const OpenedOverlayFile got = Overlay::ReadOverlayFile(hostilePath);
        const QString told = got.ok() ? Overlay::JoinedInWords(got.notKept) : got.problem;
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        std::printf("%s, %lld bytes: %.1f ms, peak resident growth %lld kB, told %lld "
                    "characters: %.100s\n",
                    file.name, static_cast<long long>(file.bytes.size()), ms,
                    StatusKb("VmHWM") - before, static_cast<long long>(told.size()),
                    qPrintable(told));
    }
    return opened.ok() ? 0 : 1;
}
