#pragma once

#include "AtomicFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

enum class FileDialogMode { Open, Save };

// The answers to the question before unsaved changes would be lost.
enum class SaveChoice { Cancel, Save, Discard };

struct StartResult
{
    bool ok = false;
    // Why the program could not be started, in words a person can read.
    QString error;
};

// Everything the window asks of the desktop: modal boxes, the file dialog,
// the file-exists lookup and program starts. The real implementation wraps Qt
// (QtServices); tests pass a double that answers from a queue and records
// every call.
class Services
{
public:
    virtual ~Services() = default;

    // Input errors: title "Data Error", the exclamation icon, an OK button.
    virtual void DataError(QWidget* parent, const QString& text) = 0;
    // Notices and range refusals: no icon, an OK button, the title "Orvinel".
    virtual void Notice(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No (Yes the default) under the title "Orvinel".
    // Returns true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
    // A question with Save, Discard and Cancel (Save the default) under the
    // title "Orvinel". Closing the box answers Cancel.
    virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& text) = 0;
    // The file `fileName` holds several screen overlays, named `labels`:
    // a list to choose the one to edit, `current` chosen at first. Returns
    // the index chosen, or -1 when the user cancelled.
    virtual int AskOverlay(QWidget* parent, const QString& fileName, const QStringList& labels,
                           int current) = 0;
    // A failure of the platform (a file that cannot be written, a program that
    // cannot be started): the warning icon, an OK button, the title "Orvinel".
    virtual void Failure(QWidget* parent, const QString& text) = 0;
    // The program's About box: its icon, `title`, rich `text` (links open in
    // the browser), an OK button.
    virtual void About(QWidget* parent, const QString& title, const QString& text) = 0;

    // A modal file dialog. `filter` is one entry, "description|pattern;pattern";
    // `suggested`, when not empty, is the file it offers (or the folder it opens in).
    // Returns the chosen full path, or the empty text when the user cancelled.
    virtual QString ShowFileDialog(QWidget* parent, FileDialogMode mode, const QString& title,
                                   const QString& filter, const QString& suggested = QString()) = 0;

    // Whether an ordinary file stands at `path` (a folder counts as absent).
    virtual bool OrdinaryFileExists(const QString& path) = 0;

    // Starts `program` with `arguments`, detached: nothing waits for it and no
    // shell or command-line splitter ever sees the arguments.
    virtual StartResult StartProgram(const QString& program, const QStringList& arguments) = 0;
    // Opens `url` in the desktop's default browser.
    virtual StartResult OpenInDefaultBrowser(const QUrl& url) = 0;

    // Replaces the file at `path` with `bytes` as a whole (Overlay::WriteFileAtomically).
    // Called on the overlay writer's own thread as well as on the window's.
    virtual WriteResult WriteFile(const QString& path, const QByteArray& bytes) = 0;

    // The folder holding the running program file, without a trailing separator.
    virtual QString ProgramFolder() = 0;
};
