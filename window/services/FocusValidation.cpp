#include "FocusValidation.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QWidget>
#include <QWindow>

// How a press reaches a widget decides where the check can run. A press from
// the platform comes to the window's QWindow first, before Qt moves the focus:
// there the focus can simply be kept. A press sent straight to a widget (as
// QTest::mouseClick does) has already moved the focus by the time any event
// filter sees it, so the focus is put back before the check runs and moved on
// again only when the check lets it. Either way the check sees the focus still
// in its control.

namespace {

bool IsFocusButton(Qt::MouseButton button)
{
    return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
}

bool IsTabKey(const QKeyEvent* event)
{
    // Qt moves the focus only for Tab without Ctrl or Alt; Ctrl+Tab belongs to
    // the control.
    if (event->modifiers().testAnyFlags(Qt::ControlModifier | Qt::AltModifier))
        return false;
    return event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
}

QWidget* DeepestFocusProxy(QWidget* widget)
{
    while (widget->focusProxy())
        widget = widget->focusProxy();
    return widget;
}

bool TakesClickFocus(QWidget* widget)
{
    const auto click = [](const QWidget* w) {
        return (w->focusPolicy() & Qt::ClickFocus) != 0;
    };
    return click(widget) && click(DeepestFocusProxy(widget));
}

bool Contains(const QWidget* control, const QWidget* widget)
{
    return control != nullptr && widget != nullptr &&
           (control == widget || control->isAncestorOf(widget));
}

} // namespace

FocusValidation::FocusValidation(QWidget* window) : QObject(window), window_(window)
{
    qApp->installEventFilter(this);
}

FocusValidation::~FocusValidation()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void FocusValidation::Add(QWidget* control, Check check)
{
    entries_.push_back({control, std::move(check)});
}

