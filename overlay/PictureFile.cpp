#include "PictureFile.h"

#include "PathHelpers.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <qt_windows.h>

#include <io.h>
#endif

namespace Overlay {

namespace {

const QString kNotOrdinary = QStringLiteral("not an ordinary file");

OpenedPicture Refused(const QString& problem)
{
    return {nullptr, problem};
}

} // namespace

#ifdef Q_OS_UNIX

OpenedPicture OpenPictureFile(const QString& path)
{
    // Non-blocking, so that opening a pipe returns at once instead of
    // waiting for a writer; the type is then read from the open file itself,
    // so nothing can be swapped in between a check and the open.
    const QByteArray native = QFile::encodeName(path);
    int fd = -1;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return Refused(qt_error_string(errno));

    struct stat status = {};
    const bool statted = ::fstat(fd, &status) == 0;
    const int statError = errno;
    if (!statted || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Refused(statted ? kNotOrdinary : qt_error_string(statError));
    }
    // An ordinary file: reads go back to the usual kind.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        return Refused(qt_error_string(error));
    }

    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        // Not taken over on failure: still ours to close.
        ::close(fd);
        return Refused(file->errorString());
    }
    return {std::move(file), QString()};
}

#else

OpenedPicture OpenPictureFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return Refused(kNotOrdinary);
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        return Refused(file->errorString());
    // A device name ("\\.\CON", "NUL", "COM1" in some forms of path) opens
    // the device itself, which may wait for input for ever.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(file->handle()));
    if (GetFileType(handle) != FILE_TYPE_DISK)
        return Refused(kNotOrdinary);
    return {std::move(file), QString()};
}

#endif

const QStringList& PictureExtensions()
{
    static const QStringList kExtensions = {
        QStringLiteral("bmp"), QStringLiteral("jpg"),  QStringLiteral("gif"),
        QStringLiteral("tif"), QStringLiteral("jpeg"), QStringLiteral("tiff"),
        QStringLiteral("tga"), QStringLiteral("pgm"),  QStringLiteral("dds"),
        QStringLiteral("ppm"), QStringLiteral("png")};
    return kExtensions;
}

bool IsPictureFileName(const QString& path)
{
    return PictureExtensions().contains(FileExtension(path).toLower());
}

} // namespace Overlay
