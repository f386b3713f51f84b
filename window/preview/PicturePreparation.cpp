#include "PicturePreparation.h"

#include "PictureFile.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace {

// Qt's own limit, in megabytes. Up to it a picture is decoded whole when
// that is quicker; a reduced decode is asked for only beyond it.
constexpr qint64 kWholeDecodeLimitMb = 128;
// What a picture that can only be decoded whole may take.
constexpr int kLargestDecodeMb = 512;
// The smallest copy kept: smaller drawings scale from it directly.
constexpr int kSmallestLevel = 64;

// The file name's suffix, as the reader would take it from a file it opens
// itself: a hint tried first, the content deciding when it is wrong.
QByteArray FormatHint(const QString& path)
{
    return QFileInfo(path).suffix().toLower().toLatin1();
}

bool Covers(QSize have, QSize wanted)
{
    return have.width() >= wanted.width() && have.height() >= wanted.height();
}

// Beyond this a drawing is far off the widget.
constexpr double kMostDevicePixels = 1e7;

} // namespace

int DevicePixels(double drawn)
{
    if (!(drawn < kMostDevicePixels))
        return static_cast<int>(kMostDevicePixels);
    return std::max(1, static_cast<int>(std::ceil(drawn)));
}

QSize Halved(QSize size)
{
    return {std::max(1, (size.width() + 1) / 2), std::max(1, (size.height() + 1) / 2)};
}

QSize DecodeSizeFor(QSize native, QSize wanted)
{
    const QSize least = wanted.expandedTo(QSize(kSmallestLevel, kSmallestLevel));
    QSize size = native;
    for (QSize half = Halved(size); half != size && Covers(half, least); half = Halved(size))
        size = half;
    return size;
}

PictureHeader ReadPictureHeader(const QString& path)
{
    const OpenedPicture opened = Overlay::OpenPictureFile(path);
    if (!opened)
        return {QSize(), opened.problem};
    QImageReader reader(opened.file.get(), FormatHint(path));
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {QSize(), reader.errorString()};
    return {size, QString()};
}

PreparedPicture DecodePicture(const QString& path, QSize native, QSize target, QSize drawn)
{
    PreparedPicture prepared;
    const OpenedPicture opened = Overlay::OpenPictureFile(path);
    if (!opened) {
        prepared.problem = opened.problem;
        return prepared;
    }
    // JPEG decodes at a reduced size far quicker than whole; PNG, the other
    // format Qt can reduce while decoding, is quicker whole, so it is reduced
    // that way only when the whole picture would not fit. (By content: the
    // name's hint may be wrong.)
    const bool reducesCheaply = QImageReader::imageFormat(opened.file.get()) == "jpeg";
    const qint64 wholeBytes = qint64(native.width()) * native.height() * 4;
    QImageReader reader(opened.file.get(), FormatHint(path));
    if (target != native && (reducesCheaply || wholeBytes > kWholeDecodeLimitMb * 1024 * 1024) &&
        reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(target);

    QImage image = reader.read();
    if (image.isNull()) {
        prepared.problem = reader.errorString();
        return prepared;
    }
    // What was decoded whole is halved down to the size asked for.
    while (image.size() != target && Covers(Halved(image.size()), target))
        image = image.scaled(Halved(image.size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    prepared.levels.push_back(std::move(image));
    prepared.fitted = ScaledFromLevels(prepared.levels, drawn);
    prepared.fittedFor = drawn;
    return prepared;
}

void AddHalvings(std::vector<QImage>& levels, const std::function<bool()>& stillWanted)
{
    while (levels.back().width() > kSmallestLevel && levels.back().height() > kSmallestLevel &&
           stillWanted()) {
        const QImage& last = levels.back();
        levels.push_back(
            last.scaled(Halved(last.size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
}

QImage ScaledFromLevels(const std::vector<QImage>& levels, QSize size)
{
    auto source = levels.begin();
    while (std::next(source) != levels.end() && Covers(std::next(source)->size(), size))
        ++source;
    if (!Covers(QSize(size.width() * 5 / 4, size.height() * 5 / 4), source->size()))
        return source->scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return *source;
}

void AllowLargePictures()
{
    if (QImageReader::allocationLimit() != 0 && QImageReader::allocationLimit() < kLargestDecodeMb)
        QImageReader::setAllocationLimit(kLargestDecodeMb);
}
