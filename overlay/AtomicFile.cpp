#include "AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

WriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return {false, QStringLiteral("No file name was given.")};
    const QFileInfo target(path);
    if (target.isDir())
        return {false, QStringLiteral("A folder of that name is in the way.")};
    if (!target.absoluteDir().exists())
        return {false, QStringLiteral("The folder %1 does not exist.")
                           .arg(target.absolutePath())};

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false, reason};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, QString()};
}
