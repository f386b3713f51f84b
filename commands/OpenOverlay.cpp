#include "Commands.h"
#include "OverlayReader.h"
#include "PathHelpers.h"

#include <QDir>
#include <QFileInfo>

namespace Commands {

std::optional<QString> AskOverlayFileToOpen(CommonDialog& dialog)
{
    return dialog.Ask(FileDialogMode::Open, QStringLiteral("Open KML Screen Overlay File"),
                      QStringLiteral("KML screen overlay file|*.kml"));
}

std::optional<OverlayOpening> ReadOverlayToOpen(const QString& path, Services& services,
                                                QWidget* parent)
{
    OpenedOverlayFile opened = Overlay::ReadOverlayFile(path);
    if (!opened.ok()) {
        services.Failure(parent, u"The overlay file could not be opened:\n" % path % u"\n\n" %
                                     opened.problem);
        return std::nullopt;
    }

    OverlayOpening opening;
    opening.settings = std::move(opened.settings);
    // Relative links are taken from the opened file's folder.
    opening.pictureFolder = QFileInfo(path).absolutePath();
    const QString href = opening.settings.GraphicFilePath;
    opening.picture = MeasureGraphic(href, Overlay::ResolveLink(href, opening.pictureFolder));
    if (opened.notKept.isEmpty())
        opening.settings.OutputFilePath =
            QFileInfo(path).isAbsolute()
                ? path
                : QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    else
        opening.notice = u"This file also holds " % Overlay::JoinedInWords(opened.notKept) %
                         u". Orvinel keeps only the screen overlay: use Save As to write it to a "
                         u"new file.";
    return opening;
}

bool IsOverlayFileName(const QString& path)
{
    return Overlay::FileExtension(path).compare(u"kml", Qt::CaseInsensitive) == 0;
}

} // namespace Commands
