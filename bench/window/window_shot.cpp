// Renders the main window as a user sees it after choosing a picture and a
// Save As, for the README and the user guide.
//
// Usage: [ORVINEL_SHOT_SCREEN=1366x768@125] [ORVINEL_SHOT_PALETTE=dark]
// window_shot FOLDER OUT.png. FOLDER gets Legend.gif (240 x 120) and
// legend.kml; the paths show in the window as they are. ORVINEL_SHOT_PALETTE=dark
// draws it in a dark palette.

#include "BenchServices.h"
#include "ShotPalette.h"
#include "frmOrvinel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// A 240 by 120 GIF (Qt cannot write GIF).
const QByteArray kGif =
    QByteArray::fromHex("474946383961f0007800800000000000ffffff2c00000000f000780002012c003b");

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: window_shot FOLDER OUT.png\n");
        return 2;
    }
    // Offscreen, on a screen of ORVINEL_SHOT_SCREEN ("1366x768@125": pixels
    // and scaling; a 1920 x 1080 desktop at 100 % unless given).
    QTemporaryDir screenFolder;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        const QRegularExpressionMatch screen =
            QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)@(\\d+)$"))
                .match(
                    qEnvironmentVariable("ORVINEL_SHOT_SCREEN", QStringLiteral("1920x1080@100")));
        if (!screen.hasMatch())
            return 2;
        QFile config(screenFolder.filePath(QStringLiteral("screen.json")));
        const QByteArray json =
            QStringLiteral(R"({"screens": [{"name": "shot", "width": %1, "height": %2, )"
                           R"("logicalDpi": %3, "logicalBaseDpi": 96, "dpr": 1}]})")
                .arg(screen.captured(1), screen.captured(2))
                .arg(96 * screen.captured(3).toInt() / 100)
                .toLatin1();
        if (!config.open(QIODevice::WriteOnly) || config.write(json) != json.size())
            return 1;
        config.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvinel"));
    UseShotPalette();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString picture = folder.filePath(QStringLiteral("Legend.gif"));
    QFile gif(picture);
    if (!folder.mkpath(QStringLiteral(".")) || !gif.open(QIODevice::WriteOnly) ||
        gif.write(kGif) != kGif.size())
        return 1;
    gif.close();

    BenchServices services;
    services.answers = {picture, folder.filePath(QStringLiteral("legend"))};
    frmOrvinel window(services);
    window.Form_Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    for (const char* command : {"cmdOpen_graphic_file", "cmdSave_As"})
        window.findChild<QPushButton*>(QString::fromLatin1(command))->click();
    window.WaitForWrites();
    return window.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
