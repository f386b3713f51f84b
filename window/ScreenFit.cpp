#include "ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

QSize FittedSize(QSize natural, QSize room, int bar)
{
    bool tall = natural.height() > room.height();
    bool wide = natural.width() > room.width();
    // Twice: a bar that one direction needs can make the other need one.
    for (int pass = 0; pass < 2; ++pass) {
        tall = natural.height() + (wide ? bar : 0) > room.height();
        wide = natural.width() + (tall ? bar : 0) > room.width();
    }
    const QSize size(natural.width() + (tall ? bar : 0), natural.height() + (wide ? bar : 0));
    return size.boundedTo(room);
}

QPoint FittedPlace(QSize frame, const QRect& whole, const QRect& available)
{
    const auto inside = [](int start, int length, int from, int room) {
        return std::max(from, std::min(start, from + room - length));
    };
    const auto half = [](int room) {
        return static_cast<int>(std::lround(room / 2.0));
    };
    const QPoint centred(whole.x() + half(whole.width() - frame.width()),
                         whole.y() + half(whole.height() - frame.height()));
    return {inside(centred.x(), frame.width(), available.left(), available.width()),
            inside(centred.y(), frame.height(), available.top(), available.height())};
}

void FitToScreen(QWidget* window, QSize natural, int bar)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The platform window knows its frame (where the platform can tell
    // before the window is shown), so the outer size is measured.
    window->winId(); // creates the platform window
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    const QSize size = FittedSize(natural, screen->availableGeometry().size() - frame, bar);
    window->setFixedSize(size);
    window->move(FittedPlace(size + frame, screen->geometry(), screen->availableGeometry()));
}
