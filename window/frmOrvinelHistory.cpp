// The main window's part in undo and redo: what the user does is noted to the
// history, which reads and puts back the document's states.

#include "FormBuilder.h"
#include "UndoHistory.h"
#include "frmOrvinel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSlider>

#include <algorithm>
#include <initializer_list>

void frmOrvinel::ConnectHistory()
{
    // The typed fields: keystrokes in one merge into one step.
    const std::initializer_list<QWidget*> typed = {
        txtOverlay_title, txtDraw_order, txtOverlay_x, txtOverlay_y, txtScreen_x, txtScreen_y,
        txtRotation_x,    txtRotation_y, txtRotation,  comboSize_x,  comboSize_y};
    for (QWidget* control : typed) {
        auto* field = qobject_cast<QLineEdit*>(control);
        if (!field)
            field = static_cast<QComboBox*>(control)->lineEdit();
        connect(field, &QLineEdit::textEdited, this, [this, control] {
            history_->Note(StepName(control->objectName()), binding_->IndexOf(control));
        });
    }
    for (QComboBox* list : {comboOverlay_x_units, comboOverlay_y_units, comboScreen_x_units,
                            comboScreen_y_units, comboRotation_x_units, comboRotation_y_units,
                            comboSize_x_units, comboSize_y_units, comboSize_x, comboSize_y})
        connect(list, &QComboBox::activated, this,
                [this, list] { history_->Note(StepName(list->objectName())); });
    connect(optPreset, &QButtonGroup::idClicked, this,
            [this](int id) { history_->Note(optPreset->button(id)->text().remove(u'&')); });
    // A drag is one step; so is each key press.
    connect(sliderTransparency, &QSlider::sliderPressed, history_.get(), &UndoHistory::Hold);
    connect(sliderTransparency, &QSlider::sliderReleased, history_.get(), &UndoHistory::Release);
    connect(sliderTransparency, &QSlider::actionTriggered, this,
            [this] { history_->Note(tr("Transparency")); });
}
