#pragma once

#include <QKeySequence>

#include <functional>
#include <vector>

class QAction;
class QMenuBar;
class QWidget;

// One entry of the window's menus. Entries of one menu stand together in the
// order given; a null text is a separator.
struct MenuEntry
{
    const char* menu;
    const char* text;
    // The platform's keys for a standard command, or else `keys`
    // ("Ctrl+E"), or none.
    QKeySequence::StandardKey standardKeys;
    const char* keys;
    std::function<void()> triggered;
    // An action made elsewhere (Undo, Redo) to place instead of a new one;
    // `triggered` is then left empty.
    QAction* action;
};

// The window's menu bar from its entries. Each action is named after its
// text without "&", dots and spaces ("Open Overlay File..." ->
// "mnuOpenOverlayFile"), so tests and scripts find it by name.
QMenuBar* BuildMenuBar(QWidget* window, const std::vector<MenuEntry>& entries);
