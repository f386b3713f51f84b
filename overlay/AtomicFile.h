#pragma once

#include <QByteArray>
#include <QString>

struct WriteResult
{
    bool ok = false;
    // Why the write failed, in words a person can read; empty on success.
    QString error;
    // Not written: another program wrote the file since Orvinel last read
    // or wrote it.
    bool changedByOther = false;
};

namespace Overlay {

// Replaces the file at `path` with `bytes` as a whole: the bytes go to a
// temporary file in the same folder, which is then renamed over the target.
// A reader never sees a half-written file, and a failed write leaves the
// earlier file as it was.
WriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace Overlay
