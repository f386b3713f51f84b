#pragma once

class QComboBox;

// A list that a screen reader names by its accessible name on every platform.
// Qt names a list on Linux by its current value and leaves its name to a
// label tied to it; the window's units and size lists have no label of their
// own (the "x" above two of them heads a column), so "Screen x units" would
// be heard as "fraction". Call as the list is made, before anything asks for
// its accessible interface; other lists keep Qt's own behaviour.
void NameByAccessibleName(QComboBox* list);
