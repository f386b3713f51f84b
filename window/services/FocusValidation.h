#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

class QKeyEvent;
class QMouseEvent;
class QWidget;

// Focus-loss checks with a cancel flag. A control's check runs when the focus
// is about to move from it to another control of the same window: a mouse
// press on a control that takes the focus on click, or Tab / Shift+Tab. When
// the check sets cancel, the press or key is swallowed, so the focus stays and
// the click that would have taken it does not happen.
//
// Nothing else runs a check: a click on a label, a wheel event, switching to
// another application, closing the window, a focus change made by the program,
// or the message box that a check itself opens.
class FocusValidation : public QObject
{
    Q_OBJECT
public:
    using Check = std::function<void(bool& cancel)>;

    // Watches the controls of `window` (installs an application event filter
    // that lives as long as this object).
    explicit FocusValidation(QWidget* window);
    ~FocusValidation() override;
    Q_DISABLE_COPY_MOVE(FocusValidation)

    // `control` may be a composite widget (an editable list): the focus
    // counts as inside it while it is on any of its children.
    void Add(QWidget* control, Check check);

    // Runs the check of the control holding the focus, as a click on a button
    // would: for commands that take no focus (menus, shortcuts, drops). True
    // when the command may go on.
    bool CheckFocused();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry
    {
        QPointer<QWidget> control;
        Check check;
    };

    // The input event that was already judged at an earlier step of its
    // delivery, so the steps after it let it pass (or swallow it) unchanged.
    struct Judged
    {
        const QEvent* event = nullptr;
        quint64 timestamp = 0;
        QPointer<QWidget> focus;
        bool swallowed = false;
    };

    bool OnMousePressAtWindow(QObject* watched, QMouseEvent* event);
    bool OnMousePressAtWidget(QWidget* receiver, QMouseEvent* event);
    bool OnKeyPress(QWidget* receiver, QKeyEvent* event);
    bool BelongsToWindow(const QObject* object) const;
    const Entry* EntryHolding(const QWidget* focus) const;
    QWidget* ClickFocusTaker(QWidget* target) const;
    QWidget* ClickFocusDestination(QWidget* target) const;
    // Runs the check; true when it set cancel. `modalShown` tells whether a
    // modal box opened while it ran.
    bool RunCheck(const Entry& entry, bool& modalShown);

    QPointer<QWidget> window_;
    std::vector<Entry> entries_;
    bool running_ = false;
    bool modalSeen_ = false;
    // Where Qt took the focus from for the press it is about to deliver
    // (FocusAboutToChange with the mouse reason).
    QPointer<QWidget> mouseFocusFrom_;
    std::optional<quint64> pressPassedAtWindow_;
    std::optional<quint64> pressSwallowed_;
    Judged judgedKey_;
};
