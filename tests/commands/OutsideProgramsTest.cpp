#include "Commands.h"
#include "FakeServices.h"

#include <QFile>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString kProgramFolder = QStringLiteral("/opt/orvinel/bin");
const QString kBuildTreeGuide = QStringLiteral("/opt/orvinel/bin/guide/index.html");
const QString kInstalledGuide = QStringLiteral("/opt/orvinel/share/orvinel/guide/index.html");
const QString kIexplore = QStringLiteral("C:\\Program Files\\Internet Explorer\\iexplore.exe");

// Services that see only the files a test names.
struct Desktop : FakeServices
{
    explicit Desktop(QStringList files)
    {
        useRealFileSystem = false;
        existingFiles = std::move(files);
        programFolder = kProgramFolder;
    }
};

} // namespace

class OutsideProgramsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newProgram_startsTheProfilesProgramWithoutArguments_data();
    void newProgram_startsTheProfilesProgramWithoutArguments();
    void newProgram_failureIsTold();
    void findUserGuide_triesBesideTheProgramThenTheShareFolder_data();
    void findUserGuide_triesBesideTheProgramThenTheShareFolder();
    void help_followsTheBrowserRule_data();
    void help_followsTheBrowserRule();
    void creditLabel_opensTheAboutSection();
    void help_missingGuideIsTold();
    void shippedGuide_isSelfContainedAndHasItsAnchors();
};

void OutsideProgramsTest::newProgram_startsTheProfilesProgramWithoutArguments_data()
{
    QTest::addColumn<PlatformProfile>("profile");
    QTest::addColumn<QString>("program");
    QTest::newRow("Windows") << PlatformProfile::Windows() << "/opt/orvinel/bin/Orvinel.exe";
    QTest::newRow("Linux") << PlatformProfile::Linux() << "/opt/orvinel/bin/orvinel";
}

void OutsideProgramsTest::newProgram_startsTheProfilesProgramWithoutArguments()
{
    QFETCH(PlatformProfile, profile);
    Desktop services({});
    cmdNew_Program(services, nullptr, profile);

    const QList<FakeServices::Call> starts = services.CallsOf(FakeServices::Kind::StartProgram);
    QCOMPARE(starts.size(), 1);
    QTEST(starts[0].program, "program");
    QCOMPARE(starts[0].arguments, QStringList());
    QCOMPARE(services.MessageCount(), 0);
}

void OutsideProgramsTest::newProgram_failureIsTold()
{
    Desktop services({});
    services.failingProgram = QStringLiteral("/opt/orvinel/bin/orvinel");
    cmdNew_Program(services, nullptr, PlatformProfile::Linux());

    const QList<FakeServices::Call> failures = services.CallsOf(FakeServices::Kind::Failure);
    QCOMPARE(failures.size(), 1);
    QVERIFY(failures[0].text.contains(services.failingProgram));
    QVERIFY(failures[0].text.contains(services.failingReason));
}

void OutsideProgramsTest::findUserGuide_triesBesideTheProgramThenTheShareFolder_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("found");
    QTest::newRow("build tree") << QStringList{kBuildTreeGuide, kInstalledGuide} << kBuildTreeGuide;
    QTest::newRow("installed") << QStringList{kInstalledGuide} << kInstalledGuide;
    QTest::newRow("neither") << QStringList{} << QString();
}

void OutsideProgramsTest::findUserGuide_triesBesideTheProgramThenTheShareFolder()
{
    QFETCH(QStringList, files);
    const auto exists = [&files](const QString& path) {
        return files.contains(path);
    };
    QTEST(FindUserGuide(kProgramFolder, exists), "found");
}

void OutsideProgramsTest::help_followsTheBrowserRule_data()
{
    QTest::addColumn<PlatformProfile>("profile");
    QTest::addColumn<bool>("preferredFails");
    QTest::addColumn<bool>("defaultFails");
    QTest::addColumn<int>("starts");
    QTest::addColumn<int>("defaultOpens");
    QTest::addColumn<int>("failures");

    const PlatformProfile windows = PlatformProfile::Windows();
    const PlatformProfile linux = PlatformProfile::Linux();
    QTest::newRow("Windows: Internet Explorer") << windows << false << false << 1 << 0 << 0;
    QTest::newRow("Windows: fallback") << windows << true << false << 1 << 1 << 0;
    QTest::newRow("Windows: nothing opens") << windows << true << true << 1 << 1 << 1;
    QTest::newRow("Linux: default browser") << linux << false << false << 0 << 1 << 0;
    QTest::newRow("Linux: nothing opens") << linux << false << true << 0 << 1 << 1;
}

