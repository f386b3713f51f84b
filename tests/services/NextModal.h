#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Hands the next modal window to `answer` once it is shown: its own event loop
// blocks the test, so a timer polls for it.
inline void AnswerNextModal(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start(10);
}
