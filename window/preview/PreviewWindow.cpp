#include "PreviewWindow.h"

#include "KmlNumber.h"
#include "PreviewCanvas.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPolygonF>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const QString kSeparator = QStringLiteral("  ·  ");

QString SizeText(QSizeF size)
{
    return Overlay::WholeNumberText(std::round(size.width())) + QStringLiteral(" × ") +
           Overlay::WholeNumberText(std::round(size.height()));
}

double Area(const QPolygonF& polygon)
{
    double twice = 0;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon.at(i);
        const QPointF b = polygon.at((i + 1) % polygon.size());
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return std::abs(twice) / 2;
}

QString Percent(double share)
{
    const double percent = share * 100;
    return QString::number(percent, 'f', percent < 10 ? 1 : 0) + QLatin1Char('%');
}

// Puts `window` on the roomier side of `main`, narrowed to fit there, so that
// neither covers the other's controls; on a screen too small for that it may
// overlap.
void PlaceBeside(QWidget* window, const QWidget* main)
{
    const QScreen* shown = main->screen();
    if (!shown)
        return;
    constexpr int kGap = 8;
    const QRect room = shown->availableGeometry();
    const QRect outer = main->frameGeometry();
    const int roomRight = room.right() - outer.right() - kGap;
    const int roomLeft = outer.left() - kGap - room.left();
    const int narrowest = std::min(window->minimumSizeHint().width(), window->width());
    const int width = std::clamp(std::max(roomRight, roomLeft), narrowest, window->width());
    window->resize(width, window->height());
    const int x = roomRight >= roomLeft ? outer.right() + 1 + kGap : outer.left() - kGap - width;
    window->move(std::clamp(x, room.left(), std::max(room.left(), room.right() + 1 - width)),
                 std::clamp(outer.top(), room.top(),
                            std::max(room.top(), room.bottom() + 1 - window->height())));
}

} // namespace

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Overlay Preview"));
    setObjectName(QStringLiteral("frmPreview"));

    auto* screenLabel = new QLabel(QStringLiteral("Screen size:"), this);
    comboPreviewScreen_ = new QComboBox(this);
    comboPreviewScreen_->setObjectName(QStringLiteral("comboPreviewScreen"));
    const QList<QSize> sizes = ScreenSizes();
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        QString text = SizeText(QSizeF(sizes.at(i)));
        if (i == 0)
            text += QStringLiteral(" (this screen)");
        comboPreviewScreen_->addItem(text, sizes.at(i));
    }
    screenLabel->setBuddy(comboPreviewScreen_);

    canvas_ = new PreviewCanvas(this);
    canvas_->setObjectName(QStringLiteral("canvasPreview"));
    // The first focus when the window opens; later openings keep whichever
    // control the user left it on.
    canvas_->setFocus();

    lblPreviewInfo_ = new QLabel(this);
    lblPreviewInfo_->setObjectName(QStringLiteral("lblPreviewInfo"));
    lblPreviewInfo_->setWordWrap(true);
    lblPreviewInfo_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblPreviewInfo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* top = new QHBoxLayout;
    top->addWidget(screenLabel);
    top->addWidget(comboPreviewScreen_);
    top->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->addLayout(top);
    layout->addWidget(canvas_, 1);
    layout->addWidget(lblPreviewInfo_);

    resize(780, 560);
    connect(comboPreviewScreen_, &QComboBox::currentIndexChanged, this, &PreviewWindow::Refresh);
    // A picture's pixels come later than its settings, and may turn out unreadable.
    connect(canvas_, &PreviewCanvas::pictureChanged, this,
            [this] { lblPreviewInfo_->setText(InfoText()); });
    connect(canvas_, &PreviewCanvas::handEditStarted, this, &PreviewWindow::handEditStarted);
    connect(canvas_, &PreviewCanvas::handEdited, this, &PreviewWindow::handEdited);
    connect(canvas_, &PreviewCanvas::handEditFinished, this, &PreviewWindow::handEditFinished);
    Refresh();
}

QList<QSize> PreviewWindow::ScreenSizes()
{
    QSize own(1920, 1080);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        own = screen->size();
    return {own,
            QSize(1280, 720),
            QSize(1366, 768),
            QSize(1920, 1080),
            QSize(2560, 1440),
            QSize(3840, 2160)};
}

void PreviewWindow::ShowSettings(const OverlaySettings& settings)
{
    canvas_->setSettings(settings);
    lblPreviewInfo_->setText(InfoText());
}

void PreviewWindow::Refresh()
{
    canvas_->setScreenSize(comboPreviewScreen_->currentData().toSize());
    lblPreviewInfo_->setText(InfoText());
}

QString PreviewWindow::InfoText() const
{
    const Placement& p = canvas_->placement();
    const QSize screen = canvas_->screenSize();

    QString summary = QStringLiteral("Screen ") + SizeText(QSizeF(screen)) + kSeparator +
                      QStringLiteral("picture ") + SizeText(p.size) + QStringLiteral(" px");
    if (p.opacity < 1)
        summary += QStringLiteral(", ") + Percent(p.opacity) + QStringLiteral(" opaque");
    if (p.rotationDegrees != 0)
        summary +=
            QStringLiteral(", turned ") + QString::number(p.rotationDegrees) + QStringLiteral("°");

    QStringList lines;
    QStringList notes;
    const double pictureArea = std::abs(p.size.width() * p.size.height());
    const QPolygonF quad(QList<QPointF>(p.corners.begin(), p.corners.end()));
    if (pictureArea > 0 && std::isfinite(pictureArea)) {
        const double visible =
            Area(quad.intersected(QPolygonF(QRectF(QPointF(0, 0), QSizeF(screen)))));
        const double screenArea = double(screen.width()) * screen.height();
        if (visible <= 0) {
            notes << QStringLiteral("The picture lies entirely outside the screen");
        } else {
            summary += kSeparator + QStringLiteral("covers ") + Percent(visible / screenArea) +
                       QStringLiteral(" of the screen");
            if (visible < pictureArea * 0.999)
                notes << QStringLiteral("Part of the picture lies outside the screen");
        }
    }
    lines << summary;

    if (p.overlayXYAbsent && p.screenXYAbsent)
        notes << QStringLiteral("No overlayXY/screenXY: placed at the lower-left corner");
    else if (p.overlayXYAbsent)
        notes << QStringLiteral("No overlayXY: the picture's lower-left corner is pinned");
    else if (p.screenXYAbsent)
        notes << QStringLiteral("No screenXY: pinned to the screen's lower-left corner");

    switch (canvas_->picture()) {
    case PreviewCanvas::Picture::None:
        notes << QStringLiteral("No picture chosen: shown as the white rectangle viewers draw");
        break;
    case PreviewCanvas::Picture::Unreadable: {
        const QString problem = canvas_->pictureProblem();
        notes << QStringLiteral("The picture cannot be read") %
                     (problem.isEmpty() ? QString() : u" (" % problem % u')') %
                     QStringLiteral("; its outline is shown");
        break;
    }
    case PreviewCanvas::Picture::Preparing:
    case PreviewCanvas::Picture::Loaded:
        break;
    }
    if (!notes.isEmpty())
        lines << notes.join(kSeparator);
    lines << p.problems;
    return lines.join(QLatin1Char('\n'));
}

void PreviewWindow::ShowBeside(const QWidget* main, const OverlaySettings& settings)
{
    if (!placed_) {
        PlaceBeside(this, main);
        placed_ = true;
    }
    ShowSettings(settings);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}
