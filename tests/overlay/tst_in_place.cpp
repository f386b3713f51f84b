// Editing in place, on files as other programs write them and inside a KMZ.
//
// Files as other programs write them: libkml (kmldom::SerializePretty), GDAL
// (ogr2ogr -f KML, from points with attributes) and pykml (lxml, pretty
// printed). Each opens in place, writes back unchanged, and an edit of its
// overlay changes only the lines of the elements edited. GDAL writes no
// screen overlay: Orvinel adds one first, keeping every line GDAL wrote.

#include "KmlSplice.h"
#include "KmzArchive.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

namespace {

// The lines of `after` that `before` does not hold, counting repeats: what
// `git diff` shows as added.
QByteArrayList AddedLines(const QByteArray& before, const QByteArray& after)
{
    QHash<QByteArray, int> held;
    for (const QByteArray& line : before.split('\n'))
        ++held[line];
    QByteArrayList added;
    for (const QByteArray& line : after.split('\n'))
        if (held[line]-- <= 0)
            added << line;
    return added;
}

// Every entry of a zip archive in memory, by name, as its bytes; `store`
// makes one from such a map.
QHash<QString, QByteArray> Entries(const QByteArray& archive)
{
    QHash<QString, QByteArray> entries;
    zip_source_t* source =
        zip_source_buffer_create(archive.constData(), zip_uint64_t(archive.size()), 0, nullptr);
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, nullptr);
    for (zip_int64_t i = 0; zip != nullptr && i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(zip, zip_uint64_t(i), 0, &stat);
        QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
        zip_file_t* file = zip_fopen_index(zip, zip_uint64_t(i), 0);
        zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        entries.insert(QString::fromUtf8(stat.name), bytes);
    }
    if (zip != nullptr)
        zip_discard(zip);
    return entries;
}

bool Store(const QString& path, const QList<std::pair<const char*, QByteArray>>& entries)
{
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    // Dated long ago, as a rewrite would date them now.
    for (const auto& [name, bytes] : entries)
        zip_file_set_mtime(
            zip,
            zip_uint64_t(zip_file_add(
                zip, name, zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0),
                0)),
            time_t(1000000000), 0);
    return zip_close(zip) == 0;
}

} // namespace

class InPlaceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editedInPlace_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("libkml") << "written-by-libkml.kml";
        QTest::newRow("GDAL") << "written-by-gdal.kml";
        QTest::newRow("pykml") << "written-by-pykml.kml";
    }
    void editedInPlace()
    {
        QFETCH(QString, file);
        QFile fixture(u":/data/" + file);
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        QByteArray bytes = fixture.readAll();
        if (!bytes.contains("<ScreenOverlay>")) {
            OverlaySettings logo;
            logo.title = QStringLiteral("Logo");
            logo.colour = QStringLiteral("ffffffff");
            logo.picture = QStringLiteral("logo.png");
            QString problem;
            const std::optional<QString> added =
                Overlay::WithOverlayAdded(QString::fromUtf8(bytes), logo, false, problem);
            QVERIFY2(added, qPrintable(problem));
            const QByteArray withLogo = added->toUtf8();
            QVERIFY(AddedLines(withLogo, bytes).isEmpty()); // every line GDAL wrote is kept
            bytes = withLogo;
        }

        const Overlay::KmlInPlaceRead read = Overlay::ReadKmlInPlace(bytes);
        QVERIFY(read.inPlace && read.overlay.ok());
        QCOMPARE(Overlay::InPlaceBytes(*read.inPlace, read.overlay.settings), bytes);
        OverlaySettings now = read.overlay.settings;
        now.screenX = QStringLiteral("0.5");
        now.colour = QStringLiteral("80ffffff");
        const QByteArray edited = Overlay::InPlaceBytes(*read.inPlace, now);
        const QByteArrayList added = AddedLines(bytes, edited);
        QCOMPARE(added.size(), 2);
        QVERIFY(added.join().contains("<screenXY x=\"0.5\""));
        QVERIFY(added.join().contains("<color>80ffffff</color>"));
        const QByteArrayList removed = AddedLines(edited, bytes);
        QCOMPARE(removed.size(),
                 int(!read.overlay.settings.screenX.isEmpty()) + int(bytes.contains("<color>")));
        for (const QByteArray& line : removed)
            QVERIFY2(line.contains("<screenXY") || line.contains("<color>"), line);
        QCOMPARE(Overlay::ReadKmlInPlace(edited).overlay.settings, now);
    }

    // Inside a KMZ only the KML entry changes; every other entry keeps its
    // bytes, an unchanged overlay writes the archive as read, and a picture
    // from outside goes in under files/, linked from the entry's folder.
    void kmzEditedInPlace()
    {
        QTemporaryDir dir;
        const QString kmz = dir.filePath(QStringLiteral("map.kmz"));
        const QByteArray kml = "<kml><Document><Placemark/><ScreenOverlay><name>Key</name>"
                               "<Icon><href>../files/a.gif</href></Icon></ScreenOverlay>"
                               "</Document></kml>";
        const QByteArray gif = "GIF89a\x01\x00\x01\x00\x00\x00\x00;";
        QVERIFY(Store(kmz, {{"doc.kml", "<kml><NetworkLink><Link><href>layers/key.kml</href>"
                                        "</Link></NetworkLink></kml>"},
                            {"layers/key.kml", kml},
                            {"files/a.gif", gif},
                            {"notes.txt", "kept"}}));
        const OpenedKmz opened = Overlay::ReadAnyOverlayFile(kmz);
        QVERIFY(opened.inPlace && opened.inPlace->inArchive());
        QCOMPARE(opened.pictureEntry, "files/a.gif");
        OverlaySettings now = opened.overlay.settings;
        now.outputFile = kmz;
        QString problem;
        QFile read(kmz);
        QVERIFY(read.open(QIODevice::ReadOnly));
        QCOMPARE(Overlay::KmzInPlaceBytes(*opened.inPlace, now, problem), read.readAll());

        const QString outside = dir.filePath(QStringLiteral("b.gif"));
        QFile picture(outside);
        QVERIFY(picture.open(QIODevice::WriteOnly) && picture.write(gif + "b") > 0);
        picture.close();
        now.title = QStringLiteral("Rain");
        now.picture = outside;
        const QHash<QString, QByteArray> entries =
            Entries(Overlay::KmzInPlaceBytes(*opened.inPlace, now, problem));
        QCOMPARE(problem, QString());
        QCOMPARE(entries.size(), 5);
        for (const char* kept : {"doc.kml", "files/a.gif", "notes.txt"})
            QCOMPARE(entries.value(QLatin1String(kept)),
                     Entries(opened.inPlace->archive).value(QLatin1String(kept)));
        QCOMPARE(entries.value("files/b.gif"), gif + "b");
        QByteArray edited = kml;
        edited.replace("Key", "Rain").replace("../files/a.gif", "../files/b.gif");
        QCOMPARE(entries.value("layers/key.kml"), edited);

        now.picture = dir.filePath(QStringLiteral("gone.gif"));
        QVERIFY(Overlay::KmzInPlaceBytes(*opened.inPlace, now, problem).isEmpty());
        QVERIFY2(problem.contains("gone.gif"), qPrintable(problem));
    }
};

QTEST_GUILESS_MAIN(InPlaceTest)
#include "tst_in_place.moc"
