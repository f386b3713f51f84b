#pragma once

// Shared by the benchmarks that open files: a large KML made piece by piece,
// and the process's resident memory (Linux).

#include <QByteArray>
#include <QFile>
#include <QString>

// Peak and current resident size in kB, from /proc/self/status (Linux).
inline long long StatusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Resets the peak resident size to the current one, so the next peak is the
// reader's own (Linux 4.0 and later).
inline bool ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// Written piece by piece so the file never sits in this process's memory.
inline bool WriteBigKml(const QString& path, int placemarks)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n"
               "<Style id=\"pin\"><IconStyle><Icon><href>pin.png</href></Icon></IconStyle>"
               "</Style>\n");
    const QByteArray description =
        "Survey point on the northern ridge, measured twice with the differential receiver. "
        "Access by the forest road from the car park, then thirty minutes on foot along the "
        "marked trail; the marker is a brass disc set in concrete beside the cairn &amp; sign. "
        "Last visited in the spring campaign, found intact.";
    for (int i = 0; i < placemarks; ++i) {
        const QByteArray n = QByteArray::number(i);
        const QByteArray lon = QByteArray::number(6.0 + (i % 1000) * 0.001, 'f', 6);
        const QByteArray lat = QByteArray::number(46.0 + (i - i % 1000) * 0.000001, 'f', 6);
        file.write("<Placemark>\n<name>Survey point " + n + "</name>\n<description>" + description +
                   "</description>\n<styleUrl>#pin</styleUrl>\n"
                   "<Point><coordinates>" +
                   lon + ',' + lat +
                   ",412.5</coordinates></Point>\n"
                   "</Placemark>\n");
    }
    file.write("<ScreenOverlay>\n<name>Legend</name>\n<color>ccffffff</color>"
               "<Icon>\n<href>legend.png</href>\n</Icon>\n"
               "<overlayXY x=\"0\" y=\"1\" xunits=\"fraction\" yunits=\"fraction\" />\n"
               "<screenXY x=\"10\" y=\"10\" xunits=\"pixels\" yunits=\"insetPixels\" />\n"
               "<size x=\"-1\" y=\"-1\" xunits=\"fraction\" yunits=\"fraction\" />\n"
               "</ScreenOverlay>\n</Document>\n</kml>\n");
    return file.error() == QFile::NoError;
}
