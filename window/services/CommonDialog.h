#pragma once

#include "Services.h"

#include <QString>

#include <optional>
#include <utility>

class QWidget;

// The window's one shared file dialog. Each use sets a title and a one-entry
// filter, shows the dialog, reads the chosen path and then empties the file
// name, so an empty name after showing always means the user cancelled.
class CommonDialog
{
public:
    CommonDialog(Services& services, QWidget* parent);

    void SetTitle(const QString& title) { title_ = title; }
    // "description|pattern;pattern"
    void SetFilter(const QString& filter) { filter_ = filter; }
    void ShowOpen() { Show(FileDialogMode::Open); }
    void ShowSave() { Show(FileDialogMode::Save); }
    // The chosen full path (native separators where the platform wants them),
    // or empty after a cancel.
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& fileName) { fileName_ = fileName; }

    // One whole use: title, filter, show, read, empty. nullopt after a cancel.
    std::optional<QString> Ask(FileDialogMode mode, const QString& title, const QString& filter)
    {
        SetTitle(title);
        SetFilter(filter);
        Show(mode);
        if (fileName_.isEmpty())
            return std::nullopt;
        return std::exchange(fileName_, QString());
    }

private:
    void Show(FileDialogMode mode);

    Services& services_;
    QWidget* parent_;
    QString title_;
    QString filter_;
    QString fileName_;
};
