#include "Commands.h"
#include "FakeServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void Touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

// The href of a network link file, read back by a parser.
QString ParsedHref(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    QString href;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"href")
            href = xml.readElementText();
    }
    return xml.hasError() ? QStringLiteral("<parse error: %1>").arg(xml.errorString()) : href;
}

// A temporary folder holding an overlay file, a stand-in viewer and the
// services double that answers the way the user would.
struct Fixture
{
    QTemporaryDir dir;
    FakeServices services;
    CommonDialog dialog{services, nullptr};
    NetworkLinkState state;
    QString viewer;

    Fixture()
    {
        viewer = dir.filePath(QStringLiteral("viewer"));
        Touch(viewer);
        state.GoogleEarthPath = viewer;
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    NetworkLinkOutcome Create(const QString& outputFilePath)
    {
        return cmdCreate_Network_Link(state, outputFilePath, dialog, services, nullptr);
    }
    QList<FakeServices::Call> Starts() const
    {
        return services.CallsOf(FakeServices::Kind::StartProgram);
    }
};

} // namespace

class NetworkLinkTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void create_writesTheLinkBesideTheOverlayAndStartsTheViewerOnIt_data();
    void create_writesTheLinkBesideTheOverlayAndStartsTheViewerOnIt();
    void missingViewer_isLocatedOnceThenRemembered();
    void cancelledLocate_changesNothing();
    void failedWrite_isToldAndStartsNothing();
    void failedViewerStart_isToldAndTheLinkStays();
    void exit_deletesOnlyTheLatestLinkFile();
    void exit_leavesAnythingButAnOrdinaryFileAlone_data();
    void exit_leavesAnythingButAnOrdinaryFileAlone();
    void exit_failedRemovalIsTold();
};

void NetworkLinkTest::create_writesTheLinkBesideTheOverlayAndStartsTheViewerOnIt_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("plain") << QString();
    QTest::newRow("spaces") << QStringLiteral("My Maps");
    QTest::newRow("ampersand") << QStringLiteral("A&B <x>");
    QTest::newRow("percent") << QStringLiteral("%TEMP% 100%");
    QTest::newRow("quotes") << QStringLiteral("say \"hi\" 'there'");
    QTest::newRow("non-ASCII") << QStringLiteral("Ærøskøbing 地図");
}

void NetworkLinkTest::create_writesTheLinkBesideTheOverlayAndStartsTheViewerOnIt()
{
    QFETCH(QString, folder);
    Fixture f;
    QVERIFY(QDir(f.dir.path()).mkpath(folder.isEmpty() ? QStringLiteral(".") : folder));
    const QString base = folder.isEmpty() ? f.dir.path() : f.Path(folder);
    const QString output = base % u"/city.kml";
    const QString link = base % u"/city_Network_Link.kml";

    QCOMPARE(f.Create(output), NetworkLinkOutcome::Done);

    QCOMPARE(f.state.NetworkLinkFilePath, link);
    const QByteArray bytes = ReadAll(link);
    QString escaped = output;
    escaped.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"));
    QCOMPARE(QString::fromUtf8(bytes),
             u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             u"<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
             u"<NetworkLink>\n<Url>\n<href>" %
                 escaped %
                 u"</href>\n"
                 u"<refreshMode>onInterval</refreshMode>\n<refreshInterval>1</refreshInterval>\n"
                 u"</Url>\n</NetworkLink>\n</kml>\n");
    QCOMPARE(ParsedHref(bytes), output);

    // The viewer gets the link file as one argument, however the path looks.
    const QList<FakeServices::Call> starts = f.Starts();
    QCOMPARE(starts.size(), 1);
    QCOMPARE(starts[0].program, f.viewer);
    QCOMPARE(starts[0].arguments, QStringList{link});
    QCOMPARE(f.services.CallsOf(FakeServices::Kind::FileDialog).size(), 0);
    QCOMPARE(f.services.MessageCount(), 0);
    // The overlay file itself is not this command's to write.
    QVERIFY(!QFile::exists(output));
}

void NetworkLinkTest::missingViewer_isLocatedOnceThenRemembered()
{
    Fixture f;
    f.state.GoogleEarthPath = f.Path(QStringLiteral("no-such-viewer"));
    f.services.fileDialogAnswers = {f.viewer};
    const QString output = f.Path(QStringLiteral("city.kml"));

    QCOMPARE(f.Create(output), NetworkLinkOutcome::Done);
    QCOMPARE(f.Create(output), NetworkLinkOutcome::Done);

    const QList<FakeServices::Call> dialogs = f.services.CallsOf(FakeServices::Kind::FileDialog);
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs[0].mode, FileDialogMode::Open);
    QCOMPARE(dialogs[0].title, QStringLiteral("Locate Google Earth executable file"));
    QCOMPARE(dialogs[0].text, PlatformProfile::Current().locateViewerFilter);
    QCOMPARE(f.dialog.FileName(), QString());
    QCOMPARE(f.state.GoogleEarthPath, f.viewer);
    // Each click starts a further viewer on the same link file.
    const QList<FakeServices::Call> starts = f.Starts();
    QCOMPARE(starts.size(), 2);
    QCOMPARE(starts[1].program, f.viewer);
}

