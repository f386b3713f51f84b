#include "CommonDialog.h"

#include "PlatformProfile.h"

#include <QDir>

CommonDialog::CommonDialog(Services& services, QWidget* parent)
    : services_(services), parent_(parent)
{}

std::optional<QString> CommonDialog::Ask(FileDialogMode mode, const QString& title,
                                         const QString& filter, const QString& suggested) const
{
    const QString chosen = services_.ShowFileDialog(parent_, mode, title, filter, suggested);
    if (chosen.isEmpty())
        return std::nullopt;
    return PlatformProfile::Current().nativeDialogSeparators ? QDir::toNativeSeparators(chosen)
                                                             : chosen;
}
