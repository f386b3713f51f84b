// libFuzzer target: any bytes go to the reader. Besides the sanitizers'
// reports, it aborts when a file the reader calls safe to adopt (nothing
// lost) does not read back the same after a write of its settings, when an
// accepted value is longer than the window takes, or when a message is
// longer than a message box holds.
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
    ReadControl control;
    OpenedOverlayFile opened = Overlay::ReadOverlay(buffer, &control);
    if (control.done > control.total || opened.cancelled)
        std::abort();
    return opened;
}

// The longest title, number and picture path the reader lets through.
bool WithinLimits(const OverlaySettings& s)
{
    for (const NamedField& named : kOverlayFields) {
        const QString name = QLatin1String(named.name);
        const qsizetype longest = name == QLatin1String("title")     ? 4096
                                  : name == QLatin1String("picture") ? 8192
                                                                     : 500;
        if ((s.*named.field).size() > longest)
            return false;
    }
    return true;
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
    if (opened.problem.size() > 400 || Overlay::JoinedInWords(opened.notKept).size() > 2000 ||
        (opened.ok() && !WithinLimits(opened.settings)))
        std::abort();
    if (opened.ok() && opened.notKept.isEmpty()) {
        const OpenedOverlayFile again = Read(Overlay::OverlayFileBytes(opened.settings).bytes);
        if (!again.ok() || !again.notKept.isEmpty() || again.settings != opened.settings)
            std::abort();
    }
    return 0;
}