void NetworkLinkTest::cancelledLocate_changesNothing()
{
    Fixture f;
    const QString missing = f.Path(QStringLiteral("no-such-viewer"));
    f.state.GoogleEarthPath = missing;
    f.state.NetworkLinkFilePath = QStringLiteral("/earlier/link.kml");

    QCOMPARE(f.Create(f.Path(QStringLiteral("city.kml"))), NetworkLinkOutcome::Cancelled);

    QCOMPARE(f.state.GoogleEarthPath, missing);
    QCOMPARE(f.state.NetworkLinkFilePath, QStringLiteral("/earlier/link.kml"));
    QVERIFY(!QFile::exists(f.Path(QStringLiteral("city_Network_Link.kml"))));
    QCOMPARE(f.Starts().size(), 0);
    QCOMPARE(f.services.MessageCount(), 0);
}

void NetworkLinkTest::failedWrite_isToldAndStartsNothing()
{
    Fixture f;
    f.state.NetworkLinkFilePath = QStringLiteral("/earlier/link.kml");
    const QString link = f.Path(QStringLiteral("gone/city_Network_Link.kml"));

    QCOMPARE(f.Create(f.Path(QStringLiteral("gone/city.kml"))), NetworkLinkOutcome::WriteFailed);

    const QList<FakeServices::Call> failures = f.services.CallsOf(FakeServices::Kind::Failure);
    QCOMPARE(failures.size(), 1);
    QVERIFY2(failures[0].text.contains(link), qPrintable(failures[0].text));
    QVERIFY2(failures[0].text.contains(QStringLiteral("does not exist")),
             qPrintable(failures[0].text));
    QCOMPARE(f.Starts().size(), 0);
    QCOMPARE(f.state.NetworkLinkFilePath, QStringLiteral("/earlier/link.kml"));
}

void NetworkLinkTest::failedViewerStart_isToldAndTheLinkStays()
{
    Fixture f;
    f.services.failingProgram = f.viewer;
    f.services.failingReason = QStringLiteral("Permission denied");
    const QString link = f.Path(QStringLiteral("city_Network_Link.kml"));

    QCOMPARE(f.Create(f.Path(QStringLiteral("city.kml"))), NetworkLinkOutcome::Done);

    QVERIFY(QFile::exists(link));
    QCOMPARE(f.state.NetworkLinkFilePath, link);
    const QList<FakeServices::Call> failures = f.services.CallsOf(FakeServices::Kind::Failure);
    QCOMPARE(failures.size(), 1);
    for (const QString& part : {f.viewer, QStringLiteral("Permission denied"), link})
        QVERIFY2(failures[0].text.contains(part), qPrintable(failures[0].text));

    // The next click offers another viewer instead of failing the same way.
    f.services.failingProgram.clear();
    const QString other = f.Path(QStringLiteral("other viewer"));
    Touch(other);
    f.services.fileDialogAnswers = {other};
    QCOMPARE(f.Create(f.Path(QStringLiteral("city.kml"))), NetworkLinkOutcome::Done);
    QCOMPARE(f.services.CallsOf(FakeServices::Kind::FileDialog).size(), 1);
    QCOMPARE(f.Starts().last().program, other);
}

void NetworkLinkTest::exit_deletesOnlyTheLatestLinkFile()
{
    Fixture f;
    QCOMPARE(f.Create(f.Path(QStringLiteral("a.kml"))), NetworkLinkOutcome::Done);
    QCOMPARE(f.Create(f.Path(QStringLiteral("b.kml"))), NetworkLinkOutcome::Done);
    const QString overlay = f.Path(QStringLiteral("b.kml"));
    Touch(overlay);

    DeleteNetworkLinkFile(f.state.NetworkLinkFilePath, f.services, nullptr);

    QVERIFY(!QFile::exists(f.Path(QStringLiteral("b_Network_Link.kml"))));
    QVERIFY(QFile::exists(f.Path(QStringLiteral("a_Network_Link.kml"))));
    QVERIFY(QFile::exists(overlay));
    QCOMPARE(f.services.MessageCount(), 0);
}

void NetworkLinkTest::exit_leavesAnythingButAnOrdinaryFileAlone_data()
{
    QTest::addColumn<QString>("linkName");
    QTest::addColumn<bool>("makeFolder");
    QTest::newRow("no link this run") << QString() << false;
    QTest::newRow("deleted by hand") << QStringLiteral("city_Network_Link.kml") << false;
    QTest::newRow("a folder there") << QStringLiteral("city_Network_Link.kml") << true;
}

void NetworkLinkTest::exit_leavesAnythingButAnOrdinaryFileAlone()
{
    QFETCH(QString, linkName);
    QFETCH(bool, makeFolder);
    Fixture f;
    const QString link = linkName.isEmpty() ? QString() : f.Path(linkName);
    if (makeFolder)
        QVERIFY(QDir(f.dir.path()).mkdir(linkName));

    DeleteNetworkLinkFile(link, f.services, nullptr);

    if (makeFolder)
        QVERIFY(QFileInfo(link).isDir());
    QCOMPARE(f.services.calls.size(), 0);
}

void NetworkLinkTest::exit_failedRemovalIsTold()
{
    Fixture f;
    // Looks like a file to the lookup, but vanished before the removal.
    const QString link = f.Path(QStringLiteral("raced_Network_Link.kml"));
    f.services.existingFiles = {link};

    DeleteNetworkLinkFile(link, f.services, nullptr);

    const QList<FakeServices::Call> failures = f.services.CallsOf(FakeServices::Kind::Failure);
    QCOMPARE(failures.size(), 1);
    QVERIFY2(failures[0].text.contains(link), qPrintable(failures[0].text));
}

QTEST_GUILESS_MAIN(NetworkLinkTest)
#include "NetworkLinkTest.moc"
