#include "Commands.h"
#include "WindowIcon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// A file a page names (not a section of itself); out of the class, as moc
// misreads this raw string there.
const QRegularExpression kReference(QStringLiteral(R"((?:src|href)\s*=\s*"([^"#?]+))"));

// Help finds its guide relative to the program's folder; this runs the real
// lookup against the build tree and against a tree made by `cmake --install`.
class tst_Packaging : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_prefix.isValid(), qPrintable(m_prefix.errorString()));
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(ORVINEL_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(ORVINEL_BUILD_DIR),
                       QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY2(install.waitForFinished(120000), qPrintable(install.errorString()));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
                 install.readAll().constData());
    }

    void guideIsFoundWithItsPictures_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("expectedGuide");
        const QString buildTree = QStringLiteral(ORVINEL_PROGRAM_DIR);
        QTest::newRow("build tree") << buildTree << buildTree + QStringLiteral("/guide/index.html");
        QTest::newRow("installed tree")
            << m_prefix.path() + QStringLiteral("/bin")
            << m_prefix.path() + QStringLiteral("/share/orvinel/guide/index.html");
    }

    // Every picture and style sheet that a page of the guide names must stand
    // beside it: the guide opens from disk, often with no network. The
    // credit label opens its "about" section.
    void guideIsFoundWithItsPictures()
    {
        QFETCH(QString, programFolder);
        QFETCH(QString, expectedGuide);
        const QString guide = Commands::FindUserGuide(
            programFolder, [](const QString& path) { return QFileInfo(path).isFile(); });
        QCOMPARE(guide, QDir::cleanPath(expectedGuide));
        const QDir folder = QFileInfo(guide).dir();
        for (const QString& name : folder.entryList({QStringLiteral("*.html")}, QDir::Files)) {
            QFile page(folder.filePath(name));
            QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.errorString()));
            for (const QRegularExpressionMatch& match :
                 kReference.globalMatch(QString::fromUtf8(page.readAll()))) {
                const QString target = match.captured(1);
                QVERIFY2(!target.contains(u':') && !target.startsWith(u"//") &&
                             QFileInfo::exists(folder.filePath(target)),
                         qPrintable(name + u" names \"" + target + u"\", which is not beside it"));
            }
        }
        QFile index(guide);
        QVERIFY(index.open(QIODevice::ReadOnly) && index.readAll().contains("id=\"about\""));
    }

    // The window manager must get the picture drawn for its size, not a large
    // one scaled down, which blurs at 32 px.
    void windowIconOffersEveryDrawnSize()
    {
        const QIcon icon = orvinelWindowIcon();
        for (const int size : {32, 48, 64, 128, 256}) {
            QVERIFY(icon.availableSizes().contains(QSize(size, size)));
            const QImage drawn(QStringLiteral(":/icons/orvinel-%1.png").arg(size));
            QCOMPARE(drawn.size(), QSize(size, size));
            // Pixmaps hold premultiplied pixels, so compare in that form.
            const auto format = QImage::Format_ARGB32_Premultiplied;
            QCOMPARE(icon.pixmap(QSize(size, size)).toImage().convertToFormat(format),
                     drawn.convertToFormat(format));
        }
    }
};

QTEST_MAIN(tst_Packaging)
#include "tst_packaging.moc"
