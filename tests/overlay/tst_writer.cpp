#include "KmlWriter.h"
#include "OverlayDocument.h"
#include "Vocabulary.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Byte for byte, as viewers read the files; that whatever a user types
// reads back whole, tst_splice's random edits show.
namespace {

// The settings a fresh window starts with, before any picture or file.
OverlaySettings StartSettings()
{
    return OverlayDocument().Settings();
}

OverlaySettings CityExample()
{
    OverlaySettings s = StartSettings();
    s.title = QStringLiteral("City");
    s.colour = QStringLiteral("80ffffff");
    s.drawOrder = QStringLiteral("1");
    s.picture = QStringLiteral(R"(C:\Maps\logo.png)");
    s.overlayX = s.overlayY = s.screenX = s.screenY = QStringLiteral("0.5");
    s.sizeX = s.sizeY = Vocabulary::kMaintainNativeSize;
    return s;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QByteArray kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n";

} // namespace

Q_DECLARE_METATYPE(OverlaySettings)

class WriterTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void overlayBytes_data()
    {
        QTest::addColumn<OverlaySettings>("settings");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray head = kHead + "<ScreenOverlay>\n";
        const QByteArray tail = "</ScreenOverlay>\n</kml>\n";

        QTest::newRow("worked example")
            << CityExample()
            << head +
                   "<name>City</name>\n"
                   "<color>80ffffff</color><drawOrder>1</drawOrder><Icon>\n"
                   "<href>C:\\Maps\\logo.png</href>\n"
                   "</Icon>\n"
                   "<overlayXY x=\"0.5\" y=\"0.5\" xunits=\"fraction\" yunits=\"fraction\" />\n"
                   "<screenXY x=\"0.5\" y=\"0.5\" xunits=\"fraction\" yunits=\"fraction\" />\n"
                   "<size x=\"-1\" y=\"-1\" xunits=\"fraction\" yunits=\"fraction\" />\n" +
                   tail;

        OverlaySettings empty = StartSettings();
        empty.drawOrder.clear();
        for (const OverlayPoint& point : kOverlayPoints) {
            (empty.*point.x).clear();
            (empty.*point.y).clear();
        }
        QTest::newRow("every optional element absent")
            << empty << head + "<color>ffffffff</color><Icon>\n<href></href>\n</Icon>\n" + tail;

        // Each optional element on its own condition: a point with only its
        // y filled, a size word next to "pixels" with the other size empty,
        // a title of spaces, a rotation.
        OverlaySettings edges = empty;
        edges.title = QStringLiteral("   ");
        edges.screenY = QStringLiteral("0.25");
        edges.rotationX = QStringLiteral("-3");
        edges.rotation = QStringLiteral("45");
        edges.sizeX = Vocabulary::kMaintainAspect;
        edges.sizeXUnits = Vocabulary::kPixels;
        QTest::newRow("one condition each")
            << edges
            << head +
                   "<name>   </name>\n<color>ffffffff</color><Icon>\n<href></href>\n</Icon>\n"
                   "<screenXY x=\"\" y=\"0.25\" xunits=\"fraction\" yunits=\"fraction\" />\n"
                   "<rotationXY x=\"-3\" y=\"\" xunits=\"fraction\" yunits=\"fraction\" />\n"
                   "<rotation>45</rotation>\n"
                   "<size x=\"0\" y=\"\" xunits=\"pixels\" yunits=\"fraction\" />\n" +
                   tail;

        // A parser would change raw CR, and LF and tab in attributes;
        // characters XML 1.0 cannot carry at all become U+FFFD.
        OverlaySettings escaped = empty;
        escaped.title = QStringLiteral("A&B <\"x\"> ]]>\r\x01");
        escaped.picture = QStringLiteral(R"(C:\A&B\logo.png)");
        escaped.overlayX = QStringLiteral("\"1\"\n\t\x1b");
        QTest::newRow("escapes")
            << escaped
            << head +
                   "<name>A&amp;B &lt;\"x\"> ]]&gt;&#13;\xef\xbf\xbd</name>\n"
                   "<color>ffffffff</color><Icon>\n<href>C:\\A&amp;B\\logo.png</href>\n</Icon>\n"
                   "<overlayXY x=\"&quot;1&quot;&#10;&#9;\xef\xbf\xbd\" y=\"\" xunits=\"fraction\" "
                   "yunits=\"fraction\" />\n" +
                   tail;
    }