bool FocusValidation::eventFilter(QObject* watched, QEvent* event)
{
    if (!window_)
        return false;
    switch (event->type()) {
    case QEvent::WindowBlocked:
        if (running_ && BelongsToWindow(watched))
            modalSeen_ = true;
        break;
    case QEvent::Show:
        if (running_ && watched->isWidgetType()) {
            const auto* widget = static_cast<const QWidget*>(watched);
            if (widget->isWindow() && widget->isModal())
                modalSeen_ = true;
        }
        break;
    case QEvent::FocusAboutToChange: {
        const auto* focus = static_cast<const QFocusEvent*>(event);
        mouseFocusFrom_ = focus->reason() == Qt::MouseFocusReason && watched->isWidgetType()
                              ? static_cast<QWidget*>(watched)
                              : nullptr;
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched->isWindowType())
            return OnMousePressAtWindow(watched, mouse);
        if (watched->isWidgetType())
            return OnMousePressAtWidget(static_cast<QWidget*>(watched), mouse);
        break;
    }
    case QEvent::Wheel:
        // A wheel may move the focus (Qt::WheelFocus) but never runs a check.
        if (watched->isWidgetType())
            mouseFocusFrom_ = nullptr;
        break;
    case QEvent::KeyPress:
        mouseFocusFrom_ = nullptr;
        if (watched->isWidgetType())
            return OnKeyPress(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
        break;
    case QEvent::KeyRelease:
        judgedKey_ = {};
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool FocusValidation::BelongsToWindow(const QObject* object) const
{
    if (object->isWidgetType())
        return static_cast<const QWidget*>(object)->window() == window_;
    return object->isWindowType() && object == window_->windowHandle();
}

bool FocusValidation::OnMousePressAtWindow(QObject* watched, QMouseEvent* event)
{
    if (running_ || watched != window_->windowHandle())
        return false;
    const quint64 stamp = event->timestamp();
    // Qt 6 follows the second press of a double click with a double-click
    // event; it goes the way of its press.
    if (event->type() == QEvent::MouseButtonDblClick && pressSwallowed_ == stamp) {
        event->accept();
        return true;
    }
    pressPassedAtWindow_.reset();
    pressSwallowed_.reset();
    if (!IsFocusButton(event->button()) || QApplication::activePopupWidget())
        return false;

    QWidget* target = window_->childAt(event->position().toPoint());
    if (!target)
        target = window_;
    const Entry* entry = EntryHolding(window_->focusWidget());
    QWidget* destination = entry ? ClickFocusDestination(target) : nullptr;
    if (!destination || Contains(entry->control, destination)) {
        pressPassedAtWindow_ = stamp;
        return false;
    }

    bool modalShown = false;
    const bool cancel = RunCheck(*entry, modalShown);
    if (!cancel && !modalShown) {
        pressPassedAtWindow_ = stamp;
        return false;
    }
    // The press is spent: refused by the check, or used up by the box it
    // showed. Finish the focus move in the second case so that no half click
    // is left behind.
    if (!cancel)
        destination->setFocus(Qt::MouseFocusReason);
    mouseFocusFrom_ = nullptr;
    pressSwallowed_ = stamp;
    event->accept();
    return true;
}

bool FocusValidation::OnMousePressAtWidget(QWidget* receiver, QMouseEvent* event)
{
    const QPointer<QWidget> from = mouseFocusFrom_;
    mouseFocusFrom_ = nullptr;
    if (running_ || receiver->window() != window_)
        return false;
    const quint64 stamp = event->timestamp();
    if (pressSwallowed_ == stamp) {
        event->accept();
        return true;
    }
    if (pressPassedAtWindow_ == stamp) {
        // Already judged on its way through the window; Qt moved the focus
        // for it since.
        pressPassedAtWindow_.reset();
        return false;
    }
    // Qt moves the focus only for a press that comes from outside the program
    // (spontaneous); a press sent by the program's own code runs no check.
    if (!event->spontaneous() || !IsFocusButton(event->button()) || !from ||
        from->window() != window_)
        return false;
    QWidget* destination = window_->focusWidget();
    const Entry* entry = EntryHolding(from);
    if (!entry || !destination || Contains(entry->control, destination))
        return false;
    // The focus must have gone where this press sends it; otherwise the
    // program moved it, and that runs no check.
    QWidget* taker = ClickFocusTaker(receiver);
    if (!taker || DeepestFocusProxy(taker) != destination)
        return false;

    // Qt has already moved the focus for this press: put it back so the check
    // sees what it would have seen.
    from->setFocus(Qt::OtherFocusReason);
    mouseFocusFrom_ = nullptr;
    bool modalShown = false;
    const bool cancel = RunCheck(*entry, modalShown);
    if (!cancel)
        destination->setFocus(Qt::MouseFocusReason);
    mouseFocusFrom_ = nullptr;
    if (!cancel && !modalShown)
        return false;
    pressSwallowed_ = stamp;
    event->accept();
    return true;
}

bool FocusValidation::CheckFocused()
{
    const Entry* entry = running_ || !window_ ? nullptr : EntryHolding(window_->focusWidget());
    bool modalShown = false;
    return entry == nullptr || !RunCheck(*entry, modalShown);
}

bool FocusValidation::OnKeyPress(QWidget* receiver, QKeyEvent* event)
{
    if (running_ || !IsTabKey(event) || receiver->window() != window_)
        return false;
    QWidget* focus = window_->focusWidget();
    // A key the receiver did not take travels on to its parents as the same
    // event: judge it once.
    if (judgedKey_.event == event && judgedKey_.timestamp == event->timestamp() &&
        judgedKey_.focus == focus) {
        if (judgedKey_.swallowed)
            event->accept();
        return judgedKey_.swallowed;
    }
    judgedKey_ = {event, event->timestamp(), focus, false};
    const Entry* entry = EntryHolding(focus);
    if (!entry)
        return false;
    bool modalShown = false;
    judgedKey_.swallowed = RunCheck(*entry, modalShown);
    if (judgedKey_.swallowed)
        event->accept();
    return judgedKey_.swallowed;
}

const FocusValidation::Entry* FocusValidation::EntryHolding(const QWidget* focus) const
{
    if (!focus)
        return nullptr;
    for (const Entry& entry : entries_) {
        if (Contains(entry.control, focus))
            return &entry;
    }
    return nullptr;
}

// The widget that would take the focus for a press on `target`: the first
// enabled one, from the target up, that takes the focus on click. Null for a
// label or a disabled control on a plain window.
QWidget* FocusValidation::ClickFocusTaker(QWidget* target) const
{
    for (QWidget* widget = target; widget; widget = widget->parentWidget()) {
        if (widget->isEnabled() && TakesClickFocus(widget))
            return widget;
        if (widget->isWindow())
            break;
    }
    return nullptr;
}

// Where the focus goes for a press on `target`, or null when the press moves
// no focus. Like Qt, the search stops at a widget that already has the focus.
QWidget* FocusValidation::ClickFocusDestination(QWidget* target) const
{
    QWidget* const focus = window_->focusWidget();
    for (QWidget* widget = target; widget; widget = widget->parentWidget()) {
        if (widget->isEnabled() && TakesClickFocus(widget)) {
            QWidget* destination = DeepestFocusProxy(widget);
            return destination == focus ? nullptr : destination;
        }
        if (widget->isWindow() || DeepestFocusProxy(widget) == focus)
            return nullptr;
    }
    return nullptr;
}

bool FocusValidation::RunCheck(const Entry& entry, bool& modalShown)
{
    // A copy: the check may register further controls while it runs.
    const Check check = entry.check;
    running_ = true;
    modalSeen_ = false;
    const auto done = qScopeGuard([this] { running_ = false; });
    bool cancel = false;
    if (check)
        check(cancel);
    // A box shown without exec() is still open now.
    const QWidget* modal = QApplication::activeModalWidget();
    modalShown = modalSeen_ || (modal != nullptr && modal != window_);
    return cancel;
}
