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

const QString kPictureDialog = QStringLiteral(
    "open dialog | Select graphic file for overlay | Screen overlay graphic file|*.bmp;*.jpg;"
    "*.gif;*.tif;*.jpeg;*.tiff;*.tga;*.pgm;*.dds;*.ppm;*.png");
const QString kLocateDialog = u"open dialog | Locate Google Earth executable file | " %
                              PlatformProfile::Current().locateViewerFilter;
const QString kSaveDialog = u"save dialog | Save KML Screen Overlay File | KML output file|*.kml"_s;
// FakeServices runs the program from /opt/orvinel/bin.
const QString kBuildTreeGuide = u"/opt/orvinel/bin/guide/index.html"_s;
const QString kInstalledGuide = u"/opt/orvinel/share/orvinel/guide/index.html"_s;
const QString kIexplore = u"C:\\Program Files\\Internet Explorer\\iexplore.exe"_s;

// Every dialog, question, program start and failure in order, one line each;
// failure texts are left out, Mentions() looks into them.
QStringList Trace(const FakeServices& services)
{
    static const char* const kKinds[] = {"data error",  "notice", "ask",    "failure",
                                         "open dialog", "start",  "browser"};
    QStringList lines;
    for (const FakeServices::Call& call : services.calls) {
        QStringList parts{QString::fromLatin1(kKinds[int(call.kind)]),
                          call.kind == Kind::FileDialog ? call.title : QString(),
                          call.kind == Kind::Failure ? QString() : call.text, call.program};
        parts << call.arguments << call.url.toString();
        parts.removeAll(QString());
        if (call.mode == FileDialogMode::Save)
            parts[0] = u"save dialog"_s;
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
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A temporary folder with a stand-in viewer in it, and the state of a run.
struct LinkFixture
{
    QTemporaryDir dir;
    FakeServices services;
    CommonDialog dialog{services, nullptr};
    NetworkLinkState state{Path(u"viewer"), {}};

    LinkFixture() { QVERIFY(QFile(state.GoogleEarthPath).open(QIODevice::WriteOnly)); }
    QString Path(QStringView name) const { return dir.filePath(name.toString()); }
    NetworkLinkOutcome Create(QStringView output)
    {
        return cmdCreate_Network_Link(state, Path(output), dialog, services, nullptr);
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files); }
};

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
    void picture_measuresOnlyReadablePicturesOfTheThreeTypes_data();
    void picture_measuresOnlyReadablePicturesOfTheThreeTypes();
    void cancelledDialogs_giveNothing();
    void outputPath_replacesWhatFollowsTheFirstDotOfTheName();
    void saveAs_asksOnlyBeforeReplacingAnOrdinaryFile_data();
    void saveAs_asksOnlyBeforeReplacingAnOrdinaryFile();
    void link_isWrittenAndTheViewerStartedOnIt();
    void link_missingViewerIsLocatedOnceThenRemembered();
    void link_nothingStartedWhenCancelledOrNotWritten();
    void link_failedViewerStartIsToldAndTheLinkStays();
    void exit_removesNothingButAnOrdinaryFile();
    void profile_holdsItsPlatformsValues();
    void newProgram_startsTheProfilesProgramWithoutArguments();
    void help_followsTheBrowserRule();
    void guide_isLookedForBesideTheProgramThenInTheShareFolder();
    void shippedGuide_parsesAndItsLinksStayInside();
};

// ---- Picture choice and Save As -------------------------------------------

void CommandsTest::picture_measuresOnlyReadablePicturesOfTheThreeTypes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // null: no file at all
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("caption");
    // The file name is the row's tag; the caption is the same unless given.
    const auto row = [](const char* name, const QByteArray& bytes, const char* size,
                        const char* caption = nullptr) {
        QTest::newRow(name) << QString::fromUtf8(name) << bytes << QString::fromUtf8(size)
                            << QString::fromUtf8(caption ? caption : name);
    };
    // A header-valid 240 by 120 GIF89a: Qt reads GIF but cannot write it.
    row("Legend.gif",
        QByteArray::fromHex("474946383961f0007800800000000000ffffff2c0000"
                            "0000f000780002012c003b"),
        "240x120");
    const QByteArray jpeg = Picture("JPEG", 64, 48), png = Picture("PNG", 9, 9);
    row("my.logo.bmp", Picture("BMP", 31, 17), "31x17", "my.bmp");
    row("photo.jpg", jpeg, "64x48");
    // The content decides the type; the extension only whether to measure.
    row("odd.bmp", jpeg, "64x48");
    row("odd.gif", png, "?x?");
    row("LOGO.JPG", jpeg, "?x?");
    row("photo.jpeg", jpeg, "?x?");
    row("x.png", png, "?x?");
    row("note.gif", "A note, not a picture.\n", "?x?");
    row("empty.bmp", QByteArray(""), "?x?");
    row("cut.jpg", jpeg.left(24), "?x?");
    row("gone.jpg", QByteArray(), "?x?");
}

