#pragma once

#include <QGroupBox>

// A frame whose caption sits on its line, at the top left, as the layout's
// places assume: the controls inside start just under the caption rather than
// under a band above the line. Painted directly (no style sheet), so the
// window starts quicker.
class CaptionFrame : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};
