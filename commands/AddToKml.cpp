#include "Commands.h"
#include "KmlSplice.h"
#include "KmzArchive.h"
#include "PictureFile.h"

#include <QFileInfo>

namespace Commands {

std::optional<QString> AskKmlToAddTo(CommonDialog& dialog)
{
    return dialog.Ask(FileDialogMode::Open, QStringLiteral("Add Overlay to Another KML File"),
                      QStringLiteral("KML file|*.kml"));
}

namespace {

// The file with the overlay added, or why not.
QString AddedBytes(const QString& path, const OverlaySettings& settings, QByteArray& bytes)
{
    const OpenedPicture file = Overlay::OpenPictureFile(path);
    if (!file)
        return file.problem;
    if (file.file->size() > Overlay::kLargestInPlace)
        return QStringLiteral("it is larger than the %1 MB Orvinel edits")
            .arg(Overlay::kLargestInPlace / (qint64(1024) * 1024));
    std::optional<Overlay::KmlText> kml = Overlay::DecodeKml(file.file->readAll());
    if (!kml)
        return QStringLiteral("its encoding is not one Orvinel writes back unchanged (UTF-8, "
                              "UTF-16 or ISO-8859-1)");
    QString problem;
    const std::optional<QString> added = Overlay::WithOverlayAdded(
        kml->text, settings, kml->encoding == QStringConverter::Latin1, problem);
    if (!added)
        return problem;
    kml->text = *added;
    bytes = Overlay::EncodeKml(*kml);
    return {};
}

} // namespace

bool AddOverlayToKml(const QString& path, const OverlaySettings& settings, Services& services,
                     QWidget* parent)
{
    QByteArray bytes;
    QString problem = AddedBytes(path, settings, bytes);
    if (problem.isEmpty()) {
        const WriteResult written = services.WriteFile(path, bytes);
        problem = written.error;
    }
    if (!problem.isEmpty()) {
        services.Failure(parent, u"The overlay could not be added to the KML file:\n" % path %
                                     u"\n\n" % problem);
        return false;
    }
    services.Notice(parent, u"The overlay was added to " % QFileInfo(path).fileName() % u'.');
    return true;
}

} // namespace Commands
