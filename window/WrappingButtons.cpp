#include "WrappingButtons.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

constexpr int kWrapFlags = Qt::TextWordWrap;

} // namespace

void WrappingPushButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;

    // The bevel and focus frame without the caption, then the caption wrapped.
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    option.text = caption;
    QRect textRect = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown() || isChecked()) {
        textRect.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                           style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }
    // The access key underlined, where the style shows access keys.
    int flags = Qt::AlignCenter | kWrapFlags | Qt::TextShowMnemonic;
    if (style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this) == 0)
        flags |= Qt::TextHideMnemonic;
    painter.drawItemText(textRect, flags, palette(), isEnabled(), caption, QPalette::ButtonText);
}

void WrappingRadioButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;

    // The indicator alone, then the caption wrapped into the rest of the width.
    option.text.clear();
    option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_RadioButton, option);

    option.text = caption;
    const QRect contents = style()->subElementRect(QStyle::SE_RadioButtonContents, &option, this);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | kWrapFlags;
    painter.drawItemText(contents, flags, palette(), isEnabled(), caption, QPalette::WindowText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = painter.boundingRect(contents, flags, caption).adjusted(-1, 0, 1, 0) &
                     contents.adjusted(-1, 0, 1, 0);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
