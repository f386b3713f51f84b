#include "OverlayReader.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

OpenedOverlayFile Read(const QByteArray& bytes, ReadControl* control = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return Overlay::ReadOverlay(buffer, control);
}

// Field name -> value, for the fields a row pins down.
using Fields = QHash<QString, QString>;

QByteArray Kml(const QByteArray& body,
               const QByteArray& ns = "xmlns=\"http://www.opengis.net/kml/2.2\"")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml " + ns + ">\n" + body + "\n</kml>\n";
}

QString FieldsDiff(const OverlaySettings& s, const Fields& expected)
{
    QString diff;
    for (const NamedField& named : kOverlayFields) {
        const QString name = QLatin1String(named.name);
        if (expected.contains(name) && expected.value(name) != s.*named.field)
            diff += name + QStringLiteral(": \"") + s.*named.field + QStringLiteral("\" not \"") +
                    expected.value(name) + QStringLiteral("\"\n");
    }
    return diff;
}

} // namespace

class ReaderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filesFromElsewhere_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QStringList>("notKept");

        const Fields defaults = {{"colour", "ffffffff"},
                                 {"overlayXUnits", "fraction"},
                                 {"sizeYUnits", "fraction"},
                                 {"drawOrder", ""},
                                 {"picture", ""},
                                 {"title", "T"}};

        QTest::newRow("nested in empty wrappers, no namespace")
            << QByteArray("<kml><Document><Folder>\n  <Folder><ScreenOverlay><name>T</name>"
                          "</ScreenOverlay></Folder></Folder></Document></kml>")
            << defaults << QStringList();
        for (const char* ns : {"http://earth.google.com/kml/2.0", "http://earth.google.com/kml/2.1",
                               "http://earth.google.com/kml/2.2"})
            QTest::addRow("namespace %s", ns)
                << Kml("<ScreenOverlay><name>T</name></ScreenOverlay>",
                       "xmlns=\"" + QByteArray(ns) + '"')
                << defaults << QStringList();
        QTest::newRow("missing attributes, other order, single quotes")
            << Kml("<ScreenOverlay><overlayXY x='0.5'/><size yunits='pixels' y='-1' x='0' />"
                   "<screenXY y=\"-1.0\" x=\" 0\" /></ScreenOverlay>")
            << Fields{{"overlayX", "0.5"},
                      {"overlayY", ""},
                      {"overlayYUnits", "fraction"},
                      {"sizeX", "Maintain aspect"},
                      {"sizeY", "Maintain native size"},
                      {"sizeXUnits", "fraction"},
                      {"sizeYUnits", "pixels"},
                      {"screenX", " 0"},
                      {"screenY", "-1.0"}}
            << QStringList{"the missing y value of <overlayXY>"};
        QTest::newRow("size texts near the words stay text")
            << Kml("<ScreenOverlay><size x='-1.0' y=' 0'/></ScreenOverlay>")
            << Fields{{"sizeX", "-1.0"}, {"sizeY", " 0"}} << QStringList();
        QTest::newRow("whitespace, comments, CDATA and entities")
            << Kml("<!-- a -->\n<ScreenOverlay>\n  <name> <![CDATA[a <b> & ]]>&amp;&#233;&#x1F600; "
                   "</name>\n  <!-- b --><drawOrder>\n3\n</drawOrder>\n</ScreenOverlay>")
            << Fields{{"title", " a <b> & &é😀 "}, {"drawOrder", "\n3\n"}}
            << QStringList{"2 comments"};
        QTest::newRow("upper-case colour kept, picture path as written")
            << Kml("<ScreenOverlay><color>80FFFFFF</color><Icon><href>../a b.png</href></Icon>"
                   "<rotation>-12.5</rotation></ScreenOverlay>")
            << Fields{{"colour", "80FFFFFF"}, {"picture", "../a b.png"}, {"rotation", "-12.5"}}
            << QStringList();
        // Counted, singular and plural, in the order the file first shows each kind.
        QTest::newRow("several features around the overlay")
            << Kml("<Document><name>D</name><Style id='s'/><Style/>"
                   "<Placemark/><Placemark><name>p</name></Placemark>"
                   "<Folder><name>F</name><GroundOverlay/></Folder><Folder/>"
                   "<Folder><ScreenOverlay><name>T</name></ScreenOverlay></Folder>"
                   "<ScreenOverlay/><ScreenOverlay/><NetworkLink/><Placemark/>"
                   "<description>d</description></Document>")
            << defaults
            << QStringList{
                   "the document's name",    "2 styles",         "3 placemarks",
                   "a folder with content",  "a ground overlay", "an empty folder",
                   "2 more screen overlays", "a network link",   "the document's description"};
        QTest::newRow("overlay elements without a control")
            << Kml("<ScreenOverlay id='o' xmlns:gx='http://www.google.com/kml/ext/2.2'>"
                   "<name>T</name><name>U</name><description/><Style/><foo><name>x</name></foo>"
                   "<gx:balloonVisibility>1</gx:balloonVisibility>"
                   "<overlayXY x='1' y='1' xunits='fraction' yunits='fraction' spin='2'/>"
                   "<?pi x?></ScreenOverlay>")
            << defaults
            << QStringList{"an id",
                           "another name",
                           "a description",
                           "a style",
                           "the element <foo>",
                           "a Google Earth extension (gx:balloonVisibility)",
                           "the attribute \"spin\" of <overlayXY>",
                           "a processing instruction"};
        QTest::newRow("values the controls cannot take")
            << Kml("<ScreenOverlay><color>#ff0000</color>"
                   "<overlayXY x='' y='' xunits='pixels'/>"
                   "<size x='1' y='1' xunits='insetPixels' yunits='pixels'/>"
                   "<screenXY x='1' y='1' xunits='em' yunits='insetPixels'/></ScreenOverlay>")
            << Fields{{"colour", "ffffffff"},
                      {"sizeXUnits", "fraction"},
                      {"sizeYUnits", "pixels"},
                      {"screenXUnits", "fraction"},
                      {"screenYUnits", "insetPixels"}}
            << QStringList{"the colour \"#ff0000\"", "the units of an empty <overlayXY>",
                           "the size unit \"insetPixels\"", "the <screenXY> unit \"em\""};
        // The longest values a file may hold; a long colour is quoted cut.
        QTest::newRow("longest values")
            << Kml("<ScreenOverlay><name>" + QByteArray(4096, 'T') + "</name><color>" +
                   QByteArray(1 << 20, 'f') + "</color><size x='" + QByteArray(500, '2') +
                   "' y='0'/><Icon><href>" + QByteArray(8192, 'p') +
                   "</href></Icon></ScreenOverlay>")
            << Fields{{"title", QString(4096, u'T')},
                      {"sizeX", QString(500, u'2')},
                      {"picture", QString(8192, u'p')}}
            << QStringList{u"the colour \"" + QString(40, u'f') + u"\u2026\""};
        QTest::newRow("picture refresh settings, a second picture path")
            << Kml("<ScreenOverlay><Icon><href>a.png</href><refreshMode>onInterval</refreshMode>"
                   "<refreshInterval>4</refreshInterval><href>b.png</href></Icon></ScreenOverlay>")
            << Fields{{"picture", "a.png"}}
            << QStringList{"the picture's refresh settings", "another picture path"};
    }

    void filesFromElsewhere()
    {
        QFETCH(QByteArray, file);
        QFETCH(Fields, fields);
        QFETCH(QStringList, notKept);
        const OpenedOverlayFile opened = Read(file);
        QVERIFY2(opened.ok(), qPrintable(opened.problem));
        const QString diff = FieldsDiff(opened.settings, fields);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(opened.notKept, notKept);
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("problem");
        QTest::newRow("empty") << QByteArray() << "it is empty";
        QTest::newRow("not XML") << QByteArray("PNG\r\n")
                                 << "it is not an XML file (line 1, column 1: Start tag expected.)";
        QTest::newRow("truncated in the overlay")
            << QByteArray("<kml><ScreenOverlay><name>T")
            << "it is not an XML file (line 1, column 27: Premature end of document.)";
        QTest::newRow("damaged after the overlay")
            << QByteArray("<kml><ScreenOverlay/><Placemark></kml>")
            << "it is damaged after its screen overlay (line 1, column 38: Opening and ending tag "
               "mismatch.)";
        QTest::newRow("root not kml")
            << QByteArray("<html><ScreenOverlay/></html>") << "it is not a KML file";
        QTest::newRow("kml in another namespace")
            << QByteArray("<kml xmlns='urn:other'><ScreenOverlay/></kml>")
            << "it is not a KML file";
        QTest::newRow("no overlay") << Kml("<Document><Folder><Placemark/></Folder></Document>")
                                    << "it holds no screen overlay";
        QTest::newRow("overlay in a placemark only")
            << QByteArray("<kml><Placemark><ScreenOverlay/></Placemark></kml>")
            << "it holds no screen overlay";
        QTest::newRow("a network link file")
            << Kml("<NetworkLink><Url><href> /a/legend.kml </href></Url></NetworkLink>"
                   "<NetworkLink><Link><href>b.kml</href></Link></NetworkLink>")
            << "it holds no screen overlay, only a network link to /a/legend.kml; open that "
               "file instead";
        // Read without recursion: nesting cannot exhaust the stack.
        QTest::newRow("network links nested deep")
            << Kml(QByteArray("<NetworkLink><Link><href>").repeated(200000) +
                   QByteArray("</href></Link></NetworkLink>").repeated(200000))
            << "it holds no screen overlay";
        // Each use of the entity would stand for all of its text.
        QTest::newRow("entities of its own")
            << QByteArray("<!DOCTYPE kml [<!ENTITY big \"" + QByteArray(4000, 'x') +
                          "\">]><kml><ScreenOverlay><name>" + QByteArray("&big;").repeated(10) +
                          "</name></ScreenOverlay></kml>")
            << "it declares entities of its own (<!ENTITY big ...>), which KML files never need";
        // Just past the longest each field takes; a title counts all its pieces.
        QTest::newRow("long title in pieces")
            << Kml("<ScreenOverlay><name>" + QByteArray(4000, 'T') + "<!-- -->" +
                   QByteArray(97, 'T') + "</name></ScreenOverlay>")
            << "its title is 4,097 characters long; Orvinel takes at most 4,096";
        QTest::newRow("long number")
            << Kml("<ScreenOverlay><screenXY x='1' y='" + QByteArray(501, '1') +
                   "'/></ScreenOverlay>")
            << "its y value of <screenXY> is 501 characters long; Orvinel takes at most 500";
        QTest::newRow("long draw order")
            << Kml("<ScreenOverlay><drawOrder>" + QByteArray(501, '1') +
                   "</drawOrder></ScreenOverlay>")
            << "its draw order is 501 characters long; Orvinel takes at most 500";
        QTest::newRow("long picture path")
            << Kml("<ScreenOverlay><Icon><href>" + QByteArray(8193, 'p') +
                   "</href></Icon></ScreenOverlay>")
            << "its picture path is 8,193 characters long; Orvinel takes at most 8,192";
    }

    void badFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, problem);
        const OpenedOverlayFile opened = Read(file);
        QCOMPARE(opened.problem, problem);
        QCOMPARE(opened.settings, OverlaySettings());
    }

    // A message box must fit the screen, however much a file holds.
    void joinedInWords()
    {
        const std::pair<int, const char*> rows[] = {
            {1, "e0"},
            {2, "e0 and e1"},
            {6, "e0, e1, e2, e3, e4 and e5"},
            {7, "e0, e1, e2, e3, e4 and 2 other kinds of content"},
            {100000, "e0, e1, e2, e3, e4 and 99,995 other kinds of content"}};
        for (const auto& [count, words] : rows) {
            QStringList items;
            for (int i = 0; i < count; ++i)
                items << QStringLiteral("e%1").arg(i);
            QCOMPARE(Overlay::JoinedInWords(items), QString::fromUtf8(words));
        }
    }

    // Another thread follows the read and may stop it.
    void control()
    {
        const QByteArray file = Kml(QByteArray("<Placemark/>").repeated(5000) + "<ScreenOverlay/>");
        ReadControl control;
        QVERIFY(Read(file, &control).ok());
        QCOMPARE(control.total.load(), file.size());
        QVERIFY(control.done > 0);

        control.cancelled = true;
        const OpenedOverlayFile stopped = Read(file, &control);
        QVERIFY(stopped.cancelled);
        QCOMPARE(stopped.problem, "its opening was cancelled");
    }

    // A missing file is told in the system's own words; what is no ordinary
    // file is refused before a read (a pipe would never end).
    void unreadablePaths()
    {
        QTemporaryDir dir;
        QFile missing(dir.filePath(QStringLiteral("missing.kml")));
        (void)missing.open(QIODevice::ReadOnly);
        QCOMPARE(Overlay::ReadOverlayFile(missing.fileName()).problem, missing.errorString());
        QStringList others{dir.filePath(QStringLiteral("folder.kml"))};
        QVERIFY(QDir().mkdir(others[0]));
#ifdef Q_OS_UNIX
        others << dir.filePath(QStringLiteral("pipe.kml"));
        QCOMPARE(::mkfifo(QFile::encodeName(others[1]).constData(), 0600), 0);
#endif
        for (const QString& other : others)
            QCOMPARE(Overlay::ReadOverlayFile(other).problem, "not an ordinary file");
    }
};

QTEST_GUILESS_MAIN(ReaderTest)
#include "tst_reader.moc"
