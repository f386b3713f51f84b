#include "MenuBar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

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
    return bar;
}
