#include "AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace Overlay {

WriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return {false, QStringLiteral("No file name was given.")};
    const QFileInfo target(path);
    if (target.isDir())
        return {false, QStringLiteral("A folder of that name is in the way.")};
    if (!target.absoluteDir().exists())
        return {false, QStringLiteral("The folder %1 does not exist.")
                           .arg(QDir::toNativeSeparators(target.absolutePath()))};

    QSaveFile file(path);
    // Unbuffered, so a short write (disk full, size limit) is seen here: a
    // buffered QSaveFile can lose it and commit a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        file.cancelWriting();
        return {false, QStringLiteral("Only %1 of %2 bytes could be written; the disk may be "
                                      "full or the file too large.")
                           .arg(qMax<qint64>(written, 0))
                           .arg(bytes.size())};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, QString()};
}

} // namespace Overlay
