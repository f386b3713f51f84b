// libFuzzer target: any bytes go to the KMZ reader as an archive. Besides the
// sanitizers' reports, it aborts when an archive the reader accepts names a
// picture entry that would unpack outside its folder.
#include "KmzArchive.h"

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
    const OpenedKmz opened =
        Overlay::ReadKmzBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!opened.overlay.ok() && !opened.pictureEntry.isEmpty())
        std::abort();
    if (opened.pictureEntry.startsWith(QLatin1Char('/')) ||
        opened.pictureEntry.split(QLatin1Char('/')).contains(QLatin1String("..")))
        std::abort();
    return 0;
}
