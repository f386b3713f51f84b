#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <memory>

// A picture file the user named, open for reading, or why it could not be.
struct OpenedPicture
{
    // Open for reading; null when refused.
    std::unique_ptr<QFile> file;
    // Why not, in a few words ("not an ordinary file", or the system's
    // reason); empty when the file is open.
    QString problem;

    explicit operator bool() const { return file != nullptr; }
};

namespace Overlay {

// Opens `path` for reading only when it is an ordinary file. Every place that
// reads a picture the user named goes through here: a pipe or device under a
// picture's name would otherwise block the reader, and with it the window,
// for ever. Never waits on such a file, not even to open it.
OpenedPicture OpenPictureFile(const QString& path);

// The picture types Orvinel shows, as lower-case extensions in the order the
// picture dialog lists them. A KMZ unpacks only files of these types.
const QStringList& PictureExtensions();

// Whether `path` ends in one of those extensions, in any case.
bool IsPictureFileName(const QString& path);

} // namespace Overlay
