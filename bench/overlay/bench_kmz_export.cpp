// A KMZ export with a large picture (settings to doc.kml, the picture read
// and zipped, the archive replacing its target) against a plain copy of the
// same picture file, both measured in the same run.
#include "BenchStats.h"
#include "KmzArchive.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr qsizetype kMegabyte = qsizetype(1024) * 1024;
constexpr qsizetype kPictureSize = 20 * kMegabyte;

struct Timing
{
    double min;
    double median;
};

template <class Work> Timing Time(int rounds, Work&& work)
{
    double fastest = 0;
    const Figures figures = TimeRounds<std::milli>(rounds, [&](int) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const double took =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        fastest = fastest == 0 ? took : std::min(fastest, took);
    });
    return {fastest, figures.median};
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? static_cast<int>(std::strtol(argv[1], nullptr, 10)) : 15;
    QTemporaryDir dir;
    QByteArray picture(kPictureSize, '\0');
    QRandomGenerator random(1);
    for (char& c : picture)
        c = char(random.bounded(256));
    int failures = 0;
    for (const char* extension : {"jpg", "bmp"}) {
        const QString name = QStringLiteral("legend.") + QString::fromLatin1(extension);
        const QString pictureFile = dir.filePath(name);
        QFile file(pictureFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(picture) != picture.size())
            return 1;
        file.close();
        OverlaySettings s;
        s.title = QStringLiteral("Legend");
        s.picture = pictureFile;
        const QString kmz = dir.filePath(QStringLiteral("legend.kmz"));
        const QString copy = dir.filePath(QStringLiteral("copy.") + QString::fromLatin1(extension));

        const Timing exported = Time(rounds, [&]() {
            failures += Overlay::WriteKmz(kmz, s, pictureFile).result.ok ? 0 : 1;
        });
        const Timing copied = Time(rounds, [&]() {
            QFile::remove(copy);
            failures += QFile::copy(pictureFile, copy) ? 0 : 1;
        });
        const Timing readWrite = Time(rounds, [&]() {
            QFile in(pictureFile);
            QFile out(copy);
            const bool ok = in.open(QIODevice::ReadOnly) &&
                            out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                            out.write(in.readAll()) == kPictureSize;
            failures += ok ? 0 : 1;
        });
        std::printf("%s picture of %lld MB, %d rounds each (ms)\n", extension,
                    static_cast<long long>(kPictureSize / kMegabyte), rounds);
        std::printf("  KMZ export             min %8.2f  median %8.2f  (%lld bytes)\n",
                    exported.min, exported.median, static_cast<long long>(QFile(kmz).size()));
        std::printf("  QFile::copy            min %8.2f  median %8.2f\n", copied.min,
                    copied.median);
        std::printf("  read + write copy      min %8.2f  median %8.2f\n", readWrite.min,
                    readWrite.median);
        std::printf("  export / QFile::copy   min %8.2f  median %8.2f\n", exported.min / copied.min,
                    exported.median / copied.median);
        std::printf("  export / read + write  min %8.2f  median %8.2f\n",
                    exported.min / readWrite.min, exported.median / readWrite.median);
    }
    if (failures != 0)
        std::printf("%d runs failed\n", failures);
    return failures == 0 ? 0 : 1;
}
