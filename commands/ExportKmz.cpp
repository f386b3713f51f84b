#include "Commands.h"
#include "KmzArchive.h"
#include "PathHelpers.h"

namespace Commands {

std::optional<QString> AskKmzFilePath(CommonDialog& dialog, Services& services, QWidget* parent)
{
    std::optional<QString> chosen = dialog.Ask(
        FileDialogMode::Save, QStringLiteral("Export KMZ File"), QStringLiteral("KMZ file|*.kmz"));
    if (!chosen)
        return std::nullopt;
    if (Overlay::FileExtension(*chosen).isEmpty())
        *chosen += QStringLiteral(".kmz");
    if (!MayReplace(*chosen, services, parent))
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
