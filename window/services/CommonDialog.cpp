#include "CommonDialog.h"

#include "PlatformProfile.h"

#include <QDir>

CommonDialog::CommonDialog(Services& services, QWidget* parent)
    : services_(services), parent_(parent)
{}

void CommonDialog::Show(FileDialogMode mode)
{
    QString chosen = services_.ShowFileDialog(parent_, mode, title_, filter_);
    if (PlatformProfile::Current().nativeDialogSeparators)
        chosen = QDir::toNativeSeparators(chosen);
    fileName_ = chosen;
}
