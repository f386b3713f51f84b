// The main window's checks of typed values: each field's rule runs as the
// focus leaves it, or before a command runs.

#include "FocusValidation.h"
#include "UndoHistory.h"
#include "ValueRules.h"
#include "frmOrvinel.h"

#include <QComboBox>
#include <QLineEdit>

#include <utility>

void frmOrvinel::RegisterValidators()
{
    validation_ = new FocusValidation(this);
    const std::pair<QWidget*, void (frmOrvinel::*)(bool&)> checks[] = {
        {txtOverlay_x, &frmOrvinel::txtOverlay_x_Validate},
        {txtOverlay_y, &frmOrvinel::txtOverlay_y_Validate},
        {txtScreen_x, &frmOrvinel::txtScreen_x_Validate},
        {txtScreen_y, &frmOrvinel::txtScreen_y_Validate},
        {txtRotation_x, &frmOrvinel::txtRotation_x_Validate},
        {txtRotation_y, &frmOrvinel::txtRotation_y_Validate},
        {txtRotation, &frmOrvinel::txtRotation_Validate},
        {txtDraw_order, &frmOrvinel::txtDraw_order_Validate},
        {comboSize_x, &frmOrvinel::comboSize_x_Validate},
        {comboSize_y, &frmOrvinel::comboSize_y_Validate},
    };
    for (const auto& [control, check] : checks)
        validation_->Add(control, [this, check = check](bool& cancel) { (this->*check)(cancel); });
}

void frmOrvinel::Show(const ValueRules::Decision& decision, QLineEdit* field, bool& cancel)
{
    using Decision = ValueRules::Decision;
    if (decision.verdict == Decision::Verdict::Refused)
        cancel = true; // before the box, so the focus stays
    else if (decision.verdict == Decision::Verdict::Replaced) {
        // A step of its own, named after the field, whether the focus leaves
        // by a click (it has moved already) or by Tab (it has not).
        const QWidget* control = field;
        if (auto* list = qobject_cast<QComboBox*>(field->parentWidget()))
            control = list; // a size list's own field
        history_->EndTyping();
        history_->Note(StepName(control->objectName()));
        // Raises the field's Change, so Auto-Refresh writes the new text
        // before the box shows.
        field->setText(decision.replacement);
    }
    if (decision.box == Decision::Box::DataError)
        services_.DataError(this, decision.message);
    else if (decision.box == Decision::Box::Notice)
        services_.Notice(this, decision.message);
}

void frmOrvinel::txtOverlay_x_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtOverlay_x->text(), QStringLiteral("overlay x value")),
         txtOverlay_x, cancel);
}

void frmOrvinel::txtOverlay_y_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtOverlay_y->text(), QStringLiteral("overlay y value")),
         txtOverlay_y, cancel);
}

void frmOrvinel::txtScreen_x_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtScreen_x->text(), QStringLiteral("screen x value")), txtScreen_x,
         cancel);
}

void frmOrvinel::txtScreen_y_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtScreen_y->text(), QStringLiteral("screen y value")), txtScreen_y,
         cancel);
}

void frmOrvinel::txtRotation_x_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtRotation_x->text(), QStringLiteral("rotation x value")),
         txtRotation_x, cancel);
}

void frmOrvinel::txtRotation_y_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtRotation_y->text(), QStringLiteral("rotation y value")),
         txtRotation_y, cancel);
}

void frmOrvinel::txtRotation_Validate(bool& cancel)
{
    Show(ValueRules::RotationAngle(txtRotation->text()), txtRotation, cancel);
}

void frmOrvinel::txtDraw_order_Validate(bool& cancel)
{
    Show(ValueRules::DrawOrder(txtDraw_order->text()), txtDraw_order, cancel);
}

void frmOrvinel::comboSize_x_Validate(bool& cancel)
{
    Show(ValueRules::SizeValue(comboSize_x->currentText(), QStringLiteral("x-size")),
         comboSize_x->lineEdit(), cancel);
}

void frmOrvinel::comboSize_y_Validate(bool& cancel)
{
    Show(ValueRules::SizeValue(comboSize_y->currentText(), QStringLiteral("y-size")),
         comboSize_y->lineEdit(), cancel);
}
