#pragma once

#include <QLabel>

// A label that reports a click, as the credit label needs. It never takes the
// focus, so a click on it runs no focus-loss check.
class ClickableLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
