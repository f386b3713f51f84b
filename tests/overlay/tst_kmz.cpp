#include "KmzArchive.h"
#include "Vocabulary.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace {

struct ZipEntry
{
    const char* name;
    QByteArray bytes;
    zip_uint32_t unixMode = 0100644;
};

// An archive made in memory with libzip, entries in the order given.
QByteArray MakeZip(const QList<ZipEntry>& entries)
{
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, nullptr);
    zip_t* zip = zip_open_from_source(memory, ZIP_TRUNCATE, nullptr);
    zip_source_keep(memory);
    for (const ZipEntry& e : entries) {
        const zip_int64_t i = zip_file_add(
            zip, e.name,
            zip_source_buffer(zip, e.bytes.constData(), zip_uint64_t(e.bytes.size()), 0), 0);
        zip_file_set_external_attributes(zip, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX,
                                         e.unixMode << 16U);
    }
    zip_close(zip);
    zip_stat_t stat;
    zip_source_stat(memory, &stat);
    QByteArray bytes(qsizetype(stat.size), '\0');
    zip_source_open(memory);
    zip_source_read(memory, bytes.data(), stat.size);
    zip_source_close(memory);
    zip_source_free(memory);
    return bytes;
}

// The first entry's uncompressed size, in its local and central headers.
QByteArray WithDeclaredSize(QByteArray zip, quint32 size)
{
    const qsizetype central = zip.indexOf("PK\x01\x02");
    for (const qsizetype at : {qsizetype(22), central + 24})
        for (int i = 0; i < 4; ++i)
            zip[at + i] = char((size >> (8 * i)) & 0xffU);
    return zip;
}

OverlaySettings Settings(const QString& link)
{
    OverlaySettings s;
    s.txtOverlay_title = QStringLiteral("Harbour & legend");
    s.txtDraw_order = s.txtRotation = QStringLiteral("3");
    s.txtOverlay_x = s.txtOverlay_y = s.txtScreen_x = s.txtScreen_y = QStringLiteral("0.5");
    for (const OverlayPoint& point : kOverlayPoints)
        s.*point.xUnits = s.*point.yUnits = Vocabulary::kFraction;
    s.comboSize_x = Vocabulary::kMaintainNativeSize;
    s.comboSize_y = Vocabulary::kMaintainAspect;
    s.OverlayColor = QStringLiteral("80ffffff");
    s.GraphicFilePath = link;
    return s;
}

