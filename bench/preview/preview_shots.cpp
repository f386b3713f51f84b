// Renders the preview window in three typical states to PNG files, with a
// small legend picture drawn here and loaded as any picture file is. With
// --keyboard, a fourth: the picture taken by Tab, its handles and the
// canvas's focus frame showing. ORVINEL_SHOT_PALETTE=dark draws them in a
// dark palette.
#include "OverlaySettings.h"
#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "ShotPalette.h"
#include "Vocabulary.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

QImage Legend()
{
    QImage image(240, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(1, 1, 238, 118), 8, 8);
    p.fillPath(card, QColor(255, 255, 255, 235));
    p.setPen(QPen(QColor(0x44, 0x4c, 0x55), 1.5));
    p.drawPath(card);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0x22, 0x28, 0x2e));
    p.drawText(QRectF(14, 8, 220, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Land use"));
    font.setBold(false);
    font.setPixelSize(13);
    p.setFont(font);
    const struct
    {
        QColor colour;
        const char* name = nullptr;
    } rows[] = {{QColor(0x4c, 0xa6, 0x4c), "Forest"},
                {QColor(0xe8, 0xc5, 0x4a), "Farmland"},
                {QColor(0x3b, 0x82, 0xc4), "Water"}};
    double y = 38;
    for (const auto& row : rows) {
        p.setPen(QPen(QColor(0x44, 0x4c, 0x55), 1));
        p.setBrush(row.colour);
        p.drawRoundedRect(QRectF(16, y, 26, 18), 3, 3);
        p.setPen(QColor(0x22, 0x28, 0x2e));
        p.drawText(QRectF(52, y - 2, 180, 22), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(row.name));
        y += 26;
    }
    return image;
}

OverlaySettings Base(const QString& picture)
{
    OverlaySettings s;
    for (QString* units : {&s.overlayXUnits, &s.overlayYUnits, &s.screenXUnits, &s.screenYUnits,
                           &s.rotationXUnits, &s.rotationYUnits, &s.sizeXUnits, &s.sizeYUnits})
        *units = Vocabulary::kFraction;
    s.title = QStringLiteral("Land use");
    s.drawOrder = QStringLiteral("99");
    s.sizeX = Vocabulary::kMaintainNativeSize;
    s.sizeY = Vocabulary::kMaintainNativeSize;
    s.colour = Vocabulary::kOpaqueWhite;
    s.picture = picture;
    return s;
}

bool Shot(PreviewWindow& window, const OverlaySettings& settings, const QString& file)
{
    window.ShowSettings(settings);
    // The first paint asks for the picture's pixels; they come a moment later.
    PreviewCanvas* canvas = window.canvas();
    canvas->grab();
    if (canvas->picture() == PreviewCanvas::Picture::Preparing) {
        QEventLoop loop;
        QObject::connect(canvas, &PreviewCanvas::pictureChanged, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const bool ok = window.grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(file));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    UseShotPalette();
    const bool keyboard = argc == 3 && qstrcmp(argv[2], "--keyboard") == 0;
    if (argc < 2 || (argc > 2 && !keyboard)) {
        std::fprintf(stderr, "usage: preview_shots <output folder> [--keyboard]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir dir;
    const QString legend = dir.filePath(QStringLiteral("Legend.png"));
    if (!Legend().save(legend))
        return 1;

    PreviewWindow window;
    window.resize(780, 560);
    auto* combo = window.findChild<QComboBox*>(QStringLiteral("comboPreviewScreen"));
    combo->setCurrentIndex(combo->findData(QSize(1920, 1080)));

    OverlaySettings lowerRight = Base(legend);
    lowerRight.overlayX = lowerRight.screenX = QStringLiteral("1");
    lowerRight.overlayY = lowerRight.screenY = QStringLiteral("0");

    OverlaySettings turned = Base(legend);
    turned.overlayX = turned.overlayY = QStringLiteral("0.5");
    turned.screenX = turned.screenY = QStringLiteral("0.5");
    turned.sizeX = QStringLiteral("0.3");
    turned.sizeY = Vocabulary::kMaintainAspect;
    turned.rotation = QStringLiteral("45");

    OverlaySettings faded = Base(legend);
    faded.overlayX = faded.screenX = QStringLiteral("0");
    faded.overlayY = faded.screenY = QStringLiteral("1");
    faded.sizeX = QStringLiteral("360");
    faded.sizeXUnits = Vocabulary::kPixels;
    faded.sizeY = Vocabulary::kMaintainAspect;
    faded.colour = QStringLiteral("80ffffff");

    bool ok = Shot(window, lowerRight, out.filePath(QStringLiteral("preview-lower-right.png")));
    ok = Shot(window, turned, out.filePath(QStringLiteral("preview-rotated.png"))) && ok;
    ok = Shot(window, faded, out.filePath(QStringLiteral("preview-half-transparent.png"))) && ok;
    if (keyboard) {
        // As a user without a mouse gets there: the window opens on the
        // canvas, Tab goes round by the screen list and back to it.
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            return 1;
        for (int tab = 0; tab < 2; ++tab)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ok = Shot(window, turned, out.filePath(QStringLiteral("preview-keyboard.png"))) && ok;
    }
    return ok ? 0 : 1;
}
