#include "PathHelpers.h"

#include <QTest>

// The path helpers' table, written with "\" as on Windows. The Linux and
// macOS profile looks for "/" instead, so the same table mirrored (every "\"
// swapped with "/") must give the mirrored answers there.
class PathHelpersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpers_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QStringList>("row"); // path, folder, base, extension
        const char* const rows[][4] = {
            {R"(C:\maps\logo.png)", R"(C:\maps\)", "logo", "png"},
            {R"(C:\maps\my.logo.png)", R"(C:\maps\)", "my", "png"},
            {R"(C:\my.maps\logo)", R"(C:\my.maps\)", "logo", ""},
            {R"(C:\maps\)", R"(C:\maps\)", "", ""},
            {"logo.png", "", "logo", "png"},
            {"C:/maps/logo.png", "", "C:/maps/logo", "png"},
            {R"(C:\maps\.hidden)", R"(C:\maps\)", "", "hidden"},
            {R"(C:\maps\logo.)", R"(C:\maps\)", "logo", ""},
            {R"(C:\maps\LOGO.JPG)", R"(C:\maps\)", "LOGO", "JPG"},
            {R"(  C:\maps\logo.png  )", R"(C:\maps\)", "logo", "png  "},
            {"", "", "", ""},
            // Only spaces are trimmed; a tab stays part of the path.
            {"\tC:\\maps\\a.b", "\tC:\\maps\\", "a", "b"},
            {R"(\\server\share\map.kml)", R"(\\server\share\)", "map", "kml"},
        };
        for (const bool mirrored : {false, true}) {
            for (const auto& texts : rows) {
                QStringList row;
                for (const char* text : texts)
                    row << QString::fromUtf8(text);
                if (mirrored) // through a stand-in, so each swap happens once
                    row.replaceInStrings(QStringLiteral("\\"), QStringLiteral("\x01"))
                        .replaceInStrings(QStringLiteral("/"), QStringLiteral("\\"))
                        .replaceInStrings(QStringLiteral("\x01"), QStringLiteral("/"));
                QTest::addRow("%s %s", mirrored ? "unix" : "windows", texts[0])
                    << QChar(mirrored ? u'/' : u'\\') << row;
            }
        }
    }

    void helpers()
    {
        QFETCH(QChar, separator);
        QFETCH(QStringList, row);
        QCOMPARE(Overlay::FolderOfPath(row[0], separator), row[1]);
        QCOMPARE(Overlay::FileBaseName(row[0], separator), row[2]);
        QCOMPARE(Overlay::FileExtension(row[0]), row[3]);
    }

    // Relative links are taken from the overlay file's folder; anything with
    // a scheme or a drive letter stands as written.
    void links_data()
    {
        QTest::addColumn<QString>("href");
        QTest::addColumn<int>("scheme");
        QTest::addColumn<bool>("relative");
        const struct
        {
            const char* href;
            int scheme;
            bool relative;
        } rows[] = {
            {"logo.png", 0, true},        {"maps/logo.png", 0, true},
            {"/maps/logo.png", 0, false}, {R"(\maps\logo.png)", 0, false},
            {R"(C:\logo.png)", 1, false}, {"https://a/logo.png", 5, false},
            {"a+b.c-9:x", 7, false},      {"9a:logo.png", 0, true},
            {"my logo:1.png", 0, true},   {"\u00e9t\u00e9:logo.png", 0, true},
            {":logo.png", 0, true},       {"", 0, false},
        };
        for (const auto& row : rows)
            QTest::addRow("%s", row.href)
                << QString::fromUtf8(row.href) << row.scheme << row.relative;
    }

    void links()
    {
        QFETCH(QString, href);
        QFETCH(int, scheme);
        QFETCH(bool, relative);
        QCOMPARE(Overlay::SchemeLength(href), scheme);
        QCOMPARE(Overlay::IsRelativeLink(href), relative);
    }

    // Device names count with any extension, case and trailing blanks; names
    // that only look alike do not.
    void windowsNames()
    {
        for (const char* name : {"console.png", "COM10.png", "nul_.gif", "a.b.c", ".hidden"})
            QVERIFY2(Overlay::NameWindowsRefuses(QString::fromUtf8(name)).isEmpty(), name);
        for (const char* name : {"NUL", "nul.tar.gz", "Com3.png", "aux .png", "conin$.gif",
                                 "a?.png", "tab\t.png", "end "})
            QVERIFY2(!Overlay::NameWindowsRefuses(QString::fromUtf8(name)).isEmpty(), name);
    }
};

QTEST_GUILESS_MAIN(PathHelpersTest)
#include "tst_paths.moc"
