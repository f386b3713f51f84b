#pragma once

#include "OverlayDocument.h"

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QWidget;

// The window's undo history on a QUndoStack. The window tells what the user
// is doing (Note); once that action is over (the next input event, a focus
// change, or the next turn of the event loop), the state is compared with the
// last one recorded and one step is pushed when they differ. Typing in one
// field merges into one step until the focus moves.
class UndoHistory : public QObject
{
    Q_OBJECT
public:
    using Capture = std::function<DocumentState()>;
    using Apply = std::function<void(const DocumentState&)>;

    // Starts from the state `capture` gives now.
    UndoHistory(Capture capture, Apply apply, QObject* parent);
    ~UndoHistory() override;
    Q_DISABLE_COPY_MOVE(UndoHistory)

    // The user is changing something: the step gets `what` as its text.
    // Notes with the same `typingField` (>= 0) merge while the focus stays.
    void Note(const QString& what, int typingField = -1);
    // Between Hold and Release (a drag) no step is taken; the whole drag
    // becomes one step on Release.
    void Hold();
    void Release();
    // Takes the current state as recorded, without a step: for changes that
    // are not undone (Save As).
    void Rebase();
    // Changes every recorded state as `change` says: Save As rewrites the
    // relative picture links for its folder, so that a state put back later
    // still names the same picture.
    void Rewrite(const std::function<void(DocumentState&)>& change);
    // Records the pending step now.
    void Flush();
    // Records the pending step and ends the typing merge: the next step
    // stands on its own.
    void EndTyping();
    // The state as it is now.
    DocumentState Current() const { return capture_(); }

    void Undo();
    void Redo();
    // "Undo <what>" / "Redo <what>", disabled with nothing to do; owned by
    // `parent`.
    QAction* MakeUndoAction(QObject* parent);
    QAction* MakeRedoAction(QObject* parent);

    const QUndoStack& Stack() const { return stack_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One menu action for undo or redo: "<verb> <what>", off with nothing to do.
    QAction* MakeAction(QObject* parent, const QString& verb, const QList<QKeySequence>& keys,
                        bool enabled, void (QUndoStack::*canChanged)(bool),
                        void (QUndoStack::*textChanged)(const QString&),
                        void (UndoHistory::*run)());
    class Step;
    friend class Step;

    void Put(const DocumentState& state);

    struct Pending
    {
        QString what;
        int typingField = -1;
    };

    Capture capture_;
    Apply apply_;
    // The steps on the stack, for Rewrite; outlives the stack's deletion of them.
    std::vector<Step*> steps_;
    QUndoStack stack_;
    DocumentState recorded_;
    std::optional<Pending> pending_;
    bool held_ = false;
    bool putting_ = false;
    bool flushQueued_ = false;
    // Typing merges only within one session; a focus change, an undo or a
    // redo starts the next.
    int typingSession_ = 0;
};

// A control's name as a step's text: "txtOverlay_title" -> "Overlay Title",
// "comboSize_x_units" -> "Size X Units".
QString StepName(const QString& controlName);
