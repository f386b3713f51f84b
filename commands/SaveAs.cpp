#include "Commands.h"
#include "PathHelpers.h"

namespace Commands {

QString OutputPathFor(const QString& chosen, QChar separator, bool archive)
{
    return Overlay::FolderOfPath(chosen, separator) % Overlay::FileBaseName(chosen, separator) %
           (archive ? u".kmz" : u".kml");
}

std::optional<QString> AskOutputFilePath(CommonDialog& dialog, Services& services, QWidget* parent,
                                         bool archive)
{
    const std::optional<QString> chosen = dialog.Ask(
        FileDialogMode::Save, QStringLiteral("Save KML Screen Overlay File"),
        archive ? QStringLiteral("KMZ archive|*.kmz") : QStringLiteral("KML output file|*.kml"));
    if (!chosen)
        return std::nullopt;

    const QString outputPath =
        OutputPathFor(*chosen, PlatformProfile::Current().pathSeparator, archive);
    if (!MayReplace(outputPath, services, parent))
        return std::nullopt;
    return outputPath;
}

bool MayReplace(const QString& path, Services& services, QWidget* parent, bool named)
{
    const QString question =
        QStringLiteral("File already exists - do you want to overwrite the existing file?");
    return !services.OrdinaryFileExists(path) ||
           services.AskYesNo(parent, named ? question % u"\n\n" % path : question);
}

} // namespace Commands
