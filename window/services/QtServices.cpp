#include "QtServices.h"

#include "FileFilter.h"
#include "OverlayPicker.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

const QString kProgramTitle = QStringLiteral("Orvinel");

// Every box of the program: modal over `parent`, plain text (a file name is
// never read as markup). Returns the button pressed.
QMessageBox::StandardButton ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void QtServices::About(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::about(parent, title, text);
}

void QtServices::DataError(QWidget* parent, const QString& text)
{
    ShowBox(parent, QMessageBox::Warning, QStringLiteral("Data Error"), text, QMessageBox::Ok,
            QMessageBox::Ok);
}

void QtServices::Notice(QWidget* parent, const QString& text)
{
    ShowBox(parent, QMessageBox::NoIcon, kProgramTitle, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtServices::AskYesNo(QWidget* parent, const QString& text)
{
    // Closing the box answers No.
    return ShowBox(parent, QMessageBox::NoIcon, kProgramTitle, text,
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

SaveChoice QtServices::AskSaveChanges(QWidget* parent, const QString& text)
{
    switch (ShowBox(parent, QMessageBox::NoIcon, kProgramTitle, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    QMessageBox::Save)) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default: // Cancel, or the box closed
        return SaveChoice::Cancel;
    }
}

int QtServices::AskOverlay(QWidget* parent, const QString& fileName, const QStringList& labels,
                           int current)
{
    OverlayPicker picker(parent, fileName, labels, current);
    return picker.exec() == QDialog::Accepted ? picker.Chosen() : -1;
}

void QtServices::Failure(QWidget* parent, const QString& text)
{
    ShowBox(parent, QMessageBox::Warning, kProgramTitle, text, QMessageBox::Ok, QMessageBox::Ok);
}

QString QtServices::ShowFileDialog(QWidget* parent, FileDialogMode mode, const QString& title,
                                   const QString& filter, const QString& suggested)
{
    const QString qtFilter = ToQtFileFilter(filter);
    if (mode == FileDialogMode::Open)
        return QFileDialog::getOpenFileName(parent, title, suggested, qtFilter);
    // Save As asks its own overwrite question, after adding ".kml".
    return QFileDialog::getSaveFileName(parent, title, suggested, qtFilter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

bool QtServices::OrdinaryFileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
#ifdef Q_OS_WIN
    if (!info.isFile())
        return false;
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(
        QDir::toNativeSeparators(info.absoluteFilePath()).utf16()));
    return attributes == INVALID_FILE_ATTRIBUTES ||
           (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
#else
    return info.isFile();
#endif
}

StartResult QtServices::StartProgram(const QString& program, const QStringList& arguments)
{
    QString path = program;
    // A bare name is looked up on the search path, as the system would.
    if (!program.isEmpty() && !program.contains(u'/') && !program.contains(u'\\')) {
        path = QStandardPaths::findExecutable(program);
        if (path.isEmpty())
            return {false, QStringLiteral("The program was not found on the search path.")};
    }
    const QFileInfo info(path);
    if (!info.exists())
        return {false, QStringLiteral("The file does not exist.")};
    if (info.isDir())
        return {false, QStringLiteral("This is a folder, not a program.")};
    if (!info.isExecutable())
        return {false, QStringLiteral("The file is not executable.")};

    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
#ifdef Q_OS_WIN
    // Started programs open minimized and take the focus.
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_SHOWMINIMIZED;
    });
#endif
    if (!process.startDetached())
        return {false, process.errorString()};
    return {true, QString()};
}

StartResult QtServices::OpenInDefaultBrowser(const QUrl& url)
{
    if (!url.isValid())
        return {false, QStringLiteral("The address is not valid.")};
    if (!QDesktopServices::openUrl(url))
        return {false, QStringLiteral("No program on this computer opens web addresses.")};
    return {true, QString()};
}

WriteResult QtServices::WriteFile(const QString& path, const QByteArray& bytes)
{
    return Overlay::WriteFileAtomically(path, bytes);
}

QString QtServices::ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}
