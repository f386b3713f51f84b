#include "PathHelpers.h"

#include "PlatformProfile.h"

#include <QDir>
#include <QStringBuilder>

#include <algorithm>

namespace Overlay {

namespace {

QString TrimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

} // namespace

QString FolderOfPath(const QString& path, QChar separator)
{
    const QString trimmed = TrimSpaces(path);
    const qsizetype lastSeparator = trimmed.lastIndexOf(separator);
    if (lastSeparator < 0)
        return {};
    return trimmed.left(lastSeparator + 1);
}

QString FolderOfPath(const QString& path)
{
    return FolderOfPath(path, PlatformProfile::Current().pathSeparator);
}

QString FileBaseName(const QString& path, QChar separator)
{
    const QString name = path.mid(path.lastIndexOf(separator) + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString FileBaseName(const QString& path)
{
    return FileBaseName(path, PlatformProfile::Current().pathSeparator);
}

qsizetype FileNameStart(const QString& path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
}

QString FileNameOf(const QString& path)
{
    return path.mid(FileNameStart(path));
}

QString FileExtension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    QString after = path.mid(dot + 1);
    if (after.contains(QLatin1Char('\\')) || after.contains(QLatin1Char('/')))
        return {};
    return after;
}

// Written out rather than a regular expression: on Windows a regular
// expression used by a reading thread leaves a per-thread stack that the
// thread's exit frees twice.
qsizetype SchemeLength(const QString& link)
{
    const auto isLetter = [](QChar c) {
        return c.isLetter() && c.unicode() < 0x80;
    };
    if (link.isEmpty() || !isLetter(link.front()))
        return 0;
    for (qsizetype i = 1; i < link.size(); ++i) {
        const QChar c = link.at(i);
        if (c == QLatin1Char(':'))
            return i;
        if (!isLetter(c) && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')) &&
            c != QLatin1Char('+') && c != QLatin1Char('.') && c != QLatin1Char('-'))
            return 0;
    }
    return 0;
}

QString NameWindowsRefuses(const QString& name)
{
    const QString quoted = u'"' % name % u'"';
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return quoted % u" ends in a dot or a blank, which Windows drops";
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || QStringView(u"<>:\"/\\|?*").contains(c))
            return quoted % u" holds \"" % c % u"\", which Windows does not allow in a name";
    }
    // The part before the first dot, blanks before it ignored, as Windows reads it.
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList kDevices = {QStringLiteral("CON"),    QStringLiteral("PRN"),
                                         QStringLiteral("AUX"),    QStringLiteral("NUL"),
                                         QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    const bool port =
        stem.size() == 4 &&
        (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
        QStringView(u"0123456789\u00b9\u00b2\u00b3").contains(stem.back());
    if (kDevices.contains(stem) || port)
        return quoted % u" is a name Windows keeps for a device";
    return {};
}

bool IsRelativeLink(const QString& href)
{
    // A scheme or a drive letter makes it absolute.
    return !href.isEmpty() && !href.startsWith(QLatin1Char('/')) &&
           !href.startsWith(QLatin1Char('\\')) && SchemeLength(href) == 0;
}

QString ResolveLink(const QString& href, const QString& folder)
{
    if (!IsRelativeLink(href) || folder.isEmpty())
        return href;
    return QDir::cleanPath(QDir(folder).filePath(href));
}

QString RebaseLink(const QString& href, const QString& fromFolder, const QString& toFolder)
{
    if (!IsRelativeLink(href) || fromFolder.isEmpty() || toFolder.isEmpty() ||
        QDir::cleanPath(fromFolder) == QDir::cleanPath(toFolder))
        return href;
    return QDir(toFolder).relativeFilePath(ResolveLink(href, fromFolder));
}

} // namespace Overlay
