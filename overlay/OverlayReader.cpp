#include "OverlayReader.h"

#include "PictureFile.h"

namespace Overlay {

OpenedOverlayFile ReadOverlay(QIODevice& /*device*/)
{
    OpenedOverlayFile opened;
    opened.problem = QStringLiteral("it holds no screen overlay");
    return opened;
}

OpenedOverlayFile ReadOverlayFile(const QString& path)
{
    const OpenedPicture file = OpenPictureFile(path);
    if (!file) {
        OpenedOverlayFile opened;
        opened.problem = file.problem;
        return opened;
    }
    return ReadOverlay(*file.file);
}

QString JoinedInWords(const QStringList& items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           items.last();
}

} // namespace Overlay
