// What the window cannot reach or shows poorly: every platform's profile, the
// Windows rules run here, picture measuring, Exit's odd cases and the guide.
// Everything a user can do through the window is tested in tests/e2e.

#include "Commands.h"

#include "FakeServices.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

using Kind = FakeServices::Kind;

// FakeServices runs the program from /opt/orvinel/bin.
const QString kBuildTreeGuide = u"/opt/orvinel/bin/guide/index.html"_s;
const QString kInstalledGuide = u"/opt/orvinel/share/orvinel/guide/index.html"_s;
const QString kIexplore = u"C:\\Program Files\\Internet Explorer\\iexplore.exe"_s;

// One line a call: its kind, a dialog's filter, the program and arguments or
// the address. Failure texts are left out; Mentions() looks into them.
QStringList Trace(const FakeServices& services)
{
    static const char* const kKinds[] = {"data error", "notice", "ask",    "failure",
                                         "dialog",     "start",  "browser"};
    QStringList lines;
    for (const FakeServices::Call& call : services.calls) {
        QStringList parts{QString::fromLatin1(kKinds[int(call.kind)]),
                          call.kind == Kind::FileDialog ? call.text : QString(), call.program};
        parts << call.arguments << call.url.toString();
        parts.removeAll(QString());
        lines << parts.join(u" | ");
    }
    return lines;
}

// Every failure message names each of `parts`.
void Mentions(const FakeServices& services, const QStringList& parts)
{
    for (const FakeServices::Call& failure : services.CallsOf(Kind::Failure)) {
        for (const QString& part : parts)
            QVERIFY2(failure.text.contains(part), qPrintable(failure.text));
    }
}

QByteArray Picture(const char* format, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

// Every value of a profile, in declaration order, so rows read as a table.
QStringList Values(const PlatformProfile& p)
{
    const QString dialogs = p.nativeDialogSeparators ? u"native"_s : u"as given"_s;
    return {p.pathSeparator,       dialogs,           p.defaultViewerPath, p.locateViewerFilter,
            p.secondProgramSuffix, p.preferredBrowser};
}

} // namespace

class CommandsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void profile_holdsItsPlatformsValues();
    void windowsProfile_newWindowAndLocateFilter();
    void help_guideBesideTheProgramFirstAndBrowserFallback();
    void measure_onlyReadablePicturesOfTheThreeTypes_data();
    void measure_onlyReadablePicturesOfTheThreeTypes();
    void exit_leavesAFolderAndTellsAFailedRemoval();
    void shippedGuide_parsesAndItsLinksStayInside();
};

void CommandsTest::profile_holdsItsPlatformsValues()
{
    const QStringList linux{"/",           "as given", "/opt/google/earth/pro/google-earth-pro",
                            "All files|*", "/orvinel", ""};
    QStringList macOS = linux;
    macOS[2] = u"/Applications/Google Earth Pro.app/Contents/MacOS/Google Earth"_s;
    QCOMPARE(
        Values(PlatformProfile::Windows()),
        (QStringList{"\\", "native", "C:\\Program Files\\Google\\Google Earth\\GoogleEarth.exe",
                     "Google Earth executable|GoogleEarth.exe", "/Orvinel.exe", kIexplore}));
    QCOMPARE(Values(PlatformProfile::Linux()), linux);
    QCOMPARE(Values(PlatformProfile::MacOS()), macOS);
#if defined(Q_OS_WIN)
    QCOMPARE(Values(PlatformProfile::Current()), Values(PlatformProfile::Windows()));
#elif defined(Q_OS_MACOS)
    QCOMPARE(Values(PlatformProfile::Current()), macOS);
#else
    QCOMPARE(Values(PlatformProfile::Current()), linux);
#endif
}

void CommandsTest::windowsProfile_newWindowAndLocateFilter()
{
    const PlatformProfile windows = PlatformProfile::Windows();
    FakeServices services;
    services.useRealFileSystem = false; // no viewer anywhere: the locate dialog opens
    services.failingProgram = u"/opt/orvinel/bin/Orvinel.exe"_s;
    CommonDialog dialog(services, nullptr);
    NetworkLinkState state{windows.defaultViewerPath, {}};

    QCOMPARE(
        cmdCreate_Network_Link(state, u"C:\\Maps\\city.kml"_s, dialog, services, nullptr, windows),
        NetworkLinkOutcome::Cancelled);
    cmdNew_Program(services, nullptr, windows);
    QCOMPARE(Trace(services), (QStringList{"dialog | Google Earth executable|GoogleEarth.exe",
                                           "start | /opt/orvinel/bin/Orvinel.exe", "failure"}));
    Mentions(services, {services.failingProgram, services.failingReason});
}

