#include "KmlParse.h"
#include "KmlWriter.h"
#include "Vocabulary.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

// The settings a fresh window starts with, before any picture or file.
OverlaySettings StartSettings()
{
    OverlaySettings s;
    s.txtDraw_order = QStringLiteral("99");
    for (const OverlayPoint& point : kOverlayPoints)
        s.*point.xUnits = s.*point.yUnits = Vocabulary::kFraction;
    s.OverlayColor = Vocabulary::kOpaqueWhite;
    return s;
}

OverlaySettings CityExample()
{
    OverlaySettings s = StartSettings();
    s.txtOverlay_title = QStringLiteral("City");
    s.OverlayColor = QStringLiteral("80ffffff");
    s.txtDraw_order = QStringLiteral("1");
    s.GraphicFilePath = QStringLiteral(R"(C:\Maps\logo.png)");
    s.txtOverlay_x = s.txtOverlay_y = s.txtScreen_x = s.txtScreen_y = QStringLiteral("0.5");
    s.comboSize_x = s.comboSize_y = Vocabulary::kMaintainNativeSize;
    return s;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// What the file must hold for `s`, in the same flattened form.
QHash<QString, QString> Expected(const OverlaySettings& s)
{
    QHash<QString, QString> v;
    const auto text = [&](const char* name, const QString& value, bool present) {
        if (present)
            v[QLatin1String(name)] = value;
    };
    text("name", s.txtOverlay_title, !s.txtOverlay_title.isEmpty());
    text("color", s.OverlayColor, true);
    text("drawOrder", s.txtDraw_order, !s.txtDraw_order.isEmpty());
    text("href", s.GraphicFilePath, true);
    text("rotation", s.txtRotation, !s.txtRotation.isEmpty());
    for (const OverlayPoint& point : kOverlayPoints) {
        const auto [x, y] = Overlay::PointTexts(s, point);
        if (x.isEmpty() && y.isEmpty())
            continue;
        const QString n = QLatin1String(point.element);
        v[n] = QString();
        v[n + QLatin1String("@x")] = x;
        v[n + QLatin1String("@y")] = y;
        v[n + QLatin1String("@xunits")] = s.*point.xUnits;
        v[n + QLatin1String("@yunits")] = s.*point.yUnits;
    }
    return v;
}

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

        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
                                "<ScreenOverlay>\n";
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
        empty.txtDraw_order.clear();
        QTest::newRow("every optional element absent")
            << empty << head + "<color>ffffffff</color><Icon>\n<href></href>\n</Icon>\n" + tail;

        // Each optional element on its own condition: a point with only its
        // y filled, a size word next to "pixels" with the other size empty,
        // a title of spaces, a rotation.
        OverlaySettings edges = empty;
        edges.txtOverlay_title = QStringLiteral("   ");
        edges.txtScreen_y = QStringLiteral("0.25");
        edges.txtRotation_x = QStringLiteral("-3");
        edges.txtRotation = QStringLiteral("45");
        edges.comboSize_x = Vocabulary::kMaintainAspect;
        edges.comboSize_x_units = Vocabulary::kPixels;
        QTest::newRow("one condition each")
            << edges
            << head +
                   "<name>   </name>\n<color>ffffffff</color><Icon>\n<href></href>\n</Icon>\n"
                   "<screenXY x=\"\" y=\"0.25\" xunits=\"fraction\" yunits=\"fraction\" />\n"
                   "<rotationXY x=\"-3\" y=\"\" xunits=\"fraction\" yunits=\"fraction\" />\n"
                   "<rotation>45</rotation>\n"
                   "<size x=\"0\" y=\"\" xunits=\"pixels\" yunits=\"fraction\" />\n" +
                   tail;

        OverlaySettings escaped = empty;
        escaped.txtOverlay_title = QStringLiteral("A&B <\"x\">");
        escaped.GraphicFilePath = QStringLiteral(R"(C:\A&B\logo.png)");
        escaped.txtOverlay_x = QStringLiteral("\"1\"");
        QTest::newRow("escapes")
            << escaped
            << head +
                   "<name>A&amp;B &lt;\"x\"></name>\n<color>ffffffff</color><Icon>\n"
                   "<href>C:\\A&amp;B\\logo.png</href>\n</Icon>\n"
                   "<overlayXY x=\"&quot;1&quot;\" y=\"\" xunits=\"fraction\" "
                   "yunits=\"fraction\" />\n" +
                   tail;
    }

    void overlayBytes()
    {
        QFETCH(OverlaySettings, settings);
        QFETCH(QByteArray, expected);
        QCOMPARE(Overlay::OverlayFileBytes(settings).bytes, expected);
    }

    void savedFileHoldsTheBytesAndIsStable()
    {
        QTemporaryDir dir;
        OverlaySettings s = CityExample();
        s.OutputFilePath = dir.filePath(QStringLiteral("city.kml"));
        const QByteArray first = Overlay::OverlayFileBytes(s).bytes;
        QVERIFY(Overlay::WriteFileAtomically(s.OutputFilePath, first).ok);
        QCOMPARE(ReadAll(s.OutputFilePath), first);
        QVERIFY(
            Overlay::WriteFileAtomically(s.OutputFilePath, Overlay::OverlayFileBytes(s).bytes).ok);
        QCOMPARE(ReadAll(s.OutputFilePath), first);
        // Only the target remains: no temporary file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("city.kml")});
    }

    void networkLinkBytes_data()
    {
        QTest::addColumn<QString>("overlay");
        QTest::addColumn<QByteArray>("href");
        QTest::newRow("city") << R"(C:\Maps\city.kml)" << QByteArray("C:/Maps/city.kml");
        QTest::newRow("spaces and ampersand")
            << R"(C:\My Maps\A&B\city.kml)" << QByteArray("C:/My Maps/A&amp;B/city.kml");
    }

    void networkLinkBytes()
    {
        QFETCH(QString, overlay);
        QFETCH(QByteArray, href);
        const QByteArray expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
                                    "<NetworkLink>\n"
                                    "<Url>\n"
                                    "<href>" +
                                    href +
                                    "</href>\n"
                                    "<refreshMode>onInterval</refreshMode>\n"
                                    "<refreshInterval>1</refreshInterval>\n"
                                    "</Url>\n"
                                    "</NetworkLink>\n"
                                    "</kml>\n";
        const QByteArray bytes = Overlay::NetworkLinkFileBytes(overlay);
        QCOMPARE(bytes, expected);
        const ParsedKml parsed = ParseKml(bytes);
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
        QCOMPARE(parsed.values.value(QStringLiteral("href")),
                 QString(overlay).replace(QLatin1Char('\\'), QLatin1Char('/')));
    }

    // Random settings made of awkward text: every file must parse and give
    // back exactly what went in, with elements present exactly when their
    // fields say so. (The fixed element order is pinned by the byte tests.)
    void roundTripThroughAnXmlParser()
    {
        QRandomGenerator random(20261206);
        const QStringList pieces = {
            QStringLiteral("&"),    QStringLiteral("<"),       QStringLiteral(">"),
            QStringLiteral("]]>"),  QStringLiteral("\""),      QStringLiteral("'"),
            QStringLiteral(" "),    QStringLiteral("0.5"),     QStringLiteral("Zürich"),
            QStringLiteral("東京"), QStringLiteral("🗺️"), QStringLiteral("&amp;"),
            QStringLiteral("\\"),   QStringLiteral("\t"),      QStringLiteral("\r\n"),
            QStringLiteral("<!--"), QStringLiteral("-12")};
        for (int round = 0; round < 3000; ++round) {
            OverlaySettings s;
            for (const NamedField& named : kOverlayFields) {
                const int count = random.bounded(4) == 0 ? 0 : int(random.bounded(1, 6));
                for (int i = 0; i < count; ++i)
                    s.*named.field += pieces.at(random.bounded(int(pieces.size())));
            }
            if (random.bounded(5) == 0)
                s.comboSize_x = Vocabulary::kSizeWords.at(random.bounded(2));

            const QByteArray bytes = Overlay::OverlayFileBytes(s).bytes;
            const ParsedKml parsed = ParseKml(bytes);
            const QByteArray context = "round " + QByteArray::number(round) + ":\n" + bytes;
            QVERIFY2(parsed.error.isEmpty(), context.constData());
            QVERIFY2(parsed.values == Expected(s), context.constData());
        }
    }

    // Characters XML 1.0 cannot carry at all still give a well-formed file.
    void controlCharactersStayWellFormed()
    {
        OverlaySettings s = StartSettings();
        s.txtOverlay_title = QStringLiteral("a") + QChar(0x01) + QStringLiteral("b");
        s.txtOverlay_x = QString(QChar(0x1B));
        const ParsedKml parsed = ParseKml(Overlay::OverlayFileBytes(s).bytes);
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
        QCOMPARE(parsed.values.value(QStringLiteral("name")), QStringLiteral("a\uFFFDb"));
    }

    void writeFailures_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("folder does not exist") << "missing/city.kml";
        QTest::newRow("target is a folder") << "folder.kml";
    }

    void writeFailures()
    {
        QFETCH(QString, target);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.kml")));

        OverlaySettings s = CityExample();
        s.OutputFilePath = dir.filePath(target);
        const WriteResult result =
            Overlay::WriteFileAtomically(s.OutputFilePath, Overlay::OverlayFileBytes(s).bytes);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder.kml"))).isDir());
        const WriteResult link =
            Overlay::SaveNetworkLinkFile(s.OutputFilePath, QStringLiteral("x.kml"));
        QVERIFY(!link.ok);
        QVERIFY(!link.error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(WriterTest)
#include "tst_writer.moc"
