// Opening a large KML that holds a screen overlay after 20,000 placemarks:
// the reader still scans the whole file to count what a write would drop,
// so this is its worst ordinary case for time and memory.
#include "BenchStats.h"
#include "OverlayReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

// Peak and current resident size in kB, from /proc/self/status (Linux).
long long StatusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Resets the peak resident size to the current one, so the next peak is the
// reader's own (Linux 4.0 and later).
bool ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// Written piece by piece so the file never sits in this process's memory.
bool WriteBigKml(const QString& path, int placemarks)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n"
               "<Style id=\"pin\"><IconStyle><Icon><href>pin.png</href></Icon></IconStyle>"
               "</Style>\n");
    const QByteArray description =
        "Survey point on the northern ridge, measured twice with the differential receiver. "
        "Access by the forest road from the car park, then thirty minutes on foot along the "
        "marked trail; the marker is a brass disc set in concrete beside the cairn &amp; sign. "
        "Last visited in the spring campaign, found intact.";
    for (int i = 0; i < placemarks; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QByteArray lon = QByteArray::number(6.0 + (i % 1000) * 0.001, 'f', 6);
        const QByteArray lat = QByteArray::number(46.0 + (i - i % 1000) * 0.000001, 'f', 6);
        file.write("<Placemark>\n<name>Survey point " + n + "</name>\n<description>" + description +
                   "</description>\n<styleUrl>#pin</styleUrl>\n"
                   "<Point><coordinates>" +
                   lon + ',' + lat +
                   ",412.5</coordinates></Point>\n"
                   "</Placemark>\n");
    }
    file.write("<ScreenOverlay>\n<name>Legend</name>\n<color>ccffffff</color>"
               "<Icon>\n<href>legend.png</href>\n</Icon>\n"
               "<overlayXY x=\"0\" y=\"1\" xunits=\"fraction\" yunits=\"fraction\" />\n"
               "<screenXY x=\"10\" y=\"10\" xunits=\"pixels\" yunits=\"insetPixels\" />\n"
               "<size x=\"-1\" y=\"-1\" xunits=\"fraction\" yunits=\"fraction\" />\n"
               "</ScreenOverlay>\n</Document>\n</kml>\n");
    return file.error() == QFile::NoError;
}

} // namespace

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
    return opened.ok() ? 0 : 1;
}
