// libFuzzer target: any bytes go to the reader. Besides the sanitizers'
// reports, it aborts when a file the reader calls safe to adopt (nothing
// lost) does not read back the same after a write of its settings.
#include "KmlWriter.h"
#include "OverlayReader.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

OpenedOverlayFile Read(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return Overlay::ReadOverlay(buffer);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    // Millions of inputs: Qt's warnings would drown the fuzzer's own output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const OpenedOverlayFile opened =
        Read(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (opened.ok() && opened.notKept.isEmpty()) {
        const OpenedOverlayFile again = Read(Overlay::OverlayFileBytes(opened.settings).bytes);
        if (!again.ok() || !again.notKept.isEmpty() || again.settings != opened.settings)
            std::abort();
    }
    return 0;
}
