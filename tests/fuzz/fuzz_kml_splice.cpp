// libFuzzer target: any bytes are a KML file whose screen overlay (which one
// the first byte picks) is edited in place with values its last bytes pick.
// Besides the sanitizers' reports, it aborts when the file written does not
// read back with the edits, changes with no edit, or holds another count of
// screen overlays. Every input is scanned as text too, KML or not.
#include "KmlSplice.h"
#include "OverlayReader.h"
#include "Vocabulary.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace {

OpenedOverlayFile Read(const QByteArray& bytes, int which)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return Overlay::ReadOverlay(buffer, nullptr, which);
}

// What a file can give back of `s`: sizes typed as -1 and 0 read as their
// words, and a point without x and y is not written, nor are its units.
OverlaySettings Readable(OverlaySettings s)
{
    s.outputFile.clear();
    for (const OverlayPoint& point : kOverlayPoints) {
        for (OverlayField axis : {point.x, point.y})
            if (point.sizeWords &&
                (s.*axis == QLatin1String("-1") || s.*axis == QLatin1String("0")))
                s.*axis = s.*axis == QLatin1String("0") ? Vocabulary::kMaintainAspect
                                                        : Vocabulary::kMaintainNativeSize;
        if ((s.*point.x).isEmpty() && (s.*point.y).isEmpty())
            s.*point.xUnits = s.*point.yUnits = Vocabulary::kFraction;
    }
    return s;
}

// Value `pick` for `field`, among those the window can give it.
QString Value(const QString& field, unsigned pick)
{
    if (field.endsWith(QLatin1String("Units"))) {
        const QStringList& units = field.startsWith(QLatin1String("size"))
                                       ? Vocabulary::kSizeUnits
                                       : Vocabulary::kPointUnits;
        return units.at(pick % unsigned(units.size()));
    }
    if (field == QLatin1String("colour"))
        return pick % 2 == 0 ? Vocabulary::kOpaqueWhite : QStringLiteral("80FF00ff");
    const QStringList values = {QString(),
                                QStringLiteral("0"),
                                QStringLiteral("-1"),
                                Vocabulary::kMaintainAspect,
                                QStringLiteral("&<\"]]>"),
                                QStringLiteral("東京 € 😀"),
                                QStringLiteral("\r\n\t"),
                                QStringLiteral(" 2.5 ")};
    return values.at(pick % unsigned(values.size()));
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
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)Overlay::ScanKml(QString::fromUtf8(bytes));
    if (size == 0)
        return 0;
    const int which = data[0] % 4;
    const Overlay::KmlInPlaceRead read = Overlay::ReadKmlInPlace(bytes, nullptr, which);
    if (!read.inPlace)
        return 0;
    if (Overlay::InPlaceBytes(*read.inPlace, read.overlay.settings) != bytes)
        std::abort();
    OverlaySettings now = read.overlay.settings;
    for (std::size_t back = 1; back <= 3 && back < size; ++back) {
        const unsigned pick = data[size - back];
        const NamedField& named = kOverlayFields[pick % std::size(kOverlayFields)];
        now.*named.field = Value(QLatin1String(named.name), pick / 8);
    }
    const QByteArray written = Overlay::InPlaceBytes(*read.inPlace, now);
    const OpenedOverlayFile again = Read(written, which);
    if (!again.ok() || Readable(again.settings) != Readable(now))
        std::abort();
    const std::optional<Overlay::KmlText> text = Overlay::DecodeKml(written);
    if (!text || Overlay::ScanKml(text->text).overlays.size() != std::size_t(read.labels.size()))
        std::abort();
    return 0;
}
