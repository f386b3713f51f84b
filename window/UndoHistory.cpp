#include "UndoHistory.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QUndoCommand>

#include <utility>
#include <vector>

// One step: the states before and after it.
class UndoHistory::Step : public QUndoCommand
{
public:
    Step(UndoHistory& history, DocumentState before, DocumentState after, const QString& what,
         int typingField, int session)
        : QUndoCommand(what), history_(history), before_(std::move(before)),
          after_(std::move(after)), typingField_(typingField), session_(session)
    {
        history_.steps_.push_back(this);
    }
    ~Step() override { std::erase(history_.steps_, this); }
    Q_DISABLE_COPY_MOVE(Step)

    void Rewrite(const std::function<void(DocumentState&)>& change)
    {
        change(before_);
        change(after_);
    }

    int id() const override { return typingField_; }

    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const Step*>(other);
        if (next->session_ != session_)
            return false;
        after_ = next->after_;
        // Typed and then taken back: no step is left.
        setObsolete(after_ == before_);
        return true;
    }

    void undo() override { history_.Put(before_); }

    void redo() override
    {
        // The push's own redo finds the window already there.
        if (std::exchange(pushed_, true))
            history_.Put(after_);
    }

private:
    UndoHistory& history_;
    DocumentState before_;
    DocumentState after_;
    int typingField_;
    int session_;
    bool pushed_ = false;
};

UndoHistory::UndoHistory(Capture capture, Apply apply, QObject* parent)
    : QObject(parent), capture_(std::move(capture)), apply_(std::move(apply)), stack_(this),
      recorded_(capture_())
{
    connect(qApp, &QApplication::focusChanged, this, &UndoHistory::EndTyping);
    qApp->installEventFilter(this);
}

UndoHistory::~UndoHistory()
{
    qApp->removeEventFilter(this);
}

void UndoHistory::Note(const QString& what, int typingField)
{
    if (putting_)
        return;
    pending_ = Pending{what, typingField};
    // A change the program makes without a further input event is recorded
    // on the event loop's next turn at the latest.
    if (!std::exchange(flushQueued_, true))
        QMetaObject::invokeMethod(
            this,
            [this] {
                flushQueued_ = false;
                Flush();
            },
            Qt::QueuedConnection);
}

void UndoHistory::Hold()
{
    Flush();
    held_ = true;
}

void UndoHistory::Release()
{
    held_ = false;
    Flush();
}

void UndoHistory::Rebase()
{
    Flush();
    recorded_ = capture_();
}

void UndoHistory::Rewrite(const std::function<void(DocumentState&)>& change)
{
    Flush();
    for (Step* step : steps_)
        step->Rewrite(change);
    change(recorded_);
}

void UndoHistory::Flush()
{
    if (held_ || !pending_)
        return;
    const Pending noted = *std::exchange(pending_, std::nullopt);
    DocumentState now = capture_();
    if (now == recorded_)
        return;
    stack_.push(new Step(*this, recorded_, now, noted.what, noted.typingField, typingSession_));
    recorded_ = std::move(now);
}

void UndoHistory::EndTyping()
{
    Flush();
    ++typingSession_;
}

void UndoHistory::Put(const DocumentState& state)
{
    putting_ = true;
    apply_(state);
    putting_ = false;
    recorded_ = capture_();
}

void UndoHistory::Undo()
{
    if (held_)
        return;
    EndTyping();
    stack_.undo();
}

void UndoHistory::Redo()
{
    if (held_)
        return;
    EndTyping();
    stack_.redo();
}

namespace {

// Ctrl+Y and Ctrl+Shift+Z both redo on every platform: users bring either
// habit, and the guide names both.
QList<QKeySequence> RedoKeys()
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)})
        if (!keys.contains(key))
            keys.append(key);
    return keys;
}

bool IsUndoOrRedo(const QKeyEvent* key)
{
    static const QList<QKeySequence> redo = RedoKeys();
    return key->matches(QKeySequence::Undo) || redo.contains(QKeySequence(key->keyCombination()));
}

} // namespace

QAction* UndoHistory::MakeUndoAction(QObject* parent)
{
    return MakeAction(parent, tr("&Undo"), QKeySequence::keyBindings(QKeySequence::Undo),
                      stack_.canUndo(), &QUndoStack::canUndoChanged, &QUndoStack::undoTextChanged,
                      &UndoHistory::Undo);
}

QAction* UndoHistory::MakeRedoAction(QObject* parent)
{
    return MakeAction(parent, tr("&Redo"), RedoKeys(), stack_.canRedo(),
                      &QUndoStack::canRedoChanged, &QUndoStack::redoTextChanged,
                      &UndoHistory::Redo);
}

QAction* UndoHistory::MakeAction(QObject* parent, const QString& verb,
                                 const QList<QKeySequence>& keys, bool enabled,
                                 void (QUndoStack::*canChanged)(bool),
                                 void (QUndoStack::*textChanged)(const QString&),
                                 void (UndoHistory::*run)())
{
    auto* action = new QAction(verb, parent);
    action->setShortcuts(keys);
    action->setEnabled(enabled);
    connect(&stack_, canChanged, action, &QAction::setEnabled);
    connect(&stack_, textChanged, action, [action, verb](const QString& what) {
        // A "&" of a file name is text, not an access key.
        action->setText(what.isEmpty()
                            ? verb
                            : verb + u' ' +
                                  QString(what).replace(QStringLiteral("&"), QStringLiteral("&&")));
    });
    connect(action, &QAction::triggered, this, run);
    return action;
}

bool UndoHistory::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        // A field's own undo would fight this history: Ctrl+Z always means
        // the window's Undo. The menu's keys win over the field's while
        // there is something to undo; with nothing, the key does nothing.
        if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched) &&
            IsUndoOrRedo(static_cast<QKeyEvent*>(event)))
            return true;
        Flush();
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Drop:
        // The action before this input is over.
        Flush();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

QString StepName(const QString& controlName)
{
    QString name = controlName;
    name.remove(0, name.startsWith(QLatin1String("combo")) ? 5 : 3);
    QStringList words = name.split(u'_');
    for (QString& word : words)
        word[0] = word[0].toUpper();
    return words.join(u' ');
}
