#include "PlatformProfile.h"

#include <QTest>

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
    QTest::addColumn<PlatformProfile>("profile");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("nativeSeparators");
    QTest::addColumn<QString>("viewer");
    QTest::addColumn<QString>("locateFilter");
    QTest::addColumn<QString>("secondProgram");
    QTest::addColumn<QString>("browser");

    QTest::newRow("Windows") << PlatformProfile::Windows() << QChar(u'\\') << true
                             << "C:\\Program Files\\Google\\Google Earth\\GoogleEarth.exe"
                             << "Google Earth executable|GoogleEarth.exe"
                             << "/Orvinel.exe"
                             << "C:\\Program Files\\Internet Explorer\\iexplore.exe";
    QTest::newRow("Linux") << PlatformProfile::Linux() << QChar(u'/') << false
                           << "/opt/google/earth/pro/google-earth-pro"
                           << "All files|*"
                           << "/orvinel" << QString();
    QTest::newRow("macOS") << PlatformProfile::MacOS() << QChar(u'/') << false
                           << "/Applications/Google Earth Pro.app/Contents/MacOS/Google Earth"
                           << "All files|*"
                           << "/orvinel" << QString();
}

void PlatformProfileTest::profile_holdsItsPlatformsValues()
{
    QFETCH(PlatformProfile, profile);
    QTEST(profile.pathSeparator, "separator");
    QTEST(profile.nativeDialogSeparators, "nativeSeparators");
    QTEST(profile.defaultViewerPath, "viewer");
    QTEST(profile.locateViewerFilter, "locateFilter");
    QTEST(profile.secondProgramSuffix, "secondProgram");
    QTEST(profile.preferredBrowser, "browser");
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
    const PlatformProfile& current = PlatformProfile::Current();
    QCOMPARE(current.pathSeparator, expected.pathSeparator);
    QCOMPARE(current.nativeDialogSeparators, expected.nativeDialogSeparators);
    QCOMPARE(current.defaultViewerPath, expected.defaultViewerPath);
    QCOMPARE(current.locateViewerFilter, expected.locateViewerFilter);
    QCOMPARE(current.secondProgramSuffix, expected.secondProgramSuffix);
    QCOMPARE(current.preferredBrowser, expected.preferredBrowser);
}

QTEST_GUILESS_MAIN(PlatformProfileTest)
#include "PlatformProfileTest.moc"
