#pragma once

#include <QChar>
#include <QString>

namespace Overlay {

// Take file paths apart as text; the file system is never touched.
// `separator` is the platform profile's path separator unless a caller names
// another one (the tests run every profile on every platform).

// The folder of `path` ending in the separator, or empty. Spaces (only
// spaces) are trimmed at both ends first.
QString FolderOfPath(const QString& path, QChar separator);
QString FolderOfPath(const QString& path);

// The file name without folder and without anything from its first dot on.
QString FileBaseName(const QString& path, QChar separator);
QString FileBaseName(const QString& path);

// Where the file's name starts: after the last "\\" or "/", both counting on
// every platform, as a path may come from another platform's file.
qsizetype FileNameStart(const QString& path);
// The file's name: the text from FileNameStart on.
QString FileNameOf(const QString& path);

// The text after the last dot of the whole path; empty when there is none or
// when a "\" or "/" follows it. Both separators count on every platform.
QString FileExtension(const QString& path);

// How many characters come before the colon of a leading scheme or drive
// letter ("https:" 5, "C:" 1); 0 when the link starts with neither.
qsizetype SchemeLength(const QString& link);

// A link with a scheme of two letters or more ("http:", "https:"); a single
// letter and a colon is a drive.
inline bool IsWebAddress(const QString& link)
{
    return SchemeLength(link) >= 2;
}

// Why Windows cannot take `name` as one file or folder name, as a phrase
// ("\"CON.png\" is a name Windows keeps for a device"); empty when it can. A
// device name opens the device, a ":" writes a hidden stream, and a final dot
// or blank is dropped, so the file would land under another name.
QString NameWindowsRefuses(const QString& name);

// A picture link written relative to the overlay file's folder: not empty, not
// rooted ("/", "\\"), no drive letter and no scheme ("C:", "http:").
bool IsRelativeLink(const QString& href);

// The file a link names, for a file in `folder`: relative links are taken
// from that folder, everything else stands as written.
QString ResolveLink(const QString& href, const QString& folder);

// A relative link from `fromFolder` rewritten so that, from `toFolder`, it
// still names the same file; other links unchanged. Touches no file.
QString RebaseLink(const QString& href, const QString& fromFolder, const QString& toFolder);

} // namespace Overlay
