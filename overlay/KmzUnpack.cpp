#include "KmzArchive.h"
#include "KmzEntries.h"
#include "PathHelpers.h"
#include "PictureFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif

namespace Overlay {

using namespace Kmz;

namespace {

// Unknown: the system would not say (the name too long, no permission).
enum class PathKind { Missing, Folder, File, Link, Other, Unknown };

// What is at `path`, the last part not followed if it is a link; when
// Unknown, the system's reason in `why`.
PathKind KindAt(const QString& path, QString& why)
{
#ifdef Q_OS_UNIX
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) {
        if (errno == ENOENT)
            return PathKind::Missing;
        why = qt_error_string(errno);
        return PathKind::Unknown;
    }
    if (S_ISLNK(status.st_mode))
        return PathKind::Link;
    if (S_ISDIR(status.st_mode))
        return PathKind::Folder;
    return S_ISREG(status.st_mode) ? PathKind::File : PathKind::Other;
#else
    Q_UNUSED(why);
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction())
        return PathKind::Link;
    if (!info.exists())
        return PathKind::Missing;
    if (info.isDir())
        return PathKind::Folder;
    return info.isFile() ? PathKind::File : PathKind::Other;
#endif
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// The folders an unpack makes, removed again unless it succeeds: a failed
// unpack leaves nothing behind.
class MadeFolders
{
public:
    MadeFolders() = default;
    MadeFolders(const MadeFolders&) = delete;
    MadeFolders& operator=(const MadeFolders&) = delete;
    MadeFolders(MadeFolders&&) = delete;
    MadeFolders& operator=(MadeFolders&&) = delete;
    ~MadeFolders()
    {
        // Innermost first: each must be empty when it goes.
        while (!made_.isEmpty())
            QDir().rmdir(made_.takeLast());
    }

    // Makes sure `folder` is a real folder, making it when missing; never
    // through a link, which could lead anywhere.
    QString Enter(const QString& folder)
    {
        QString why;
        switch (KindAt(folder, why)) {
        case PathKind::Folder:
            return {};
        case PathKind::Link:
            return QStringLiteral("%1 is a link; Orvinel unpacks only into real folders.")
                .arg(Shown(folder));
        case PathKind::Missing:
            if (!QDir().mkdir(folder))
                return QStringLiteral("The folder %1 cannot be made.").arg(Shown(folder));
            made_.append(folder);
            return {};
        case PathKind::Unknown:
            return QStringLiteral("The folder %1 cannot be made: %2.").arg(Shown(folder), why);
        case PathKind::File:
        case PathKind::Other:
            break;
        }
        return QStringLiteral("%1 is in the way: it is not a folder.").arg(Shown(folder));
    }

    void Keep() { made_.clear(); }

private:
    QStringList made_;
};

// Streams the entry to `target` in pieces, replacing it whole.
WriteResult WriteEntry(EntryDevice& device, const QString& target)
{
    QString why;
    switch (KindAt(target, why)) {
    case PathKind::Missing:
    case PathKind::File:
        break;
    case PathKind::Link:
        // QSaveFile would write to wherever the link points.
        return {false, QStringLiteral("%1 is a link; Orvinel does not unpack through links.")
                           .arg(Shown(target))};
    case PathKind::Folder:
        return {false,
                QStringLiteral("A folder of that name is in the way: %1.").arg(Shown(target))};
    case PathKind::Other:
        return {false,
                QStringLiteral("%1 is in the way: it is not an ordinary file.").arg(Shown(target))};
    case PathKind::Unknown:
        return {false, QStringLiteral("%1 cannot be written: %2.").arg(Shown(target), why)};
    }
    QSaveFile file(target);
    // Unbuffered, so that a short write is seen here (see AtomicFile).
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false,
                QStringLiteral("%1 cannot be written: %2.").arg(Shown(target), file.errorString())};
    QByteArray piece(qsizetype(64) * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 got = device.read(piece.data(), piece.size());
        if (got < 0)
            return {false,
                    QStringLiteral("The archive cannot be unpacked: %1.").arg(device.problem())};
        if (got == 0)
            break;
        if (file.write(piece.constData(), got) != got)
            return {
                false,
                QStringLiteral("%1 cannot be written: %2.").arg(Shown(target), file.errorString())};
    }
    if (!file.commit())
        return {false,
                QStringLiteral("%1 cannot be written: %2.").arg(Shown(target), file.errorString())};
    return {true, QString()};
}

} // namespace

WriteResult UnpackKmzEntry(const QString& kmzPath, const QString& entry, QString& unpackedPath,
                           qint64 maxUnpacked)
{
    unpackedPath.clear();
    // Checked again here, whatever the caller read before: the archive may
    // have been replaced since.
    const QString relative = UnpackName(entry);
    if (relative.isEmpty())
        return {false,
                QStringLiteral("The entry \"%1\" would unpack outside its folder.").arg(entry)};
    if (!IsPictureFileName(relative))
        return {false, QStringLiteral("The entry \"%1\" is not a picture Orvinel can show; only "
                                      "pictures are unpacked.")
                           .arg(entry)};
    // Refused on every platform: the same archive must unpack the same way
    // wherever it is opened.
    for (const QString& part : relative.split(QLatin1Char('/'))) {
        if (const QString why = NameWindowsRefuses(part); !why.isEmpty())
            return {false,
                    QStringLiteral("The entry \"%1\" cannot be unpacked: %2.").arg(entry, why)};
    }
    const Archive archive = OpenArchive(kmzPath, maxUnpacked);
    if (!archive.problem.isEmpty())
        return {false, QStringLiteral("The archive cannot be unpacked: %1.").arg(archive.problem)};
    const Entry* found = FindEntry(archive, entry);
    if (found == nullptr)
        return {false, QStringLiteral("The archive holds no file \"%1\".").arg(entry)};
    if (found->encrypted)
        return {false, QStringLiteral("The picture \"%1\" is encrypted (password-protected) in "
                                      "the archive, which Orvinel cannot unpack.")
                           .arg(entry)};
    zip_file_t* file = zip_fopen_index(archive.zip.get(), found->index, 0);
    if (file == nullptr)
        return {false, QStringLiteral("The archive cannot be unpacked: %1.")
                           .arg(ZipProblem(zip_get_error(archive.zip.get())))};
    EntryDevice device(file, found->size);

    MadeFolders folders;
    QString folder = KmzUnpackFolder(kmzPath);
    QStringList parts = relative.split(QLatin1Char('/'));
    const QString name = parts.takeLast();
    QString problem = folders.Enter(folder);
    for (const QString& part : parts) {
        if (!problem.isEmpty())
            break;
        folder += QLatin1Char('/') + part;
        problem = folders.Enter(folder);
    }
    if (!problem.isEmpty())
        return {false, problem};
    const QString target = folder + QLatin1Char('/') + name;
    WriteResult written = WriteEntry(device, target);
    if (written.ok) {
        folders.Keep();
        unpackedPath = target;
    }
    return written;
}

} // namespace Overlay
