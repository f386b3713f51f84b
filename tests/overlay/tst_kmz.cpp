#include "KmlWriter.h"
#include "KmzArchive.h"
#include "PictureFile.h"
#include "Vocabulary.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <zip.h>

namespace {

struct ZipEntry
{
    const char* name;
    QByteArray bytes;
    zip_uint32_t unixMode = 0100644;
    bool encrypted = false;
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
        if (e.encrypted)
            zip_file_set_encryption(zip, zip_uint64_t(i), ZIP_EM_AES_256, "secret");
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

// A field of the first entry in its local and central headers, little-endian.
enum Field : std::uint8_t { Method, Checksum, Size };
QByteArray WithField(QByteArray zip, Field field, quint32 value)
{
    const qsizetype local[] = {8, 14, 22};
    const qsizetype central[] = {10, 16, 24};
    const int width = field == Method ? 2 : 4;
    for (const qsizetype at : {local[field], zip.indexOf("PK\x01\x02") + central[field]})
        for (int i = 0; i < width; ++i)
            zip[at + i] = char((value >> (8 * i)) & 0xffU);
    return zip;
}

QByteArray RandomBytes(qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// What a folder holds, all the way down, links listed but not followed.
QStringList Tree(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next().mid(folder.size());
    found.sort();
    return found;
}

OverlaySettings Settings(const QString& link)
{
    OverlaySettings s;
    s.title = QStringLiteral("Harbour & legend");
    s.drawOrder = s.rotation = QStringLiteral("3");
    s.overlayX = s.overlayY = s.screenX = s.screenY = QStringLiteral("0.5");
    for (const OverlayPoint& point : kOverlayPoints)
        s.*point.xUnits = s.*point.yUnits = Vocabulary::kFraction;
    s.sizeX = Vocabulary::kMaintainNativeSize;
    s.sizeY = Vocabulary::kMaintainAspect;
    s.colour = QStringLiteral("80ffffff");
    s.picture = link;
    return s;
}

QByteArray Kml(const QByteArray& inside = QByteArray(3000, ' '))
{
    return "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><ScreenOverlay>" + inside +
           "</ScreenOverlay></kml>";
}

QByteArray OverlayKml(const QByteArray& name, const QByteArray& href)
{
    return Kml("<name>" + name + "</name><Icon><href>" + href + "</href></Icon>");
}

// A document with only network links, as GDAL writes doc.kml.
QByteArray LinkKml(const QList<QByteArray>& hrefs)
{
    QByteArray links;
    for (const QByteArray& href : hrefs)
        links += "<NetworkLink><Link><href>" + href + "</href></Link></NetworkLink>";
    return "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>" + links + "</Document></kml>";
}

// doc.kml, then network links `depth` deep, each from a folder of its own, to
// an overlay whose picture is files/pic.png.
QList<ZipEntry> LinkChain(int depth)
{
    static const char* const names[] = {"doc.kml", "1/a.kml", "2/a.kml",
                                        "3/a.kml", "4/a.kml", "5/a.kml"};
    QList<ZipEntry> entries;
    for (int i = 0; i < depth; ++i)
        entries.append({names[i], LinkKml({(i == 0 ? "" : "../") + QByteArray(names[i + 1])})});
    entries.append({names[depth], OverlayKml("found", "../files/pic.png")});
    return entries << ZipEntry{"files/pic.png", "picture"};
}

// The system's own words for a file that is not there.
QString MissingFileWords()
{
    QFile missing(QDir::currentPath() + QStringLiteral("/no-such-file"));
    (void)missing.open(QIODevice::ReadOnly);
    return missing.errorString();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// `bytes` as the file `name` in `dir`; its path, or nothing when it could not be written.
QString Stored(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    return Overlay::WriteFileAtomically(path, bytes).ok ? path : QString();
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
        QTest::addColumn<QByteArray>("picture");
        // The archive's unpacked size limit; 0 for Orvinel's own.
        QTest::addColumn<qint64>("limit");
        const QByteArray random = RandomBytes(70000);
        QTest::newRow("png stored") << "/maps/legend.png"
                                    << "files/legend.png" << ZIP_CM_STORE << random << 0LL;
        QTest::newRow("drive, capitals, UTF-8")
            << "C:\\maps\\Légende.JPG"
            << "files/Légende.JPG" << ZIP_CM_STORE << random << 0LL;
        QTest::newRow("web address")
            << "https://example.org/l.png" << QString() << -1 << random << 0LL;
        QTest::newRow("no picture") << QString() << QString() << -1 << random << 0LL;
        for (const QString& extension : Overlay::PictureExtensions()) {
            const bool stored = QStringList{"jpg", "jpeg", "png", "gif"}.contains(extension);
            QTest::addRow("tiny %s", qPrintable(extension))
                << "legend." + extension << "files/legend." + extension
                << (stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE) << RandomBytes(17) << 0LL;
        }
        // Deflates some 200 to 1, past any ratio a zip-bomb guard might set.
        QImage white(800, 600, QImage::Format_RGB32);
        white.fill(Qt::white);
        QBuffer bmp;
        QVERIFY(bmp.open(QIODevice::WriteOnly) && white.save(&bmp, "BMP"));
        QTest::newRow("white 800x600 bmp")
            << "white.bmp"
            << "files/white.bmp" << ZIP_CM_DEFLATE << bmp.data() << 0LL;
        // The limit counts doc.kml too: here the picture fills the rest exactly.
        const qint64 kml = Overlay::OverlayFileBytes(Settings("files/full.png")).bytes.size();
        QTest::newRow("picture at the limit")
            << "full.png"
            << "files/full.png" << ZIP_CM_STORE << RandomBytes(4096) << kml + 4096;
    }
    void exportThenOpen()
    {
        QFETCH(QString, link);
        QFETCH(QString, entry);
        QFETCH(int, method);
        QFETCH(QByteArray, picture);
        QFETCH(qint64, limit);
        if (limit == 0)
            limit = Overlay::kKmzMaxUnpacked;
        QTemporaryDir dir;
        const QString kmz = dir.filePath(QStringLiteral("a.kmz"));
        const QString pictureFile = Stored(dir, QStringLiteral("picture"), picture);

        const KmzExport exported = Overlay::WriteKmz(kmz, Settings(link), pictureFile, limit);
        QVERIFY2(exported.result.ok, qPrintable(exported.result.error));
        QCOMPARE(exported.pictureEmbedded, !entry.isEmpty());
        ReadControl control;
        const OpenedKmz opened = Overlay::ReadKmz(kmz, &control, limit);
        QVERIFY2(opened.overlay.ok(), qPrintable(opened.overlay.problem));
        QVERIFY(opened.archive);
        QCOMPARE(opened.overlay.settings, Settings(entry.isEmpty() ? link : entry));
        QCOMPARE(opened.pictureEntry, entry);
        if (limit != Overlay::kKmzMaxUnpacked)
            QVERIFY(
                Overlay::ReadKmz(kmz, nullptr, limit - 1).overlay.problem.contains("more than"));
        QString unpacked;
        if (!entry.isEmpty()) {
            const WriteResult written = Overlay::UnpackKmzEntry(kmz, entry, unpacked, limit);
            QVERIFY2(written.ok, qPrintable(written.error));
            QCOMPARE(unpacked, dir.filePath(QStringLiteral("a_files/") + entry));
            QCOMPARE(ReadFile(unpacked), picture);
        }

        // libzip's own view: entry order and methods. (doc.kml's bytes are
        // the writer test's; the read above took its href.)
        zip_t* zip = zip_open(QFile::encodeName(kmz).constData(), ZIP_RDONLY, nullptr);
        QCOMPARE(zip_get_num_entries(zip, 0), entry.isEmpty() ? 1 : 2);
        zip_stat_t stat;
        QVERIFY(zip_stat_index(zip, 0, 0, &stat) == 0 && stat.comp_method == ZIP_CM_DEFLATE);
        QCOMPARE(QByteArray(stat.name), "doc.kml");
        QCOMPARE(control.total.load(), qint64(stat.size));
        if (!entry.isEmpty()) {
            QVERIFY(zip_stat_index(zip, 1, 0, &stat) == 0);
            QCOMPARE(QString::fromUtf8(stat.name), entry);
            QCOMPARE(int(stat.comp_method), method);
        }
        zip_discard(zip);

        // Another unpacker finds every entry whole.
        if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
            QSKIP("unzip is not installed");
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-tq"), kmz});
        QVERIFY(unzip.waitForFinished() && unzip.exitCode() == 0);
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
        QTest::newRow("more than 512 MB") << WithField(MakeZip({kml}), Size, 513U << 20U)
                                          << "it would unpack to more than 512 MB, the most";
        QTest::newRow("more than its headers say")
            << WithField(MakeZip({kml}), Size, 100) << "holds more than its headers say";
        QTest::newRow("same name twice")
            << MakeZip({kml, {"files/a.png", "x"}, {"files/b.png", "y"}})
                   .replace("files/b.png", "files/a.png")
            << "two of its entries have the same name";
        QTest::newRow("local and central names differ")
            << MakeZip({kml}).replace(30, 7, "doc.kmx") << "its table of contents does not";
        QTest::newRow("checksum") << WithField(MakeZip({kml}), Checksum, 1)
                                  << "an entry's contents do not match its checksum";
        QTest::newRow("unknown compression")
            << WithField(MakeZip({kml}), Method, 97) << "compressed in a way Orvinel cannot";
        QTest::newRow("KML encrypted") << MakeZip({{"doc.kml", Kml(), 0100644, true}})
                                       << R"(its KML file "doc.kml" is encrypted)";
        // Four links deep are followed (openedByContent), five not.
        QTest::newRow("overlay five links deep")
            << MakeZip(LinkChain(5)) << "holds no screen overlay";
        QTest::newRow("links in a loop")
            << MakeZip({{"doc.kml", LinkKml({"a.kml"})}, {"a.kml", LinkKml({"doc.kml"})}})
            << "holds no screen overlay";
    }
    void badArchives()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        const QString got = Overlay::ReadKmzBytes(bytes).overlay.problem;
        QVERIFY2(got.contains(problem), qPrintable(got));
        QTemporaryDir dir;
        const QString kmz = Stored(dir, QStringLiteral("a.kmz"), bytes);
        QCOMPARE(Overlay::ReadKmz(kmz).overlay.problem, got);
        QString unpacked;
        for (const char* entry : {"doc.kml", "../x.png"})
            QVERIFY(!Overlay::UnpackKmzEntry(kmz, QString::fromUtf8(entry), unpacked).ok);
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);
    }

