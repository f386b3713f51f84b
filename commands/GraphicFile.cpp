#include "Commands.h"
#include "PathHelpers.h"
#include "PictureFile.h"

#include <QByteArray>
#include <QImageReader>

namespace Commands {

namespace {

const QString kGraphicDialogTitle = QStringLiteral("Select graphic file for overlay");
const QString kGraphicDialogFilter =
    u"Screen overlay graphic file|*." % Overlay::PictureExtensions().join(u";*.");

bool IsMeasurableExtension(const QString& extension)
{
    return extension == u"gif" || extension == u"bmp" || extension == u"jpg";
}

// The three picture types the size is read for; the content decides, so a
// JPEG saved as .bmp is still measured while a PNG saved as .gif is not.
bool IsMeasurableFormat(const QByteArray& format)
{
    return format == "gif" || format == "bmp" || format == "jpeg";
}

} // namespace

std::optional<QSize> LoadGraphicDimensions(const QString& path)
{
    if (!IsMeasurableExtension(Overlay::FileExtension(path)))
        return std::nullopt;
    const OpenedPicture opened = Overlay::OpenPictureFile(path);
    if (!opened)
        return std::nullopt;

    QImageReader reader(opened.file.get());
    reader.setDecideFormatFromContent(true);
    if (!IsMeasurableFormat(reader.format()))
        return std::nullopt;
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return std::nullopt;
    return size;
}

std::optional<GraphicChoice> cmdOpen_graphic_file(CommonDialog& dialog)
{
    const std::optional<QString> chosen =
        dialog.Ask(FileDialogMode::Open, kGraphicDialogTitle, kGraphicDialogFilter);
    if (!chosen)
        return std::nullopt;
    return MeasureGraphic(*chosen);
}

GraphicChoice MeasureGraphic(const QString& path, const QString& fileToRead)
{
    GraphicChoice choice;
    choice.picture = path;
    choice.widthText = QStringLiteral("?");
    choice.heightText = QStringLiteral("?");
    if (const std::optional<QSize> size =
            LoadGraphicDimensions(fileToRead.isEmpty() ? path : fileToRead)) {
        choice.widthText = QString::number(size->width());
        choice.heightText = QString::number(size->height());
    }
    choice.windowCaption =
        u"Overlay Graphic: " % Overlay::FileBaseName(path) % u'.' % Overlay::FileExtension(path);
    return choice;
}

bool IsPictureFileName(const QString& path)
{
    return Overlay::IsPictureFileName(path);
}

} // namespace Commands
