// One overlay file write, as auto-refresh runs it after every keystroke
// (settings to bytes, then an atomic replace), against a plain in-place
// rewrite of the same bytes as the baseline.
#include "KmlWriter.h"
#include "Vocabulary.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Figures
{
    double medianUs;
    double meanUs;
};

Figures Measure(int rounds, const std::function<void()>& work)
{
    std::vector<double> samples;
    samples.reserve(std::size_t(rounds));
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    double sum = 0;
    for (double s : samples)
        sum += s;
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], sum / double(samples.size())};
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 5000;
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
    const QByteArray bytes = OverlayFileBytes(s).bytes;
    const QString plainPath = dir.filePath(QStringLiteral("plain.kml"));

    int failures = 0;
    // Warm both paths once so the first file creation is not measured.
    failures += SaveOverlayFile(s).ok ? 0 : 1;
    const auto plainWrite = [&]() {
        QFile file(plainPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            ++failures;
    };
    plainWrite();

    const Figures full = Measure(rounds, [&]() { failures += SaveOverlayFile(s).ok ? 0 : 1; });
    const Figures plain = Measure(rounds, plainWrite);
    const Figures build = Measure(rounds, [&]() { (void)OverlayFileBytes(s); });

    std::printf("overlay file: %lld bytes, %d rounds each\n", static_cast<long long>(bytes.size()),
                rounds);
    std::printf("settings to bytes only       median %8.2f us  mean %8.2f us\n", build.medianUs,
                build.meanUs);
    std::printf("full atomic overlay write    median %8.2f us  mean %8.2f us\n", full.medianUs,
                full.meanUs);
    std::printf("plain in-place write (base)  median %8.2f us  mean %8.2f us\n", plain.medianUs,
                plain.meanUs);
    std::printf("ratio full / plain           median %8.2f     mean %8.2f\n",
                full.medianUs / plain.medianUs, full.meanUs / plain.meanUs);
    if (failures != 0)
        std::printf("%d writes failed\n", failures);
    return failures == 0 ? 0 : 1;
}
