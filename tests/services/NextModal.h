#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Hands the next modal window to `answer` once it is on screen. A modal box
// blocks the test in its own event loop, so the answer comes from a timer
// that polls QApplication::activeModalWidget().
inline void AnswerNextModal(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}
