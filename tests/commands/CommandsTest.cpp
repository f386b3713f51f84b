// What the window cannot reach or shows poorly: every platform's profile, the
// Windows rules run here, picture measuring and Exit's odd cases. Everything a
// user can do through the window is tested in tests/e2e.

#include "Commands.h"

#include "FakeServices.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kIexplore = u"C:\\Program Files\\Internet Explorer\\iexplore.exe"_s;

// One line a call: a dialog's filter, a program and its arguments, or an
// address; a failure as "failure" (Mentions() looks into its text).
QStringList Trace(const FakeServices& services)
{
    QStringList lines;
    for (const FakeServices::Call& c : services.calls) {
        const QString text =
            (QStringList{c.text, c.program} + c.arguments << c.url.toString()).join(u' ');
        lines << (c.kind == FakeServices::Kind::Failure ? u"failure"_s : text.trimmed());
    }
    return lines;
}

// Every failure message names each of `parts`.
void Mentions(const FakeServices& services, const QStringList& parts)
{
    for (const FakeServices::Call& failure : services.CallsOf(FakeServices::Kind::Failure))
        for (const QString& part : parts)
            // A path given with "/" may be told with the platform's separators.
            QVERIFY2(failure.text.contains(part) ||
                         failure.text.contains(QDir::toNativeSeparators(part)),
                     qPrintable(failure.text));
}

QByteArray Picture(const char* format, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    return buffer.open(QIODevice::WriteOnly) && image.save(&buffer, format) ? buffer.data() : "";
}

} // namespace

class CommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each platform's usual viewer place, what the locate dialog offers when
    // no viewer is there, and the program a new window starts (FakeServices
    // runs the program from /opt/orvinel/bin).
    void profiles_viewerPlaceLocateFilterAndNewWindow()
    {
        const std::tuple<PlatformProfile, QString, QString, QString> rows[] = {
            {PlatformProfile::Windows(),
             u"C:\\Program Files\\Google\\Google Earth\\GoogleEarth.exe"_s,
             u"Google Earth executable|GoogleEarth.exe"_s, u"/opt/orvinel/bin/Orvinel.exe"_s},
            {PlatformProfile::Linux(), u"/opt/google/earth/pro/google-earth-pro"_s,
             u"All files|*"_s, u"/opt/orvinel/bin/orvinel"_s},
            {PlatformProfile::MacOS(),
             u"/Applications/Google Earth Pro.app/Contents/MacOS/Google Earth"_s, u"All files|*"_s,
             u"/opt/orvinel/bin/orvinel"_s}};
        for (const auto& [profile, viewer, filter, newWindow] : rows) {
            QTemporaryDir dir;
            const QString overlay = dir.filePath(u"city.kml"_s);
            FakeServices services;
            services.useRealFileSystem = false;
            services.failingProgram = newWindow;
            CommonDialog dialog(services, nullptr);
            for (const QStringList& present : {QStringList{viewer}, QStringList{}}) {
                services.existingFiles = present;
                NetworkLinkState state{profile.defaultViewerPath, {}};
                Commands::cmdCreate_Network_Link(state, overlay, dialog, services, nullptr,
                                                 profile);
            }
            Commands::cmdNew_Program(services, nullptr, profile);
            QCOMPARE(Trace(services),
                     (QStringList{viewer + u' ' + dir.filePath(u"city_Network_Link.kml"_s), filter,
                                  newWindow, u"failure"_s}));
            Mentions(services, {newWindow, services.failingReason});
        }
    }

    void windowsRules_guideInBrowser()
    {
        const PlatformProfile windows = PlatformProfile::Windows();
        FakeServices services;

        // The guide beside the program first; the preferred browser, then the default one.
        const QString built = u"/opt/orvinel/bin/guide/index.html"_s;
        const QString installed = u"/opt/orvinel/share/orvinel/guide/index.html"_s;
        const auto help = [&](const QStringList& guides, bool ieFails, bool browserFails) {
            services.calls.clear();
            services.existingFiles = guides;
            services.failingProgram = ieFails ? kIexplore : QString();
            services.browserFails = browserFails;
            Commands::cmdHelp(services, nullptr, windows);
            return Trace(services);
        };
        const QString builtUrl = QUrl::fromLocalFile(built).toString();
        const QString url = QUrl::fromLocalFile(installed).toString();
        const QStringList both{kIexplore % u' ' % url, url};
        QCOMPARE(help({built, installed}, false, false), QStringList{kIexplore % u' ' % builtUrl});
        QCOMPARE(help({installed}, true, false), both);
        QCOMPARE(help({installed}, true, true), QStringList(both) << u"failure"_s);
        Mentions(services, {installed, kIexplore, u"No browser is set up"_s});
        QCOMPARE(help({}, false, false), QStringList{"failure"});
        Mentions(services, {built, installed});
    }

    void measure_onlyReadablePicturesOfTheThreeTypes()
    {
        const QByteArray jpeg = Picture("JPEG", 64, 48);
        // A header-valid 240 by 120 GIF89a: Qt reads GIF but cannot write it.
        const QByteArray gif = QByteArray::fromHex(
            "474946383961f0007800800000000000ffffff2c00000000f000780002012c003b");
        // The content decides the type, the extension only whether to measure.
        // Null bytes: no file at all; no size: not measured.
        const std::tuple<QString, QByteArray, std::optional<QSize>> rows[] = {
            {u"Legend.gif"_s, gif, QSize(240, 120)},
            {u"logo.bmp"_s, Picture("BMP", 31, 17), QSize(31, 17)},
            {u"photo.jpg"_s, jpeg, QSize(64, 48)},
            {u"odd.bmp"_s, jpeg, QSize(64, 48)},
            {u"odd.gif"_s, Picture("PNG", 9, 9), {}},
            {u"odd.png"_s, jpeg, {}},
            {u"LOGO.JPG"_s, jpeg, {}}, // the extension as written, capitals and all
            {u"photo.jpeg"_s, jpeg, {}},
            {u"note.gif"_s, "Not a picture.\n", {}},
            {u"empty.bmp"_s, "", {}},
            {u"cut.jpg"_s, jpeg.left(24), {}},
            {u"gone.jpg"_s, {}, {}}};
        QTemporaryDir dir;
        for (const auto& [name, bytes, size] : rows) {
            QFile file(dir.filePath(name));
            QVERIFY(bytes.isNull() ||
                    (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
            file.close();
            QVERIFY2(Commands::LoadGraphicDimensions(file.fileName()) == size, qPrintable(name));
        }
    }

    // Seen as a file by the lookup but gone before the removal: told. A folder
    // under the link's name: left alone, silently.
    void exit_leavesAFolderAndTellsAFailedRemoval()
    {
        QTemporaryDir dir;
        FakeServices services;
        const QString gone = dir.filePath(u"a_Network_Link.kml"_s);
        services.existingFiles = {gone};
        Commands::DeleteNetworkLinkFile(dir.path(), services, nullptr);
        Commands::DeleteNetworkLinkFile(gone, services, nullptr);
        QVERIFY(QFileInfo(dir.path()).isDir());
        QCOMPARE(Trace(services), QStringList{"failure"});
        Mentions(services, {gone});
    }
};

QTEST_GUILESS_MAIN(CommandsTest)
#include "CommandsTest.moc"
