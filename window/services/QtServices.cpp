#include "QtServices.h"

// Placeholder bodies; the real desktop calls come next.
void QtServices::DataError(QWidget*, const QString&) {}
void QtServices::Notice(QWidget*, const QString&) {}
bool QtServices::AskYesNo(QWidget*, const QString&) { return false; }
void QtServices::Failure(QWidget*, const QString&) {}
QString QtServices::ShowFileDialog(QWidget*, FileDialogMode, const QString&, const QString&)
{
    return QString();
}
bool QtServices::OrdinaryFileExists(const QString&) { return false; }
StartResult QtServices::StartProgram(const QString&, const QStringList&) { return {}; }
StartResult QtServices::OpenInDefaultBrowser(const QUrl&) { return {}; }
QString QtServices::ProgramFolder() { return QString(); }