    // Refused unpacks write nothing, make no folder, and never reach through
    // a link to the folder "outside".
    void refusedUnpacks_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QString>("entry");
        // What is there before the unpack, made by the test.
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("error");
        const ZipEntry kml{"doc.kml", Kml()};
        const ZipEntry picture{"files/pic.png", "picture"};
        const QByteArray good = MakeZip({kml, picture});
        QTest::newRow("not a picture")
            << MakeZip({kml, {"evil.desktop", "[Desktop Entry]"}}) << "evil.desktop" << QString()
            << R"(The entry "evil.desktop" is not a picture)";
        QTest::newRow("picture encrypted")
            << MakeZip({kml, {"files/pic.png", "picture", 0100644, true}}) << "files/pic.png"
            << QString() << R"(The picture "files/pic.png" is encrypted)";
        // Names Windows takes for something else, as a file and as a folder;
        // refused everywhere alike (the names themselves: tst_paths).
        const char* const windowsNames[][2] = {
            {"files/CON.png", R"("CON.png" is a name Windows keeps for a device)"},
            {"lpt\u00b9/pic.png", "\"lpt\u00b9\" is a name Windows keeps for a device"},
        };
        for (const auto& [name, why] : windowsNames)
            QTest::addRow("%s", name)
                << MakeZip({kml, {name, "picture"}}) << QString::fromUtf8(name) << QString()
                << QString::fromUtf8(why);
        QTest::newRow("checksum") << WithField(MakeZip({picture, kml}), Checksum, 1)
                                  << "files/pic.png" << QString() << "match its checksum";
        const QString longName = "files/" + QString(300, 'n') + ".png";
        QTest::newRow("name too long") << MakeZip({kml, {qPrintable(longName), "picture"}})
                                       << longName << QString() << "cannot be written";
        QTest::newRow("file as the unpack folder") << good << "files/pic.png"
                                                   << "a_files file"
                                                   << "a_files is in the way: it is not a folder.";
        QTest::newRow("unpack folder a link")
            << good << "files/pic.png"
            << "a_files link"
            << "a_files is a link; Orvinel unpacks only into real folders.";
        QTest::newRow("folder on the way a link") << good << "files/pic.png"
                                                  << "a_files/files link"
                                                  << "a_files/files is a link";
        QTest::newRow("picture a link") << good << "files/pic.png"
                                        << "a_files/files/pic.png link"
                                        << "a_files/files/pic.png is a link; Orvinel does not";
    }
    void refusedUnpacks()
    {
        QFETCH(QByteArray, archive);
        QFETCH(QString, entry);
        QFETCH(QString, planted);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString kmz = Stored(dir, QStringLiteral("a.kmz"), archive);
        const QString outside = dir.filePath(QStringLiteral("outside"));
        QVERIFY(QDir().mkpath(outside + QStringLiteral("/files")));
        QVERIFY(!Stored(dir, QStringLiteral("outside/pic.png"), "kept").isEmpty());
        if (planted.endsWith(QLatin1String(" file"))) {
            QVERIFY(!Stored(dir, planted.chopped(5), "x").isEmpty());
        } else if (planted.endsWith(QLatin1String(" link"))) {
#ifdef Q_OS_UNIX
            const QString link = dir.filePath(planted.chopped(5));
            QVERIFY(QDir().mkpath(QFileInfo(link).path()));
            const QString target = link.endsWith(QLatin1String(".png"))
                                       ? outside + QStringLiteral("/pic.png")
                                       : outside;
            QVERIFY(::symlink(QFile::encodeName(target).constData(),
                              QFile::encodeName(link).constData()) == 0);
#else
            QSKIP("symbolic links need rights Windows users seldom have");
#endif
        }
        const QStringList before = Tree(dir.path());

        QString unpacked = QStringLiteral("stale");
        const WriteResult written = Overlay::UnpackKmzEntry(kmz, entry, unpacked);
        QVERIFY(!written.ok);
        QVERIFY2(written.error.contains(error), qPrintable(written.error));
        QVERIFY(unpacked.isEmpty());
        QCOMPARE(Tree(dir.path()), before);
        QCOMPARE(ReadFile(outside + QStringLiteral("/pic.png")), QByteArray("kept"));
    }

