#pragma once

class ClickableLabel;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QWidget;

// The controls the window's handlers use, each named as its row of the
// layout table (and its objectName).
struct FormControls
{
    QLabel* lblOpen_graphic_file = nullptr;
    QLabel* lblOutput_file = nullptr;
    ClickableLabel* lblTarnwell = nullptr;
    QPushButton* cmdOpen_graphic_file = nullptr;
    QPushButton* cmdSave_As = nullptr;
    QPushButton* cmdSave_Refresh = nullptr;
    QPushButton* cmdCreate_Network_Link = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdNew_Program = nullptr;
    QPushButton* cmdPreview = nullptr;
    QCheckBox* chkAuto_Refresh = nullptr;
    QSlider* sliderTransparency = nullptr;
    QButtonGroup* optPreset = nullptr;

    QLineEdit* txtOverlay_title = nullptr;
    QLineEdit* txtOverlay_x = nullptr;
    QLineEdit* txtOverlay_y = nullptr;
    QLineEdit* txtScreen_x = nullptr;
    QLineEdit* txtScreen_y = nullptr;
    QLineEdit* txtRotation_x = nullptr;
    QLineEdit* txtRotation_y = nullptr;
    QLineEdit* txtRotation = nullptr;
    QLineEdit* txtDraw_order = nullptr;
    QLineEdit* txtWidth = nullptr;
    QLineEdit* txtHeight = nullptr;

    QComboBox* comboOverlay_x_units = nullptr;
    QComboBox* comboOverlay_y_units = nullptr;
    QComboBox* comboScreen_x_units = nullptr;
    QComboBox* comboScreen_y_units = nullptr;
    QComboBox* comboRotation_x_units = nullptr;
    QComboBox* comboRotation_y_units = nullptr;
    QComboBox* comboSize_x_units = nullptr;
    QComboBox* comboSize_y_units = nullptr;
    QComboBox* comboSize_x = nullptr;
    QComboBox* comboSize_y = nullptr;
};

// Gives the client area its fixed size and font and creates its controls from the
// layout table (ControlTable.h): each named after its row, placed (twips at 15
// to a pixel), in its font, with its caption, list items and tooltip, in the
// tab order of kTabOrder, with the names screen readers say (kAccessibleNames)
// and the labels tied to their fields; the options in one exclusive group with ids 0 to 8,
// one stop of the tab order through the chosen one. Values the user can
// change are not set here: they show the document's start values.
FormControls BuildForm(QWidget* window);
