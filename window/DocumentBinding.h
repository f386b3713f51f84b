#pragma once

#include "OverlayDocument.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

struct FormControls;
class QWidget;

// The window's controls bound to the overlay document through one table
// (ControlTable::kBindings): what the user types reaches the document, and
// every change of the document is shown in the controls.
class DocumentBinding
{
public:
    DocumentBinding(const FormControls& form, QWidget* window);

    // Sets the controls from `state`, quietly: the controls' own change
    // signals do not fire, and a field that already holds its text is left
    // alone, so the cursor of the one being typed in stays.
    void Show(const DocumentState& state);

    // The field `control` shows, or nullptr for a control bound to none.
    OverlayField FieldOf(const QWidget* control) const;
    // `control`'s place in the table, or -1: a typed field's merge id.
    int IndexOf(const QWidget* control) const;
    // The text `control` holds now (a line, or a list's current text).
    static QString TextOf(const QWidget* control);

private:
    const FormControls& form_;
    QWidget* window_;
    std::vector<std::pair<OverlayField, QWidget*>> bound_;
    // What the controls show now; nothing before the first showing.
    std::optional<DocumentState> shown_;
};