void OutsideProgramsTest::help_followsTheBrowserRule()
{
    QFETCH(PlatformProfile, profile);
    QFETCH(bool, preferredFails);
    QFETCH(bool, defaultFails);
    Desktop services({kInstalledGuide});
    if (preferredFails)
        services.failingProgram = kIexplore;
    services.browserFails = defaultFails;

    cmdHelp(services, nullptr, profile);

    const QUrl url = QUrl::fromLocalFile(kInstalledGuide);
    const QList<FakeServices::Call> starts = services.CallsOf(FakeServices::Kind::StartProgram);
    const QList<FakeServices::Call> opens = services.CallsOf(FakeServices::Kind::OpenUrl);
    const QList<FakeServices::Call> failures = services.CallsOf(FakeServices::Kind::Failure);
    QTEST(int(starts.size()), "starts");
    QTEST(int(opens.size()), "defaultOpens");
    QTEST(int(failures.size()), "failures");
    for (const FakeServices::Call& start : starts) {
        QCOMPARE(start.program, kIexplore);
        QCOMPARE(start.arguments, QStringList{url.toString()});
    }
    for (const FakeServices::Call& open : opens)
        QCOMPARE(open.url, url);
    for (const FakeServices::Call& failure : failures) {
        QVERIFY2(failure.text.contains(kInstalledGuide), qPrintable(failure.text));
        QVERIFY2(failure.text.contains(QStringLiteral("No browser is set up")),
                 qPrintable(failure.text));
        if (preferredFails)
            QVERIFY2(failure.text.contains(kIexplore), qPrintable(failure.text));
    }
}

void OutsideProgramsTest::creditLabel_opensTheAboutSection()
{
    Desktop services({kBuildTreeGuide});
    lblTarnwell(services, nullptr, PlatformProfile::Linux());

    const QList<FakeServices::Call> opens = services.CallsOf(FakeServices::Kind::OpenUrl);
    QCOMPARE(opens.size(), 1);
    QCOMPARE(opens[0].url.toString(),
             QStringLiteral("file:///opt/orvinel/bin/guide/index.html#about"));
}

void OutsideProgramsTest::help_missingGuideIsTold()
{
    Desktop services({});
    cmdHelp(services, nullptr, PlatformProfile::Linux());

    const QList<FakeServices::Call> failures = services.CallsOf(FakeServices::Kind::Failure);
    QCOMPARE(failures.size(), 1);
    QVERIFY(failures[0].text.contains(kBuildTreeGuide));
    QVERIFY(failures[0].text.contains(kInstalledGuide));
    QCOMPARE(services.CallsOf(FakeServices::Kind::OpenUrl).size(), 0);
}

// The guide opens from disk, often with no network: it must need nothing
// from outside, and the links the program and the page use must land.
void OutsideProgramsTest::shippedGuide_isSelfContainedAndHasItsAnchors()
{
    QFile file(QStringLiteral(ORVINEL_GUIDE_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    QXmlStreamReader html(&file);
    QSet<QString> ids;
    QStringList fragments;
    QStringList images;
    while (!html.atEnd()) {
        if (html.readNext() != QXmlStreamReader::StartElement)
            continue;
        QVERIFY2(html.name() != u"script", "the guide runs no scripts");
        const QXmlStreamAttributes attributes = html.attributes();
        if (attributes.hasAttribute(QLatin1String("id")))
            ids.insert(attributes.value(QLatin1String("id")).toString());
        for (const char* name : {"href", "src"}) {
            const QString value = attributes.value(QLatin1String(name)).toString();
            QVERIFY2(!value.contains(u':') && !value.startsWith(u"//"),
                     qPrintable(u"reaches outside: " % value));
            if (value.startsWith(u'#'))
                fragments.append(value.mid(1));
        }
        if (html.name() == u"img")
            images.append(attributes.value(QLatin1String("src")).toString());
    }
    QVERIFY2(!html.hasError(), qPrintable(html.errorString()));
    QVERIFY(ids.contains(QStringLiteral("about")));
    for (const QString& fragment : fragments)
        QVERIFY2(ids.contains(fragment), qPrintable(u"no id for #" % fragment));
    QVERIFY(images.contains(QStringLiteral("screenshot.png")));
}

QTEST_GUILESS_MAIN(OutsideProgramsTest)
#include "OutsideProgramsTest.moc"
