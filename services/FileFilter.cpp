#include "FileFilter.h"

#include <QStringList>

namespace {

QString JoinPatterns(const QString& patterns)
{
    QStringList kept;
    for (const QString& pattern : patterns.split(u';')) {
        const QString trimmed = pattern.trimmed();
        if (!trimmed.isEmpty())
            kept.append(trimmed);
    }
    // A description without patterns shows every file, as the dialog does
    // without a filter.
    return kept.isEmpty() ? QStringLiteral("*") : kept.join(u' ');
}

} // namespace

QString ToQtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    if (parts.size() == 1)
        return filter.trimmed().isEmpty() ? QString() : JoinPatterns(filter);

    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = JoinPatterns(parts[i + 1]);
        entries.append(description.isEmpty() ? patterns
                                             : QString(description % u" (" % patterns % u')'));
    }
    // A last description left without patterns names nothing; it is dropped.
    return entries.join(u";;");
}
