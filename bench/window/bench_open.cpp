// Opening a large KML through the window: from the call until every control
// shows the file's values (read on the worker thread, where the file is also
// laid out to be edited in place, then filled in one step), beside a bare
// QXmlStreamReader loop over the same file, taking turns in the same run.
// About 10 MB and 100 MB: 20,000 and 200,000 placemarks, then the overlay.
//
// Usage: bench_open [rounds]. Runs offscreen unless QT_QPA_PLATFORM says
// otherwise.

#include "BenchFiles.h"
#include "BenchServices.h"
#include "BenchStats.h"
#include "frmOrvinel.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A notice, should one come, is counted, not shown.
struct QuietServices : BenchServices
{
    int notices = 0;
    void Notice(QWidget* /*parent*/, const QString& /*text*/) override { ++notices; }
};

qint64 BareLoop(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QXmlStreamReader xml(&file);
    qint64 tokens = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        ++tokens;
    }
    return xml.hasError() ? -1 : tokens;
}

template <class Work> double Milliseconds(Work&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? static_cast<int>(std::strtol(argv[1], nullptr, 10)) : 5;
    QTemporaryDir dir;
    QuietServices services;
    frmOrvinel window(services);
    window.Form_Load();
    window.show();

    for (const int placemarks : {20000, 200000}) {
        const QString path = dir.filePath(QStringLiteral("big.kml"));
        if (!WriteBigKml(path, placemarks))
            return 1;
        (void)BareLoop(path); // into the page cache
        std::vector<double> bare;
        std::vector<double> filled;
        for (int round = 0; round < rounds; ++round) {
            bare.push_back(Milliseconds([&] { (void)BareLoop(path); }));
            window.findChild<QLineEdit*>(QStringLiteral("txtOverlay_title"))->clear();
            filled.push_back(Milliseconds([&] { window.OpenOverlayFile(path); }));
        }
        const bool ok = window.findChild<QLineEdit*>(QStringLiteral("txtOverlay_title"))->text() ==
                        QLatin1String("Legend");
        const Figures b = Summarise(bare);
        const Figures f = Summarise(filled);
        std::printf("%lld bytes (%d placemarks), %d rounds%s\n",
                    static_cast<long long>(QFile(path).size()), placemarks, rounds,
                    ok ? "" : "  (the window was NOT filled)");
        std::printf("  bare QXmlStreamReader loop  median %8.1f ms  mean %8.1f ms\n", b.median,
                    b.mean);
        std::printf("  window filled               median %8.1f ms  mean %8.1f ms\n", f.median,
                    f.mean);
        std::printf("  window / bare (medians): %.2f\n", f.median / b.median);
        if (!ok)
            return 1;
    }
    return 0;
}