    void overlayBytes()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(QByteArray, expected);
        QCOMPARE(Overlay::OverlayFileBytes(settings).bytes, expected);
    }

    void networkLinkBytes()
    {
        QCOMPARE(Overlay::NetworkLinkFileBytes(QStringLiteral(R"(C:\My Maps\A&B\city.kml)")),
                 kHead + "<NetworkLink>\n<Url>\n<href>C:/My Maps/A&amp;B/city.kml</href>\n"
                         "<refreshMode>onInterval</refreshMode>\n"
                         "<refreshInterval>1</refreshInterval>\n</Url>\n</NetworkLink>\n</kml>\n");
    }

    void writeFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("ok");
        QTest::newRow("new, then over itself") << "city.kml" << true;
        // Past Windows' old 260-character limit for a whole path.
        QTest::newRow("long name") << QString(240, u'n') + ".kml" << true;
#ifdef Q_OS_LINUX
        // No temporary file can be made there, not even by root.
        QTest::newRow("folder takes no new files") << "/proc/orvinel.kml" << false;
#endif
        QTest::newRow("folder does not exist") << "missing/city.kml" << false;
        QTest::newRow("target is a folder") << "folder.kml" << false;
    }

    // Whole or not at all: no temporary file is left beside the target.
    void writeFile()
    {
        QFETCH(QString, target);
        QFETCH(bool, ok);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.kml")));
        const QString path = QDir(dir.path()).filePath(target); // an absolute target as it is
        const QByteArray bytes = Overlay::OverlayFileBytes(CityExample()).bytes;
        for (int round = 0; round < 2; ++round) {
            const WriteResult result = Overlay::WriteFileAtomically(path, bytes);
            QCOMPARE(result.ok, ok);
            QCOMPARE(result.error.isEmpty(), ok);
        }
        QCOMPARE(ReadAll(path), ok ? bytes : QByteArray("<unreadable>"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), ok ? QStringList{target} : QStringList());
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.kml"))).isDir());
        const WriteResult link = Overlay::SaveNetworkLinkFile(path, QStringLiteral("x.kml"));
        QCOMPARE(link.ok && link.error.isEmpty(), ok);
    }

    // A viewer holds the file open while it reads it: a run of writes waits
    // for it and ends with the latest bytes; a hold that outlasts the retries
    // is told, and the file keeps the bytes it had.
    void writeFile_whileAnotherProgramHoldsIt()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("city.kml"));
        QVERIFY(Overlay::WriteFileAtomically(path, "0").ok);
        QProcess holder;
        const auto hold = [&](int ms) {
            holder.start(QStringLiteral(ORVINEL_HOLD_FILE), {path, QString::number(ms)});
            return holder.waitForReadyRead() && holder.readAll().startsWith("held");
        };
        QVERIFY(hold(300));
        for (const char* bytes : {"1", "2", "3"}) {
            const WriteResult written = Overlay::WriteFileAtomically(path, bytes);
            QVERIFY2(written.ok, qPrintable(written.error));
        }
        QCOMPARE(ReadAll(path), "3");
        QVERIFY(holder.waitForFinished() && holder.exitCode() == 0);

        QVERIFY(hold(5000));
        const WriteResult held = Overlay::WriteFileAtomically(path, "4");
        holder.kill();
        holder.waitForFinished();
#ifdef Q_OS_WIN
        QVERIFY(!held.ok && held.error.contains(u"another program may be holding it open."));
        QCOMPARE(ReadAll(path), "3");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("city.kml")});
#else
        QVERIFY(held.ok); // a rename replaces a file held open here
#endif
    }
};

QTEST_GUILESS_MAIN(WriterTest)
#include "tst_writer.moc"
