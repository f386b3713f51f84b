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

// Help finds its guide relative to the program's folder; this runs the real
// lookup against the build tree and against a tree made by `cmake --install`.
class tst_Packaging : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void guideIsFoundWithItsPictures_data();
    void guideIsFoundWithItsPictures();
    void windowIconOffersEveryDrawnSize_data();
    void windowIconOffersEveryDrawnSize();

private:
    QTemporaryDir m_prefix;
};

void tst_Packaging::initTestCase()
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

void tst_Packaging::guideIsFoundWithItsPictures_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("expectedGuide");

    const QString buildTree = QStringLiteral(ORVINEL_PROGRAM_DIR);
    QTest::newRow("build tree") << buildTree << buildTree + QStringLiteral("/guide/index.html");
    const QString prefix = m_prefix.path();
    QTest::newRow("installed tree") << prefix + QStringLiteral("/bin")
                                    << prefix + QStringLiteral("/share/orvinel/guide/index.html");
}

void tst_Packaging::guideIsFoundWithItsPictures()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, expectedGuide);

    const QString guide = Commands::FindUserGuide(
        programFolder, [](const QString& path) { return QFileInfo(path).isFile(); });
    QCOMPARE(guide, QDir::cleanPath(expectedGuide));

    // Every picture and style sheet that a page of the guide names must stand
    // beside it, or the guide opens with broken pictures.
    static const QRegularExpression reference(QStringLiteral(R"((?:src|href)\s*=\s*"([^"#?]+))"));
    const QDir guideFolder = QFileInfo(guide).dir();
    for (const QString& name : guideFolder.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        QFile page(guideFolder.filePath(name));
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.errorString()));
        const QString html = QString::fromUtf8(page.readAll());
        for (const QRegularExpressionMatch& match : reference.globalMatch(html)) {
            const QString target = match.captured(1);
            if (target.contains(u':'))
                continue; // a web address or mailto:, not a file of the guide
            QVERIFY2(QFileInfo::exists(guideFolder.filePath(target)),
                     qPrintable(name + u" names \"" + target + u"\", which is not beside it"));
        }
    }
}

void tst_Packaging::windowIconOffersEveryDrawnSize_data()
{
    QTest::addColumn<int>("size");
    for (const int size : {32, 48, 64, 128, 256})
        QTest::addRow("%d px", size) << size;
}

void tst_Packaging::windowIconOffersEveryDrawnSize()
{
    QFETCH(int, size);

    // The window manager must get the picture drawn for its size, not a
    // large one scaled down, which blurs at 32 px.
    const QIcon icon = orvinelWindowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    const QImage drawn(QStringLiteral(":/icons/orvinel-%1.png").arg(size));
    QCOMPARE(drawn.size(), QSize(size, size));
    // Pixmaps hold premultiplied pixels, so compare in that form.
    const auto format = QImage::Format_ARGB32_Premultiplied;
    QCOMPARE(icon.pixmap(QSize(size, size)).toImage().convertToFormat(format),
             drawn.convertToFormat(format));
}

QTEST_MAIN(tst_Packaging)
#include "tst_packaging.moc"
