#pragma once

#include "Services.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

// Test double for Services: answers dialogs and questions from queues and
// records every call in order, so a test can say exactly what the user saw.
class FakeServices : public Services
{
public:
    enum class Kind {
        DataError,
        Notice,
        AskYesNo,
        AskSaveChanges,
        Failure,
        FileDialog,
        StartProgram,
        OpenUrl,
        About,
        AskOverlay
    };

    struct Call
    {
        Kind kind = Kind::DataError;
        QString title;     // message box title or dialog title
        QString text;      // message text, or dialog filter
        QString suggested; // the path a file dialog offered
        FileDialogMode mode = FileDialogMode::Open;
        QString program;
        QStringList arguments;
        QUrl url;
    };

    // Answers, taken front first. An empty queue answers "cancel" / "No".
    std::deque<QString> fileDialogAnswers;
    std::deque<bool> yesNoAnswers;
    std::deque<SaveChoice> saveChangesAnswers;
    // The overlay picker's answers; an empty queue cancels (-1).
    std::deque<int> overlayAnswers;
    // Programs that fail to start, with the reason they give.
    QString failingProgram;
    QString failingReason = QStringLiteral("No such file or directory");
    bool browserFails = false;
    QString programFolder = QStringLiteral("/opt/orvinel/bin");
    // When empty, the real file system answers the file-exists lookup.
    QStringList existingFiles;
    bool useRealFileSystem = true;

    QList<Call> calls;
    // Runs as each message box is shown, while the window waits for it.
    std::function<void(const Call&)> onMessage;

    // Writes are real (Overlay::WriteFileAtomically) but can be held back, as
    // a slow disk holds them: a held write waits on the writer's thread until
    // released. Safe to call from any thread.
    void HoldWrites(bool held = true);
    int WritesMade();

    QList<Call> CallsOf(Kind kind) const;
    int MessageCount() const; // message boxes of every style

    void DataError(QWidget* /*parent*/, const QString& text) override
    {
        Told(Kind::DataError, text, QStringLiteral("Data Error"));
    }
    void Notice(QWidget* /*parent*/, const QString& text) override { Told(Kind::Notice, text); }
    bool AskYesNo(QWidget* parent, const QString& text) override;
    SaveChoice AskSaveChanges(QWidget* parent, const QString& text) override;
    // Recorded with the file's name as title and the labels a line each.
    int AskOverlay(QWidget* parent, const QString& fileName, const QStringList& labels,
                   int current) override;
    void Failure(QWidget* /*parent*/, const QString& text) override { Told(Kind::Failure, text); }
    void About(QWidget* /*parent*/, const QString& title, const QString& text) override
    {
        Told(Kind::About, text, title);
    }
    QString ShowFileDialog(QWidget* parent, FileDialogMode mode, const QString& title,
                           const QString& filter, const QString& suggested) override;
    bool OrdinaryFileExists(const QString& path) override;
    StartResult StartProgram(const QString& program, const QStringList& arguments) override;
    StartResult OpenInDefaultBrowser(const QUrl& url) override;
    WriteResult WriteFile(const QString& path, const QByteArray& bytes) override;
    QString ProgramFolder() override { return programFolder; }

private:
    Call& Record(Kind kind, const QString& title = {}, const QString& text = {});
    // A message box, recorded and handed to onMessage.
    void Told(Kind kind, const QString& text, const QString& title = QStringLiteral("Orvinel"));

    std::mutex writeMutex_;
    std::condition_variable writeReleased_;
    bool writesHeld_ = false;
    int writesMade_ = 0;
};
