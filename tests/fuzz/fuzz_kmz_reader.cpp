// libFuzzer target: any bytes go to the KMZ reader as an archive, network
// links followed inside it. Besides the sanitizers' reports, it aborts when
// an archive the reader accepts names a picture entry that would unpack
// outside its folder or is no picture, or when a refusal says nothing; and
// when an archive read in place does not write back as read, or loses an
// edit of its title.
#include "KmzArchive.h"
#include "PictureFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    // Millions of inputs: Qt's warnings would drown the fuzzer's own output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadControl control;
    const OpenedKmz opened = Overlay::ReadKmzBytes(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &control);
    if (!opened.overlay.ok() && !opened.pictureEntry.isEmpty())
        std::abort();
    if (!opened.pictureEntry.isEmpty() && !Overlay::IsPictureFileName(opened.pictureEntry))
        std::abort();
    if (opened.overlay.problem.trimmed().isEmpty() != opened.overlay.ok() ||
        control.total > Overlay::kKmzMaxUnpacked)
        std::abort();
    if (opened.pictureEntry.startsWith(QLatin1Char('/')) ||
        opened.pictureEntry.split(QLatin1Char('/')).contains(QLatin1String("..")))
        std::abort();
    if (opened.inPlace) {
        OverlaySettings now = opened.overlay.settings;
        QString problem;
        if (Overlay::KmzInPlaceBytes(*opened.inPlace, now, problem) != opened.inPlace->archive)
            std::abort();
        now.title = now.title == u"x" ? QStringLiteral("y") : QStringLiteral("x");
        const QByteArray edited = Overlay::KmzInPlaceBytes(*opened.inPlace, now, problem);
        if (!edited.isEmpty() && Overlay::ReadKmzBytes(edited).overlay.settings.title != now.title)
            std::abort();
    }
    return 0;
}
