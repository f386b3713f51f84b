#include "Commands.h"
#include "KmzArchive.h"
#include "OverlayReader.h"
#include "PathHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace Commands {

std::optional<QString> AskOverlayFileToOpen(CommonDialog& dialog)
{
    return dialog.Ask(FileDialogMode::Open, QStringLiteral("Open KML Screen Overlay File"),
                      QStringLiteral("KML or KMZ overlay file|*.kml;*.kmz"));
}

namespace {

bool IsKmzFileName(const QString& path)
{
    return Overlay::FileExtension(path).compare(u"kmz", Qt::CaseInsensitive) == 0;
}

// The picture inside an archive, unpacked beside it once the user agrees;
// its path, or empty when declined or when it could not be unpacked (told).
QString UnpackPicture(const QString& kmzPath, const QString& entry, Services& services,
                      QWidget* parent)
{
    const QString folder = QDir::toNativeSeparators(Overlay::KmzUnpackFolder(kmzPath));
    if (!services.AskYesNo(parent, u"The overlay's picture is inside the KMZ file. Unpack it "
                                   u"into this folder?\n\n" %
                                       folder))
        return {};
    QString unpacked;
    const WriteResult written = Overlay::UnpackKmzEntry(kmzPath, entry, unpacked);
    if (!written.ok) {
        services.Failure(parent, u"The picture could not be unpacked from the KMZ file:\n" %
                                     kmzPath % u"\n\n" % written.error);
        return {};
    }
    return QDir::toNativeSeparators(unpacked);
}

} // namespace

std::optional<OverlayOpening> OverlayToOpen(const QString& path, OpenedKmz read, Services& services,
                                            QWidget* parent)
{
    OpenedOverlayFile& opened = read.overlay;
    if (!opened.ok()) {
        services.Failure(parent, u"The overlay file could not be opened:\n" % path % u"\n\n" %
                                     opened.problem);
        return std::nullopt;
    }

    OverlayOpening opening;
    opening.settings = std::move(opened.settings);
    // Relative links are taken from the opened file's folder.
    opening.pictureFolder = QFileInfo(path).absolutePath();
    if (!read.pictureEntry.isEmpty()) {
        const QString unpacked = UnpackPicture(path, read.pictureEntry, services, parent);
        if (read.inPlace && !unpacked.isEmpty()) {
            // Written back, the unpacked picture is the entry it came from.
            auto shown = std::make_shared<Overlay::InPlaceKml>(*read.inPlace);
            shown->shownPicture = unpacked;
            read.inPlace = std::move(shown);
        }
        // Not unpacked, an archive edited in place keeps its link.
        if (!unpacked.isEmpty() || !read.inPlace)
            opening.settings.picture = unpacked;
    }
    opening.inPlace = std::move(read.inPlace);
    const QString href = opening.settings.picture;
    opening.picture = MeasureGraphic(href, Overlay::ResolveLink(href, opening.pictureFolder));
    if (!opened.notKept.isEmpty())
        opening.notice = u"This file also holds " % Overlay::JoinedInWords(opened.notKept) %
                         u". Orvinel keeps only the screen overlay: use Save As to write it to a "
                         u"new file.";
    else if (!read.archive || opening.inPlace)
        opening.settings.outputFile =
            QFileInfo(path).isAbsolute()
                ? path
                : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    return opening;
}

std::optional<OverlayOpening> InPlaceOpening(Overlay::KmlInPlaceRead read,
                                             const QString& outputFile, const QString& what,
                                             Services& services, QWidget* parent)
{
    if (!read.inPlace) {
        services.Failure(parent, u"The screen overlay could not be " % what % u":\n" % outputFile %
                                     u"\n\n" % read.overlay.problem);
        return std::nullopt;
    }
    OverlayOpening opening;
    opening.settings = std::move(read.overlay.settings);
    opening.settings.outputFile = outputFile;
    opening.inPlace = std::move(read.inPlace);
    opening.pictureFolder = QFileInfo(outputFile).absolutePath();
    const QString& href = opening.settings.picture;
    opening.picture = MeasureGraphic(href, Overlay::ResolveLink(href, opening.pictureFolder));
    return opening;
}

bool IsOverlayFileName(const QString& path)
{
    return Overlay::FileExtension(path).compare(u"kml", Qt::CaseInsensitive) == 0 ||
           IsKmzFileName(path);
}

} // namespace Commands
