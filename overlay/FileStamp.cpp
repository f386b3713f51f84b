#include "FileStamp.h"

#include "PictureFile.h"

#include <QFileInfo>

namespace Overlay {

FileStamp StampOf(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    return {info.size(), info.lastModified(), bytes};
}

bool StillAsStamped(const QString& path, const FileStamp& stamp)
{
    const QFileInfo info(path);
    // Gone, or no file at all now: the write says what stands there.
    if (!info.isFile())
        return true;
    if (info.size() != stamp.size)
        return false;
    if (info.lastModified() == stamp.modified)
        return true;
    // Touched, or rewritten with other bytes of the same length.
    const OpenedPicture file = OpenPictureFile(path);
    return file && file.file->readAll() == stamp.bytes;
}

} // namespace Overlay
