#include "PathHelpers.h"

#include <QTest>

// The path helpers' table, written with "\" as on Windows. The Linux and
// macOS profile looks for "/" instead, so the same table mirrored (every "\"
// swapped with "/") must give the mirrored answers there.
class PathHelpersTest : public QObject
{
    Q_OBJECT

private:
    static void addRows(bool mirrored)
    {
        struct Row
        {
            const char* path;
            const char* folder;
            const char* base;
            const char* extension;
        };
        const Row rows[] = {
            {R"(C:\maps\logo.png)", R"(C:\maps\)", "logo", "png"},
            {R"(C:\maps\my.logo.png)", R"(C:\maps\)", "my", "png"},
            {R"(C:\my.maps\logo)", R"(C:\my.maps\)", "logo", ""},
            {R"(C:\maps\)", R"(C:\maps\)", "", ""},
            {"logo.png", "", "logo", "png"},
            {"C:/maps/logo.png", "", "C:/maps/logo", "png"},
            {"C:/my.maps/logo", "", "C:/my", ""},
            {R"(C:\maps\.hidden)", R"(C:\maps\)", "", "hidden"},
            {R"(C:\maps\logo.)", R"(C:\maps\)", "logo", ""},
            {R"(C:\maps\LOGO.JPG)", R"(C:\maps\)", "LOGO", "JPG"},
            {R"(  C:\maps\logo.png  )", R"(C:\maps\)", "logo", "png  "},
            {"", "", "", ""},
            // Only spaces are trimmed; a tab stays part of the path.
            {"\tC:\\maps\\a.b", "\tC:\\maps\\", "a", "b"},
            {R"(\\server\share\map.kml)", R"(\\server\share\)", "map", "kml"},
        };
        const auto mirror = [mirrored](const char* text) {
            QString s = QString::fromUtf8(text);
            if (!mirrored)
                return s;
            for (QChar& c : s) {
                if (c == QLatin1Char('\\'))
                    c = QLatin1Char('/');
                else if (c == QLatin1Char('/'))
                    c = QLatin1Char('\\');
            }
            return s;
        };
        for (const Row& row : rows) {
            QTest::addRow("%s %s", mirrored ? "unix" : "windows", row.path)
                << (mirrored ? QChar(QLatin1Char('/')) : QChar(QLatin1Char('\\')))
                << mirror(row.path) << mirror(row.folder) << mirror(row.base)
                << mirror(row.extension);
        }
    }

private Q_SLOTS:
    void helpers_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("extension");
        addRows(false);
        addRows(true);
    }

    void helpers()
    {
        QFETCH(QChar, separator);
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, base);
        QFETCH(QString, extension);
        QCOMPARE(Overlay::FolderOfPath(path, separator), folder);
        QCOMPARE(Overlay::FileBaseName(path, separator), base);
        QCOMPARE(Overlay::FileExtension(path), extension);
    }
};

QTEST_GUILESS_MAIN(PathHelpersTest)
#include "tst_paths.moc"