// Under the Windows profile: the preferred browser, then the default one.
void CommandsTest::help_guideBesideTheProgramFirstAndBrowserFallback()
{
    FakeServices services;
    services.useRealFileSystem = false;
    const auto help = [&services](const QStringList& guides, bool preferredFails,
                                  bool defaultFails) {
        services.calls.clear();
        services.existingFiles = guides;
        services.failingProgram = preferredFails ? kIexplore : QString();
        services.browserFails = defaultFails;
        cmdHelp(services, nullptr, PlatformProfile::Windows());
        return Trace(services);
    };
    const QString url = QUrl::fromLocalFile(kInstalledGuide).toString();
    const QString ie = u"start | " % kIexplore % u" | " % url, browser = u"browser | " % url;
    const QStringList installed{kInstalledGuide};
    QCOMPARE(help(installed, false, false), QStringList{ie});
    QCOMPARE(help(installed, true, false), (QStringList{ie, browser}));
    QCOMPARE(help(installed, true, true), (QStringList{ie, browser, u"failure"_s}));
    Mentions(services, {kInstalledGuide, kIexplore, u"No browser is set up"_s});

    QCOMPARE(help({kBuildTreeGuide, kInstalledGuide}, false, false),
             QStringList{u"start | " % kIexplore % u" | file:///opt/orvinel/bin/guide/index.html"});
    QCOMPARE(help({}, false, false), QStringList{"failure"});
    Mentions(services, {kBuildTreeGuide, kInstalledGuide});
}

void CommandsTest::measure_onlyReadablePicturesOfTheThreeTypes_data()
{
    QTest::addColumn<QString>("name");     // ending in "/": a folder
    QTest::addColumn<QByteArray>("bytes"); // null: no file at all
    QTest::addColumn<QSize>("size");       // invalid: not measured
    const QByteArray jpeg = Picture("JPEG", 64, 48);
    // A header-valid 240 by 120 GIF89a: Qt reads GIF but cannot write it.
    QTest::newRow("gif") << "Legend.gif"
                         << QByteArray::fromHex("474946383961f0007800800000000000ffffff2c0000"
                                                "0000f000780002012c003b")
                         << QSize(240, 120);
    QTest::newRow("bmp") << "logo.bmp" << Picture("BMP", 31, 17) << QSize(31, 17);
    QTest::newRow("jpg") << "photo.jpg" << jpeg << QSize(64, 48);
    // The content decides the type; the extension only whether to measure.
    QTest::newRow("jpeg as bmp") << "odd.bmp" << jpeg << QSize(64, 48);
    QTest::newRow("png as gif") << "odd.gif" << Picture("PNG", 9, 9) << QSize();
    QTest::newRow("text as gif") << "note.gif" << QByteArray("A note, not a picture.\n") << QSize();
    QTest::newRow("empty bmp") << "empty.bmp" << QByteArray("") << QSize();
    QTest::newRow("cut jpg") << "cut.jpg" << jpeg.left(24) << QSize();
    QTest::newRow("missing") << "gone.jpg" << QByteArray() << QSize();
    QTest::newRow("folder") << "photos.jpg/" << QByteArray() << QSize();
}

void CommandsTest::measure_onlyReadablePicturesOfTheThreeTypes()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    if (name.endsWith(u'/'))
        QVERIFY(QDir(dir.path()).mkdir(name));
    else if (!bytes.isNull())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    QTEST(LoadGraphicDimensions(dir.filePath(name.remove(u'/'))).value_or(QSize()), "size");
}

// Seen as a file by the lookup but gone before the removal: told. A folder
// under the link's name: left alone, silently.
void CommandsTest::exit_leavesAFolderAndTellsAFailedRemoval()
{
    QTemporaryDir dir;
    FakeServices services;
    const QString folder = dir.filePath(u"a_Network_Link.kml"_s);
    const QString gone = dir.filePath(u"b_Network_Link.kml"_s);
    QVERIFY(QDir(dir.path()).mkdir(folder));
    services.existingFiles = {gone};
    DeleteNetworkLinkFile(folder, services, nullptr);
    DeleteNetworkLinkFile(gone, services, nullptr);
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(Trace(services), QStringList{"failure"});
    Mentions(services, {gone});
}

// The guide opens from disk, often with no network: it must reach nothing
// outside, and hold the section the credit label opens.
void CommandsTest::shippedGuide_parsesAndItsLinksStayInside()
{
    QFile file(QStringLiteral(ORVINEL_GUIDE_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QXmlStreamReader html(&file);
    QStringList ids;
    while (!html.atEnd()) {
        if (html.readNext() != QXmlStreamReader::StartElement)
            continue;
        ids << html.attributes().value(QLatin1String("id")).toString();
        for (const char* name : {"href", "src"}) {
            const QString value = html.attributes().value(QLatin1String(name)).toString();
            QVERIFY2(!value.contains(u':') && !value.startsWith(u"//"),
                     qPrintable(u"reaches outside: " % value));
        }
    }
    QVERIFY2(!html.hasError(), qPrintable(html.errorString()));
    QVERIFY(ids.contains(u"about"_s));
}

QTEST_GUILESS_MAIN(CommandsTest)
#include "CommandsTest.moc"
