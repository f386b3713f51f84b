#include "AtomicFile.h"

#include "PlatformProfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringBuilder>
#include <QThread>

#include <array>

namespace Overlay {

namespace {

// A viewer polling the file holds it open for a moment now and then, and where
// a rename over a file held open fails (Windows), a failed replace is tried
// again, the whole write each time, for about a second and a half before it
// counts as failed.
constexpr std::array kReplaceRetryDelaysMs{10, 20, 40, 80, 160, 320, 480, 480};

} // namespace

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

    for (std::size_t attempt = 0;; ++attempt) {
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
        if (file.commit())
            break;
        if (file.error() != QFileDevice::RenameError ||
            !PlatformProfile::Current().replaceFailsWhileOpen)
            return {false, file.errorString()};
        if (attempt == kReplaceRetryDelaysMs.size())
            return {false, file.errorString() %
                               u" The file could not be replaced, though it was tried again "
                               u"for a while; another program may be holding it open."};
        QThread::msleep(static_cast<unsigned long>(kReplaceRetryDelaysMs[attempt]));
    }
    return {true, QString()};
}

} // namespace Overlay
