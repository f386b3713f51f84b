// Files as other programs write them: libkml (kmldom::SerializePretty), GDAL
// (ogr2ogr -f KML, from points with attributes) and pykml (lxml, pretty
// printed). Each opens in place, writes back unchanged, and an edit of its
// overlay changes only the lines of the elements edited. GDAL writes no
// screen overlay: Orvinel adds one first, keeping every line GDAL wrote.

#include "KmlSplice.h"

#include <QFile>
#include <QHash>
#include <QTest>

namespace {

// The lines of `after` that `before` does not hold, counting repeats: what
// `git diff` shows as added.
QByteArrayList AddedLines(const QByteArray& before, const QByteArray& after)
{
    QHash<QByteArray, int> held;
    for (const QByteArray& line : before.split('\n'))
        ++held[line];
    QByteArrayList added;
    for (const QByteArray& line : after.split('\n'))
        if (held[line]-- <= 0)
            added << line;
    return added;
}

} // namespace

class WrittenByTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editedInPlace_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("libkml") << "written-by-libkml.kml";
        QTest::newRow("GDAL") << "written-by-gdal.kml";
        QTest::newRow("pykml") << "written-by-pykml.kml";
    }
    void editedInPlace()
    {
        QFETCH(QString, file);
        QFile fixture(u":/data/" + file);
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        QByteArray bytes = fixture.readAll();
        if (!bytes.contains("<ScreenOverlay>")) {
            OverlaySettings logo;
            logo.title = QStringLiteral("Logo");
            logo.colour = QStringLiteral("ffffffff");
            logo.picture = QStringLiteral("logo.png");
            QString problem;
            const std::optional<QString> added =
                Overlay::WithOverlayAdded(QString::fromUtf8(bytes), logo, false, problem);
            QVERIFY2(added, qPrintable(problem));
            const QByteArray withLogo = added->toUtf8();
            QVERIFY(AddedLines(withLogo, bytes).isEmpty()); // every line GDAL wrote is kept
            bytes = withLogo;
        }

        const Overlay::KmlInPlaceRead read = Overlay::ReadKmlInPlace(bytes);
        QVERIFY(read.inPlace && read.overlay.ok());
        QCOMPARE(Overlay::InPlaceBytes(*read.inPlace, read.overlay.settings), bytes);
        OverlaySettings now = read.overlay.settings;
        now.screenX = QStringLiteral("0.5");
        now.colour = QStringLiteral("80ffffff");
        const QByteArray edited = Overlay::InPlaceBytes(*read.inPlace, now);
        const QByteArrayList added = AddedLines(bytes, edited);
        QCOMPARE(added.size(), 2);
        QVERIFY(added.join().contains("<screenXY x=\"0.5\""));
        QVERIFY(added.join().contains("<color>80ffffff</color>"));
        const QByteArrayList removed = AddedLines(edited, bytes);
        QCOMPARE(removed.size(),
                 int(!read.overlay.settings.screenX.isEmpty()) + int(bytes.contains("<color>")));
        for (const QByteArray& line : removed)
            QVERIFY2(line.contains("<screenXY") || line.contains("<color>"), line);
        QCOMPARE(Overlay::ReadKmlInPlace(edited).overlay.settings, now);
    }
};

QTEST_GUILESS_MAIN(WrittenByTest)
#include "tst_written_by.moc"