    // Opened for what the bytes are, whatever the name says; an overlay one
    // network link deeper is found, its picture taken from its own folder.
    void openedByContent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("archive");
        QTest::addColumn<QString>("pictureEntry");
        QTest::addColumn<QByteArray>("unpacked"); // the picture's bytes once unpacked
        const ZipEntry picture{"files/pic.png", "picture"};
        const ZipEntry beside{"layers/pic.png", "picture"};
        QTest::newRow("KMZ named .kml")
            << "a.kml" << MakeZip({{"doc.kml", OverlayKml("found", "files/pic.png")}, picture})
            << true << "files/pic.png" << QByteArray("picture");
        QTest::newRow("KML named .kmz") << "a.kmz" << OverlayKml("found", "files/pic.png") << false
                                        << QString() << QByteArray();
        // As GDAL lays it out, the picture beside the overlay's own file.
        QTest::newRow("first link leads nowhere, second written on Windows")
            << "a.kmz"
            << MakeZip({{"doc.kml", LinkKml({"http://example.org/x.kml", "gone.kml",
                                             R"(layers\my%20legend.kml)"})},
                        {"layers/my legend.kml", OverlayKml("found", "pic.png")},
                        beside,
                        picture})
            << true << "layers/pic.png" << QByteArray("picture");
        QTest::newRow("overlay four links deep")
            << "a.kmz" << MakeZip(LinkChain(4)) << true << "files/pic.png" << QByteArray("picture");
        QTest::newRow("picture link naming a non-picture")
            << "a.kmz"
            << MakeZip({{"doc.kml", OverlayKml("found", "run.desktop")}, {"run.desktop", "x"}})
            << true << QString() << QByteArray();
        // On Windows both land on one file: the one the overlay names wins.
        QTest::newRow("two pictures differing only in case")
            << "a.kmz"
            << MakeZip({{"doc.kml", OverlayKml("found", "files/PIC.png")},
                        picture,
                        {"files/PIC.png", "upper"}})
            << true << "files/PIC.png" << QByteArray("upper");
    }
    void openedByContent()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, archive);
        QFETCH(QString, pictureEntry);
        QFETCH(QByteArray, unpacked);
        QTemporaryDir dir;
        const QString path = Stored(dir, name, bytes);
        const OpenedKmz opened = Overlay::ReadAnyOverlayFile(path);
        QVERIFY2(opened.overlay.ok(), qPrintable(opened.overlay.problem));
        QCOMPARE(opened.overlay.settings.title, QStringLiteral("found"));
        QCOMPARE(opened.archive, archive);
        QCOMPARE(opened.pictureEntry, pictureEntry);
        QString unpackedPath;
        if (!pictureEntry.isEmpty())
            QVERIFY(Overlay::UnpackKmzEntry(path, pictureEntry, unpackedPath).ok);
        QCOMPARE(ReadFile(unpackedPath), unpacked);
    }

    void failedExportKeepsEarlierArchive_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("error");
        QTest::newRow("picture gone") << "gone"
                                      << "/gone.png cannot be read: " + MissingFileWords() + '.';
        QTest::newRow("folder in the way") << "folder"
                                           << "A folder of that name is in the way";
        QTest::newRow("folder read-only") << "read-only"
                                          << "The archive cannot be written";
        QTest::newRow("one byte past the limit") << "past"
                                                 << "/gone.png (7 bytes) is too large: a KMZ";
    }
    void failedExportKeepsEarlierArchive()
    {
        QFETCH(QString, failure);
        QFETCH(QString, error);
        if (failure == QLatin1String("read-only")) {
#ifdef Q_OS_UNIX
            if (::geteuid() == 0)
                QSKIP("root writes into read-only folders");
#else
            QSKIP("read-only folder modes are POSIX; Windows folders take writes regardless");
#endif
        }
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("a.kmz"));
        const QString kmz = failure == QLatin1String("folder") ? dir.filePath("a_files") : archive;
        const QString pictureFile = Stored(dir, QStringLiteral("gone.png"), "picture");
        const OverlaySettings settings = Settings(QStringLiteral("gone.png"));
        QVERIFY(Overlay::WriteKmz(archive, settings, pictureFile).result.ok);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("a_files")));
        const QByteArray earlier = ReadFile(archive);
        if (failure == QLatin1String("gone"))
            QVERIFY(QFile::remove(pictureFile));
#ifdef Q_OS_UNIX
        if (failure == QLatin1String("read-only"))
            QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0);
#endif
        const qint64 limit =
            failure == QLatin1String("past")
                ? Overlay::OverlayFileBytes(Settings("files/gone.png")).bytes.size() + 6
                : Overlay::kKmzMaxUnpacked;

        const KmzExport exported = Overlay::WriteKmz(kmz, settings, pictureFile, limit);
#ifdef Q_OS_UNIX
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
#endif
        QVERIFY2(exported.result.error.contains(error), qPrintable(exported.result.error));
        QVERIFY(!exported.pictureEmbedded);
        QCOMPARE(ReadFile(archive), earlier);
        // Nothing left behind: the archive, the folder, and the picture unless it was removed.
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
                 failure == QLatin1String("gone") ? 2 : 3);
    }
};

QTEST_GUILESS_MAIN(KmzTest)
#include "tst_kmz.moc"
