#include "PlatformProfile.h"

#include <QTest>

namespace {

// Every value of a profile, in declaration order, so rows read as a table.
QStringList Values(const PlatformProfile& profile)
{
    return {profile.pathSeparator,
            profile.nativeDialogSeparators ? QStringLiteral("native") : QStringLiteral("as given"),
            profile.defaultViewerPath,
            profile.locateViewerFilter,
            profile.secondProgramSuffix,
            profile.preferredBrowser};
}

} // namespace

class PlatformProfileTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void profile_holdsItsPlatformsValues_data();
    void profile_holdsItsPlatformsValues();
    void current_isThisBuildsPlatform();
};

void PlatformProfileTest::profile_holdsItsPlatformsValues_data()
{
    QTest::addColumn<QStringList>("actual");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("Windows") << Values(PlatformProfile::Windows())
                             << QStringList{
                                    "\\",
                                    "native",
                                    "C:\\Program Files\\Google\\Google Earth\\GoogleEarth.exe",
                                    "Google Earth executable|GoogleEarth.exe",
                                    "/Orvinel.exe",
                                    "C:\\Program Files\\Internet Explorer\\iexplore.exe"};
    QTest::newRow("Linux")
        << Values(PlatformProfile::Linux())
        << QStringList{"/",           "as given", "/opt/google/earth/pro/google-earth-pro",
                       "All files|*", "/orvinel", ""};
    QTest::newRow("macOS") << Values(PlatformProfile::MacOS())
                           << QStringList{"/",
                                          "as given",
                                          "/Applications/Google Earth Pro.app/Contents/MacOS/"
                                          "Google Earth",
                                          "All files|*",
                                          "/orvinel",
                                          ""};
}

void PlatformProfileTest::profile_holdsItsPlatformsValues()
{
    QFETCH(QStringList, actual);
    QTEST(actual, "expected");
}

void PlatformProfileTest::current_isThisBuildsPlatform()
{
#if defined(Q_OS_WIN)
    const PlatformProfile expected = PlatformProfile::Windows();
#elif defined(Q_OS_MACOS)
    const PlatformProfile expected = PlatformProfile::MacOS();
#else
    const PlatformProfile expected = PlatformProfile::Linux();
#endif
    QCOMPARE(Values(PlatformProfile::Current()), Values(expected));
}

QTEST_GUILESS_MAIN(PlatformProfileTest)
#include "PlatformProfileTest.moc"