void CommandsTest::picture_measuresOnlyReadablePicturesOfTheThreeTypes()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, caption);
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    if (!bytes.isNull())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    FakeServices services;
    services.fileDialogAnswers = {file.fileName()};
    CommonDialog dialog(services, nullptr);

    const std::optional<GraphicChoice> choice = cmdOpen_graphic_file(dialog);
    QVERIFY(choice);
    QCOMPARE(choice->GraphicFilePath, file.fileName());
    QTEST(QString(choice->widthText % u'x' % choice->heightText), "size");
    QCOMPARE(choice->windowCaption, QString(u"Overlay Graphic: " % caption));
    QCOMPARE(Trace(services), QStringList{kPictureDialog});
    QCOMPARE(dialog.FileName(), QString());
}

void CommandsTest::cancelledDialogs_giveNothing()
{
    FakeServices services;
    services.existingFiles = {u".kml"_s}; // what an empty name would turn into
    CommonDialog dialog(services, nullptr);
    QVERIFY(!cmdOpen_graphic_file(dialog));
    QVERIFY(!AskOutputFilePath(dialog, services, nullptr));
    QCOMPARE(Trace(services), (QStringList{kPictureDialog, kSaveDialog}));
}

void CommandsTest::outputPath_replacesWhatFollowsTheFirstDotOfTheName()
{
    const auto check = [](char separator, const char* chosen, const char* expected) {
        QCOMPARE(OutputPathFor(QString::fromUtf8(chosen), QLatin1Char(separator)),
                 QString::fromUtf8(expected));
    };
    check('\\', "C:\\Maps\\city", "C:\\Maps\\city.kml");
    check('\\', "C:\\Maps\\city.txt", "C:\\Maps\\city.kml");
    check('\\', "C:\\Maps\\city.overlay.kml", "C:\\Maps\\city.kml");
    check('\\', "C:\\My.Maps\\city", "C:\\My.Maps\\city.kml");
    check('/', "/home/ann/my.maps/city.v2.txt", "/home/ann/my.maps/city.kml");
}

void CommandsTest::saveAs_asksOnlyBeforeReplacingAnOrdinaryFile_data()
{
    QTest::addColumn<QString>("inTheWay");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("taken");
    QTest::newRow("nothing there") << "" << false << true;
    QTest::newRow("file, Yes") << "file" << true << true;
    QTest::newRow("file, No") << "file" << false << false;
    // A folder is not a file to overwrite; the write itself will report it.
    QTest::newRow("folder") << "folder" << false << true;
}

void CommandsTest::saveAs_asksOnlyBeforeReplacingAnOrdinaryFile()
{
    QFETCH(QString, inTheWay);
    QFETCH(bool, answer);
    QFETCH(bool, taken);
    QTemporaryDir dir;
    const QString output = dir.filePath(u"city.kml"_s);
    if (inTheWay == u"folder")
        QVERIFY(QDir(dir.path()).mkdir(u"city.kml"_s));
    if (inTheWay == u"file")
        QVERIFY(QFile(output).open(QIODevice::WriteOnly));
    FakeServices services;
    services.fileDialogAnswers = {dir.filePath(u"city.overlay.txt"_s)};
    services.yesNoAnswers = {answer};
    CommonDialog dialog(services, nullptr);

    QCOMPARE(AskOutputFilePath(dialog, services, nullptr).value_or(QString()),
             taken ? output : QString());
    QStringList trace{kSaveDialog};
    if (inTheWay == u"file") // only an ordinary file is asked about
        trace << QStringLiteral(
            "ask | File already exists - do you want to overwrite the existing file?");
    QCOMPARE(Trace(services), trace);
    QCOMPARE(dialog.FileName(), QString());
    // Choosing a name writes nothing; the window writes after adopting it.
    QCOMPARE(QFileInfo::exists(output), !inTheWay.isEmpty());
}

