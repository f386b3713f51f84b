#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

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

    // `control` may be a composite widget (an editable list): the focus
    // counts as inside it while it is on any of its children.
    void Add(QWidget* control, Check check);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry
    {
        QPointer<QWidget> control;
        Check check;
    };

    const Entry* EntryHoldingFocus() const;
    // Runs the check; true when the event that would move the focus must be
    // swallowed.
    bool RunCheck(const Entry& entry, QWidget* target, bool byMouse);

    QPointer<QWidget> window_;
    std::vector<Entry> entries_;
    bool running_ = false;
};
