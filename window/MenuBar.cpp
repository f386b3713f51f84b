#include "MenuBar.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

// A text field takes keys such as Ctrl+E ("end of line") for itself before
// the menu sees them; in this window the menus' keys win, from every control.
class MenuKeysFirst : public QObject
{
public:
    MenuKeysFirst(QMenuBar* bar, QWidget* window) : QObject(bar), bar_(bar), window_(window)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const auto* widget = qobject_cast<const QWidget*>(watched);
        if (widget == nullptr || !window_->isAncestorOf(widget))
            return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        // Typing is no menu key: it costs nothing more.
        const bool modified =
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
        if (!modified && (key->key() < Qt::Key_F1 || key->key() > Qt::Key_F35))
            return false;
        const QKeySequence pressed(key->keyCombination());
        for (const QMenu* menu : bar_->findChildren<QMenu*>())
            for (const QAction* action : menu->actions())
                if (action->isEnabled() && action->shortcuts().contains(pressed))
                    return true;
        return false;
    }

private:
    QMenuBar* bar_;
    QWidget* window_;
};

} // namespace

QMenuBar* BuildMenuBar(QWidget* window, const std::vector<MenuEntry>& entries)
{
    auto* bar = new QMenuBar(window);
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu* menu = nullptr;
    for (const MenuEntry& entry : entries) {
        const QString menuTitle = QString::fromUtf8(entry.menu);
        if (menu == nullptr || menu->title() != menuTitle) {
            menu = bar->addMenu(menuTitle);
            menu->setObjectName(u"menu" % QString(menuTitle).remove(u'&'));
        }
        if (!entry.text) {
            menu->addSeparator();
            continue;
        }
        const QString text = QString::fromUtf8(entry.text);
        QAction* action = entry.action;
        if (action)
            menu->addAction(action);
        else
            action = menu->addAction(text);
        action->setObjectName(u"mnu" % QString(text).remove(u'&').remove(u'.').remove(u' '));
        if (entry.standardKeys != QKeySequence::UnknownKey)
            action->setShortcuts(entry.standardKeys);
        else if (entry.keys != nullptr)
            action->setShortcut(QKeySequence(QString::fromLatin1(entry.keys)));
        if (entry.triggered)
            QObject::connect(action, &QAction::triggered, window, entry.triggered);
    }
    new MenuKeysFirst(bar, window);
    return bar;
}
