#pragma once

#include <QPushButton>
#include <QRadioButton>

// Buttons whose caption wraps at word boundaries when it is wider than the
// button, so a long caption stays readable in the fixed places of the layout
// instead of being cut off. text() stays the caption as given.
class WrappingPushButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class WrappingRadioButton : public QRadioButton
{
public:
    using QRadioButton::QRadioButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};