// ---- Network link and Exit ------------------------------------------------

void CommandsTest::link_isWrittenAndTheViewerStartedOnIt()
{
    LinkFixture f;
    // Characters a shell or an XML writer would mangle, all in one path.
    QVERIFY(QDir(f.dir.path()).mkdir(u"My Maps & <x> %TEMP% Ærøskøbing 地図"_s));
    const QString output = f.Path(u"My Maps & <x> %TEMP% Ærøskøbing 地図/city.kml");
    const QString link = f.Path(u"My Maps & <x> %TEMP% Ærøskøbing 地図/city_Network_Link.kml");
    QCOMPARE(f.Create(u"My Maps & <x> %TEMP% Ærøskøbing 地図/city.kml"), NetworkLinkOutcome::Done);

    QCOMPARE(f.state.NetworkLinkFilePath, link);
    QFile file(link);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(QString::fromUtf8(bytes),
             u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             u"<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<NetworkLink>\n<Url>\n<href>" %
                 f.Path(u"My Maps &amp; &lt;x> %TEMP% Ærøskøbing 地図/city.kml") %
                 u"</href>\n<refreshMode>onInterval</refreshMode>\n<refreshInterval>1"
                 u"</refreshInterval>\n</Url>\n</NetworkLink>\n</kml>\n");
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd() && xml.name() != u"href")
        xml.readNext();
    QCOMPARE(xml.readElementText(), output);
    // One argument however the path looks.
    QCOMPARE(Trace(f.services), QStringList{u"start | " % f.Path(u"viewer") % u" | " % link});
}

// A run: the viewer is located once, two links written, Exit deletes the latest.
void CommandsTest::link_missingViewerIsLocatedOnceThenRemembered()
{
    LinkFixture f;
    f.services.fileDialogAnswers = {f.state.GoogleEarthPath};
    f.state.GoogleEarthPath = f.Path(u"no-such-viewer");

    QCOMPARE(f.Create(u"a.kml"), NetworkLinkOutcome::Done);
    QCOMPARE(f.Create(u"b.kml"), NetworkLinkOutcome::Done);
    DeleteNetworkLinkFile(f.state.NetworkLinkFilePath, f.services, nullptr);

    const QString start = u"start | " % f.Path(u"viewer") % u" | " % f.Path(u"%1_Network_Link.kml");
    QCOMPARE(Trace(f.services), (QStringList{kLocateDialog, start.arg(u"a"_s), start.arg(u"b"_s)}));
    QCOMPARE(f.dialog.FileName(), QString());
    QCOMPARE(f.Files(), (QStringList{"a_Network_Link.kml", "viewer"}));
}

// Nothing written or started, and the link Exit would delete is kept.
void CommandsTest::link_nothingStartedWhenCancelledOrNotWritten()
{
    const auto check = [](QStringView viewer, QStringView output, NetworkLinkOutcome outcome,
                          const QString& trace) {
        LinkFixture f;
        f.state = {f.Path(viewer), u"/earlier/link.kml"_s};
        QCOMPARE(f.Create(output), outcome);
        QCOMPARE(Trace(f.services), QStringList{trace});
        Mentions(f.services, {f.Path(u"gone/city_Network_Link.kml"), u"does not exist"_s});
        QCOMPARE(f.state.GoogleEarthPath, f.Path(viewer));
        QCOMPARE(f.state.NetworkLinkFilePath, u"/earlier/link.kml"_s);
        QCOMPARE(f.Files(), QStringList{"viewer"});
    };
    check(u"no-such-viewer", u"city.kml", NetworkLinkOutcome::Cancelled, kLocateDialog);
    check(u"viewer", u"gone/city.kml", NetworkLinkOutcome::WriteFailed, u"failure"_s);
}

void CommandsTest::link_failedViewerStartIsToldAndTheLinkStays()
{
    LinkFixture f;
    f.services.failingProgram = f.state.GoogleEarthPath;
    f.services.failingReason = u"Permission denied"_s;
    const QString link = f.Path(u"city_Network_Link.kml");

    QCOMPARE(f.Create(u"city.kml"), NetworkLinkOutcome::Done);
    QCOMPARE(f.state.NetworkLinkFilePath, link);
    QCOMPARE(f.Files(), (QStringList{"city_Network_Link.kml", "viewer"}));
    QCOMPARE(Trace(f.services),
             (QStringList{u"start | " % f.Path(u"viewer") % u" | " % link, "failure"}));
    Mentions(f.services, {f.Path(u"viewer"), f.services.failingReason, link});

    // The next click offers another viewer instead of failing the same way.
    f.services.calls.clear();
    f.services.fileDialogAnswers = {u"/usr/bin/other"_s};
    QCOMPARE(f.Create(u"city.kml"), NetworkLinkOutcome::Done);
    QCOMPARE(Trace(f.services), (QStringList{kLocateDialog, u"start | /usr/bin/other | " % link}));
}

