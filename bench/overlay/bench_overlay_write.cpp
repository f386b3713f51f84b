// One overlay file write, as auto-refresh runs it after every keystroke
// (settings to bytes, then an atomic replace), against a plain in-place
// rewrite of the same bytes as the baseline.
#include "BenchStats.h"
#include "KmlWriter.h"
#include "Vocabulary.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? static_cast<int>(std::strtol(argv[1], nullptr, 10)) : 5000;
    QTemporaryDir dir;
    OverlaySettings s;
    s.title = QStringLiteral("City & Harbour legend");
    s.drawOrder = QStringLiteral("99");
    s.overlayX = s.overlayY = s.screenX = s.screenY = QStringLiteral("0.5");
    for (QString* units : {&s.overlayXUnits, &s.overlayYUnits, &s.screenXUnits, &s.screenYUnits,
                           &s.rotationXUnits, &s.rotationYUnits, &s.sizeXUnits, &s.sizeYUnits})
        *units = Vocabulary::kFraction;
    s.rotation = QStringLiteral("12.5");
    s.sizeX = Vocabulary::kMaintainNativeSize;
    s.sizeY = Vocabulary::kMaintainAspect;
    s.picture = QStringLiteral("/home/ann/maps/legend.png");
    s.colour = QStringLiteral("80ffffff");
    s.outputFile = dir.filePath(QStringLiteral("overlay.kml"));
    const QByteArray bytes = Overlay::OverlayFileBytes(s).bytes;
    const QString plainPath = dir.filePath(QStringLiteral("plain.kml"));

    int failures = 0;
    // Warm both paths once so the first file creation is not measured.
    failures +=
        Overlay::WriteFileAtomically(s.outputFile, Overlay::OverlayFileBytes(s).bytes).ok ? 0 : 1;
    const auto plainWrite = [&]() {
        QFile file(plainPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            ++failures;
    };
    plainWrite();

    const Figures full = TimeRounds<std::micro>(rounds, [&](int) {
        failures +=
            Overlay::WriteFileAtomically(s.outputFile, Overlay::OverlayFileBytes(s).bytes).ok ? 0
                                                                                              : 1;
    });
    const Figures plain = TimeRounds<std::micro>(rounds, [&](int) { plainWrite(); });
    const Figures build =
        TimeRounds<std::micro>(rounds, [&](int) { (void)Overlay::OverlayFileBytes(s); });

    std::printf("overlay file: %lld bytes, %d rounds each\n", static_cast<long long>(bytes.size()),
                rounds);
    std::printf("settings to bytes only       median %8.2f us  mean %8.2f us\n", build.median,
                build.mean);
    std::printf("full atomic overlay write    median %8.2f us  mean %8.2f us\n", full.median,
                full.mean);
    std::printf("plain in-place write (base)  median %8.2f us  mean %8.2f us\n", plain.median,
                plain.mean);
    std::printf("ratio full / plain           median %8.2f     mean %8.2f\n",
                full.median / plain.median, full.mean / plain.mean);
    if (failures != 0)
        std::printf("%d writes failed\n", failures);
    return failures == 0 ? 0 : 1;
}
