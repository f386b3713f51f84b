#pragma once

#include "Services.h"

#include <QString>

#include <optional>

class QWidget;

// The window's one shared file dialog: each use gives a title and a one-entry
// filter ("description|pattern;pattern") and reads the chosen path, with
// native separators where the platform wants them.
class CommonDialog
{
public:
    CommonDialog(Services& services, QWidget* parent);

    // The chosen full path; nullopt when the user cancelled. `suggested`: see
    // Services::ShowFileDialog.
    std::optional<QString> Ask(FileDialogMode mode, const QString& title, const QString& filter,
                               const QString& suggested = QString()) const;

private:
    Services& services_;
    QWidget* parent_;
};
