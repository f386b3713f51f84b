#pragma once

// What a standard XML parser reads back from a KML file, flattened: "name" ->
// text for each element that holds no other (an empty point element reads as
// ""), "name@attribute" -> value. Every element occurs at most once in the
// files this program writes.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QXmlStreamReader>

struct ParsedKml
{
    QHash<QString, QString> values;
    QString error; // empty when the file is well formed
};

inline ParsedKml ParseKml(const QByteArray& bytes)
{
    ParsedKml parsed;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        for (const QXmlStreamAttribute& attribute : xml.attributes())
            parsed.values[name + QLatin1Char('@') + attribute.name().toString()] =
                attribute.value().toString();
        static const QStringList containers = {
            QStringLiteral("kml"), QStringLiteral("ScreenOverlay"), QStringLiteral("Icon"),
            QStringLiteral("NetworkLink"), QStringLiteral("Url")};
        if (!containers.contains(name))
            parsed.values[name] = xml.readElementText();
    }
    if (xml.hasError())
        parsed.error = xml.errorString();
    return parsed;
}

// The file at `path` read back; nothing at all when it is missing or not well
// formed, so any value a test then asks for is empty.
inline QHash<QString, QString> ParseKmlFile(const QString& path)
{
    QFile file(path);
    const ParsedKml parsed =
        ParseKml(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    return parsed.error.isEmpty() ? parsed.values : QHash<QString, QString>();
}
