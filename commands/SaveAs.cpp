#include "Commands.h"
#include "PathHelpers.h"

namespace Commands {

QString OutputPathFor(const QString& chosen, QChar separator)
{
    return Overlay::FolderOfPath(chosen, separator) % Overlay::FileBaseName(chosen, separator) %
           u".kml";
}

std::optional<QString> AskOutputFilePath(CommonDialog& dialog, Services& services, QWidget* parent)
{
    const std::optional<QString> chosen =
        dialog.Ask(FileDialogMode::Save, QStringLiteral("Save KML Screen Overlay File"),
                   QStringLiteral("KML output file|*.kml"));
    if (!chosen)
        return std::nullopt;

    const QString outputPath = OutputPathFor(*chosen);
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
