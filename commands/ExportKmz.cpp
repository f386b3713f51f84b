#include "Commands.h"
#include "KmzArchive.h"
#include "PathHelpers.h"

namespace Commands {

QString KmzPathFor(const QString& outputFile, const QString& pictureFile)
{
    const QString& named = outputFile.isEmpty() ? pictureFile : outputFile;
    if (named.isEmpty() || Overlay::IsWebAddress(named))
        return {};
    // Either separator: a picture link may come from another platform's file.
    const qsizetype nameStart = Overlay::FileNameStart(named);
    return named.left(nameStart) % named.mid(nameStart).section(u'.', 0, 0) % u".kmz";
}

std::optional<QString> AskKmzFilePath(CommonDialog& dialog, Services& services, QWidget* parent,
                                      const QString& suggested)
{
    std::optional<QString> chosen =
        dialog.Ask(FileDialogMode::Save, QStringLiteral("Export KMZ File"),
                   QStringLiteral("KMZ file|*.kmz"), suggested);
    if (!chosen)
        return std::nullopt;
    if (Overlay::FileExtension(*chosen).isEmpty())
        *chosen += QStringLiteral(".kmz");
    if (!MayReplace(*chosen, services, parent, true))
        return std::nullopt;
    return chosen;
}

bool ExportKmz(const QString& kmzPath, const OverlaySettings& settings, const QString& pictureFile,
               Services& services, QWidget* parent)
{
    const KmzExport exported = Overlay::WriteKmz(kmzPath, settings, pictureFile);
    if (!exported.result.ok) {
        services.Failure(parent, u"The KMZ file could not be written:\n" % kmzPath % u"\n\n" %
                                     exported.result.error);
        return false;
    }
    if (!exported.pictureEmbedded && !settings.picture.isEmpty())
        services.Notice(parent, u"The picture is a web address, so it is not put into the "
                                u"archive; the archive refers to it as it is:\n" %
                                    settings.picture);
    return true;
}

} // namespace Commands