// No link yet, deleted by hand, a folder in its place: Exit leaves all alone.
void CommandsTest::exit_removesNothingButAnOrdinaryFile()
{
    LinkFixture f;
    const QString link = f.Path(u"x_Network_Link.kml");
    QVERIFY(QDir(f.dir.path()).mkdir(u"y_Network_Link.kml"_s));
    for (const QString& path : {QString(), link, f.Path(u"y_Network_Link.kml")})
        DeleteNetworkLinkFile(path, f.services, nullptr);
    QVERIFY(QFileInfo(f.Path(u"y_Network_Link.kml")).isDir());
    QCOMPARE(Trace(f.services), QStringList());

    // Seen as a file by the lookup, but gone before the removal.
    f.services.existingFiles = {link};
    DeleteNetworkLinkFile(link, f.services, nullptr);
    QCOMPARE(Trace(f.services), QStringList{"failure"});
    Mentions(f.services, {link});
}

// ---- Platform profiles and outside programs -------------------------------

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

void CommandsTest::newProgram_startsTheProfilesProgramWithoutArguments()
{
    FakeServices services;
    cmdNew_Program(services, nullptr, PlatformProfile::Windows());
    cmdNew_Program(services, nullptr, PlatformProfile::Linux());
    services.failingProgram = u"/opt/orvinel/bin/orvinel"_s;
    cmdNew_Program(services, nullptr, PlatformProfile::Linux());

    QCOMPARE(Trace(services), (QStringList{u"start | /opt/orvinel/bin/Orvinel.exe"_s,
                                           u"start | /opt/orvinel/bin/orvinel"_s,
                                           u"start | /opt/orvinel/bin/orvinel"_s, u"failure"_s}));
    Mentions(services, {services.failingProgram, services.failingReason});
}

// The preferred browser first when the profile has one, then the default one.
void CommandsTest::help_followsTheBrowserRule()
{
    FakeServices services;
    services.existingFiles = {kInstalledGuide};
    services.useRealFileSystem = false;
    const auto help = [&services](const PlatformProfile& profile, bool preferredFails,
                                  bool defaultFails) {
        services.calls.clear();
        services.failingProgram = preferredFails ? kIexplore : QString();
        services.browserFails = defaultFails;
        cmdHelp(services, nullptr, profile);
        return Trace(services);
    };
    const PlatformProfile win = PlatformProfile::Windows(), linux = PlatformProfile::Linux();
    const QString url = QUrl::fromLocalFile(kInstalledGuide).toString();
    const QString ie = u"start | " % kIexplore % u" | " % url, browser = u"browser | " % url;
    QCOMPARE(help(win, false, false), QStringList{ie});
    QCOMPARE(help(win, true, false), (QStringList{ie, browser}));
    QCOMPARE(help(win, true, true), (QStringList{ie, browser, u"failure"_s}));
    Mentions(services, {kInstalledGuide, kIexplore, u"No browser is set up"_s});
    QCOMPARE(help(linux, false, false), QStringList{browser});
    QCOMPARE(help(linux, false, true), (QStringList{browser, u"failure"_s}));
    Mentions(services, {kInstalledGuide, u"No browser is set up"_s});
}

// The guide beside the program wins over an installed one, and when neither
// is there both places are named. The credit label opens the About section.
void CommandsTest::guide_isLookedForBesideTheProgramThenInTheShareFolder()
{
    FakeServices services;
    services.existingFiles = {kBuildTreeGuide, kInstalledGuide};
    services.useRealFileSystem = false;
    lblTarnwell(services, nullptr, PlatformProfile::Linux());
    services.existingFiles.clear();
    cmdHelp(services, nullptr, PlatformProfile::Linux());

    QCOMPARE(Trace(services),
             (QStringList{"browser | file:///opt/orvinel/bin/guide/index.html#about", "failure"}));
    Mentions(services, {kBuildTreeGuide, kInstalledGuide});
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