QByteArray Kml(const QByteArray& inside = QByteArray(3000, ' '))
{
    return "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><ScreenOverlay>" + inside +
           "</ScreenOverlay></kml>";
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class KmzTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportThenOpen_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("method");
        QTest::newRow("png stored") << "/maps/legend.png"
                                    << "files/legend.png" << ZIP_CM_STORE;
        QTest::newRow("drive, capitals, UTF-8") << "C:\\maps\\Légende.JPG"
                                                << "files/Légende.JPG" << ZIP_CM_STORE;
        QTest::newRow("bmp deflated") << "legend.bmp"
                                      << "files/legend.bmp" << ZIP_CM_DEFLATE;
        QTest::newRow("web address") << "https://example.org/l.png" << QString() << -1;
        QTest::newRow("no picture") << QString() << QString() << -1;
    }
    void exportThenOpen()
    {
        QFETCH(QString, link);
        QFETCH(QString, entry);
        QFETCH(int, method);
        QTemporaryDir dir;
        const QString kmz = dir.filePath(QStringLiteral("a.kmz"));
        const QString pictureFile = dir.filePath(QStringLiteral("picture"));
        QByteArray picture(70000, '\0');
        for (char& c : picture)
            c = char(QRandomGenerator::global()->bounded(256));
        QVERIFY(Overlay::WriteFileAtomically(pictureFile, picture).ok);

        const KmzExport exported = Overlay::WriteKmz(kmz, Settings(link), pictureFile);
        QVERIFY2(exported.result.ok, qPrintable(exported.result.error));
        QCOMPARE(exported.pictureEmbedded, !entry.isEmpty());
        const OpenedKmz opened = Overlay::ReadKmz(kmz);
        QVERIFY2(opened.overlay.ok(), qPrintable(opened.overlay.problem));
        QCOMPARE(opened.overlay.settings, Settings(entry.isEmpty() ? link : entry));
        QCOMPARE(opened.pictureEntry, entry);
        QString unpacked;
        if (!entry.isEmpty()) {
            QVERIFY(Overlay::UnpackKmzEntry(kmz, entry, unpacked).ok);
            QCOMPARE(unpacked, dir.filePath(QStringLiteral("a_files/") + entry));
            QCOMPARE(ReadFile(unpacked), picture);
        }

        // libzip's own view: entry order, methods, and doc.kml's href.
        zip_t* zip = zip_open(QFile::encodeName(kmz).constData(), ZIP_RDONLY, nullptr);
        QCOMPARE(zip_get_num_entries(zip, 0), entry.isEmpty() ? 1 : 2);
        zip_stat_t stat;
        QVERIFY(zip_stat_index(zip, 0, 0, &stat) == 0 && stat.comp_method == ZIP_CM_DEFLATE);
        QByteArray kml(qsizetype(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(zip, 0, 0);
        QCOMPARE(zip_fread(file, kml.data(), stat.size), qint64(stat.size));
        zip_fclose(file);
        if (!entry.isEmpty()) {
            QVERIFY(zip_stat_index(zip, 1, 0, &stat) == 0);
            QCOMPARE(QString::fromUtf8(stat.name), entry);
            QCOMPARE(int(stat.comp_method), method);
        }
        zip_discard(zip);
        QXmlStreamReader xml(kml);
        QString href = QStringLiteral("none");
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("href"))
                href = xml.readElementText();
        QVERIFY(!xml.hasError());
        QCOMPARE(href, entry.isEmpty() ? link : entry);

        if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
            QSKIP("unzip is not installed");
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-tq"), kmz});
        QVERIFY(unzip.waitForFinished() && unzip.exitCode() == 0);
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), kmz});
        QVERIFY(unzip.waitForFinished());
        QVERIFY(unzip.readAllStandardOutput().startsWith("doc.kml\n"));
    }

    void badArchives_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        const ZipEntry kml{"doc.kml", Kml()};
        const QByteArray good = MakeZip({kml, {"files/a.png", QByteArray(5000, 'x')}});
        QTest::newRow("not a zip") << QByteArray("PK, but no") << "it is not a KMZ archive (";
        QTest::newRow("cut short") << good.left(good.size() - 30) << "it is a cut-short or damaged";
        QTest::newRow("no KML") << MakeZip({{"a.png", "x"}}) << "it holds no KML file";
        QTest::newRow("KML not XML")
            << MakeZip({{"a.KML", "plain text"}}) << "it is not an XML file";
        for (const char* name : {"../x.png", "a/../../x", "/etc/x", R"(C:\x)", R"(a\..\..\x)"})
            QTest::addRow("entry %s", name)
                << MakeZip({kml, {name, "x"}}) << "which would unpack outside its folder";
        QTest::newRow("symbolic link")
            << MakeZip({kml, {"files/a.png", "/etc/passwd", 0120777}}) << "a link or other";
        QTest::newRow("100 times its size")
            << MakeZip({kml, {"files/a.bmp", QByteArray(2000000, '\0')}})
            << "it would unpack to more than";
        QTest::newRow("more than its headers say")
            << WithDeclaredSize(MakeZip({kml}), 100) << "holds more than its headers say";
    }
    void badArchives()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        const QString got = Overlay::ReadKmzBytes(bytes).overlay.problem;
        QVERIFY2(got.contains(problem), qPrintable(got));
        QTemporaryDir dir;
        const QString kmz = dir.filePath(QStringLiteral("a.kmz"));
        QVERIFY(Overlay::WriteFileAtomically(kmz, bytes).ok);
        QCOMPARE(Overlay::ReadKmz(kmz).overlay.problem, got);
        QString unpacked;
        for (const char* entry : {"doc.kml", "../x.png"})
            QVERIFY(!Overlay::UnpackKmzEntry(kmz, QString::fromUtf8(entry), unpacked).ok);
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);
    }

    void failedExportKeepsEarlierArchive_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("error");
        QTest::newRow("picture gone") << "gone"
                                      << "/gone.png cannot be read: No such file or directory.";
        QTest::newRow("folder in the way") << "folder"
                                           << "A folder of that name is in the way";
        QTest::newRow("folder read-only") << "read-only"
                                          << "The archive cannot be written";
    }
    void failedExportKeepsEarlierArchive()
    {
        QFETCH(QString, failure);
        QFETCH(QString, error);
        if (failure == QLatin1String("read-only") && ::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        const QString kmz =
            dir.filePath(failure == QLatin1String("folder") ? QStringLiteral("a_files")
                                                            : QStringLiteral("a.kmz"));
        const QString pictureFile = dir.filePath(QStringLiteral("gone.png"));
        QVERIFY(Overlay::WriteFileAtomically(pictureFile, "picture").ok);
        QVERIFY(Overlay::WriteKmz(dir.filePath(QStringLiteral("a.kmz")),
                                  Settings(QStringLiteral("gone.png")), pictureFile)
                    .result.ok);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("a_files")));
        const QByteArray earlier = ReadFile(dir.filePath(QStringLiteral("a.kmz")));
        if (failure == QLatin1String("gone"))
            QVERIFY(QFile::remove(pictureFile));
        if (failure == QLatin1String("read-only"))
            QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0);

        const KmzExport exported =
            Overlay::WriteKmz(kmz, Settings(QStringLiteral("gone.png")), pictureFile);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        QVERIFY2(exported.result.error.contains(error), qPrintable(exported.result.error));
        QVERIFY(!exported.pictureEmbedded);
        QCOMPARE(ReadFile(dir.filePath(QStringLiteral("a.kmz"))), earlier);
        // Nothing left behind: the archive, the folder, and the picture unless it was removed.
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
                 failure == QLatin1String("gone") ? 2 : 3);
    }
};

QTEST_GUILESS_MAIN(KmzTest)
#include "tst_kmz.moc"
