#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What a file held when Orvinel last read or wrote it, to tell whether
// another program has written it since: its size and time, and its bytes
// (shared with the read or the write, so keeping them costs no copy).
struct FileStamp
{
    qint64 size = -1;
    QDateTime modified;
    QByteArray bytes;

    bool valid() const { return size >= 0; }
};

namespace Overlay {

// The stamp of `path` just after `bytes` were read from it or written to it.
FileStamp StampOf(const QString& path, const QByteArray& bytes);

// Whether `path` still holds what `stamp` says: the same size and time, or,
// when only the time moved, the same bytes. A file that is gone holds
// nothing to lose, and what stands in its place is the write's to tell.
bool StillAsStamped(const QString& path, const FileStamp& stamp);

} // namespace Overlay
