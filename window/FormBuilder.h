#pragma once

class QButtonGroup;
class QWidget;

// Gives the window its fixed size and font, and creates its controls from the layout table
// (ControlTable.h): each control named after its row, placed (twips at 15 to a pixel), in its font,
// with its caption, list items and tooltip, in the tab order of kTabOrder.
// The options join `presets` with ids 0 to 8. Values the user can change are
// not set here: ResetToDefaults gives them their start values.
void BuildForm(QWidget* window, QButtonGroup* presets);
