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
    s.txtOverlay_title = QStringLiteral("City & Harbour legend");
    s.txtDraw_order = QStringLiteral("99");
    s.txtOverlay_x = s.txtOverlay_y = s.txtScreen_x = s.txtScreen_y = QStringLiteral("0.5");
    for (QString* units : {&s.comboOverlay_x_units, &s.comboOverlay_y_units, &s.comboScreen_x_units,
                           &s.comboScreen_y_units, &s.comboRotation_x_units,
                           &s.comboRotation_y_units, &s.comboSize_x_units, &s.comboSize_y_units})
        *units = Vocabulary::kFraction;
    s.txtRotation = QStringLiteral("12.5");
    s.comboSize_x = Vocabulary::kMaintainNativeSize;
    s.comboSize_y = Vocabulary::kMaintainAspect;
    s.GraphicFilePath = QStringLiteral("/home/ann/maps/legend.png");
    s.OverlayColor = QStringLiteral("80ffffff");
    s.OutputFilePath = dir.filePath(QStringLiteral("overlay.kml"));
    const QByteArray bytes = Overlay::OverlayFileBytes(s).bytes;
    const QString plainPath = dir.filePath(QStringLiteral("plain.kml"));

    int failures = 0;
    // Warm both paths once so the first file creation is not measured.
    failures +=
        Overlay::WriteFileAtomically(s.OutputFilePath, Overlay::OverlayFileBytes(s).bytes).ok ? 0
                                                                                              : 1;
    const auto plainWrite = [&]() {
        QFile file(plainPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            ++failures;
    };
    plainWrite();

    const Figures full = TimeRounds<std::micro>(rounds, [&](int) {
        failures +=
            Overlay::WriteFileAtomically(s.OutputFilePath, Overlay::OverlayFileBytes(s).bytes).ok
                ? 0
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
