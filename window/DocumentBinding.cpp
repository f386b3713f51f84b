#include "DocumentBinding.h"

#include "AlphaColor.h"
#include "ControlTable.h"
#include "FormBuilder.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>

namespace {

const QString kStartCaption = QStringLiteral("KML Orvinel");
const QString kNoPictureYet =
    QStringLiteral("Click on button at right to open graphic file to use as overlay");

void ShowText(QLineEdit* field, const QString& text)
{
    if (field->text() == text)
        return;
    const QSignalBlocker quiet(field);
    field->setText(text);
}

void ShowText(QWidget* control, const QString& text)
{
    auto* list = qobject_cast<QComboBox*>(control);
    if (!list) {
        ShowText(static_cast<QLineEdit*>(control), text);
        return;
    }
    if (list->isEditable()) {
        ShowText(list->lineEdit(), text);
        return;
    }
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(list->findText(text));
}

} // namespace

DocumentBinding::DocumentBinding(const FormControls& form, QWidget* window)
    : form_(form), window_(window)
{
    for (const ControlTable::Binding& binding : ControlTable::kBindings) {
        auto* control = window->findChild<QWidget*>(QString::fromLatin1(binding.control));
        Q_ASSERT_X(control, "DocumentBinding", binding.control);
        bound_.emplace_back(binding.field, control);
    }
}

void DocumentBinding::Show(const DocumentState& state)
{
    // Only what changed since the last showing: a keystroke changes one field.
    const bool first = !shown_.has_value();
    const DocumentState was = first ? DocumentState() : *shown_;
    const auto changed = [&](auto member) {
        return first || was.*member != state.*member;
    };
    const OverlaySettings& s = state.settings;
    for (const auto& [field, control] : bound_)
        if (first || was.settings.*field != s.*field)
            ShowText(control, s.*field);
    if (changed(&DocumentState::widthText) || changed(&DocumentState::heightText)) {
        ShowText(form_.txtWidth, state.widthText);
        ShowText(form_.txtHeight, state.heightText);
    }
    if (first || was.settings.picture != s.picture || changed(&DocumentState::caption)) {
        const bool noPicture = s.picture.isEmpty();
        form_.lblOpen_graphic_file->setText(noPicture ? kNoPictureYet : s.picture);
        window_->setWindowTitle(noPicture ? kStartCaption : state.caption);
    }
    if (first || was.settings.outputFile != s.outputFile)
        form_.lblOutput_file->setText(s.outputFile);
    if (first || was.settings.colour != s.colour) {
        // The slider shows the nearest place; the colour stays exactly as it is.
        const QSignalBlocker quiet(form_.sliderTransparency);
        form_.sliderTransparency->setValue(Overlay::NearestPercent(s.colour));
    }
    if (changed(&DocumentState::preset)) {
        // An exclusive group cannot lose its last check otherwise.
        QButtonGroup* options = form_.optPreset;
        options->setExclusive(false);
        for (QAbstractButton* option : options->buttons())
            option->setChecked(options->id(option) == state.preset);
        options->setExclusive(true);
    }
    shown_ = state;
}

OverlayField DocumentBinding::FieldOf(const QWidget* control) const
{
    const int index = IndexOf(control);
    return index < 0 ? nullptr : bound_[size_t(index)].first;
}

int DocumentBinding::IndexOf(const QWidget* control) const
{
    const auto found = std::find_if(bound_.begin(), bound_.end(), [control](const auto& bound) {
        return bound.second == control;
    });
    return found == bound_.end() ? -1 : int(found - bound_.begin());
}

QString DocumentBinding::TextOf(const QWidget* control)
{
    if (const auto* list = qobject_cast<const QComboBox*>(control))
        return list->currentText();
    return static_cast<const QLineEdit*>(control)->text();
}
