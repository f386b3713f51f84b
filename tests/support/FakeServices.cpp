#include "FakeServices.h"

#include <QFileInfo>

#include <utility>

QList<FakeServices::Call> FakeServices::CallsOf(Kind kind) const
{
    QList<Call> found;
    for (const Call& call : calls) {
        if (call.kind == kind)
            found.append(call);
    }
    return found;
}

FakeServices::Call& FakeServices::Record(Kind kind, const QString& title, const QString& text)
{
    Call call;
    call.kind = kind;
    call.title = title;
    call.text = text;
    calls.append(call);
    return calls.last();
}

int FakeServices::MessageCount() const
{
    return int(CallsOf(Kind::DataError).size() + CallsOf(Kind::Notice).size() +
               CallsOf(Kind::AskYesNo).size() + CallsOf(Kind::Failure).size());
}

void FakeServices::Told(Kind kind, const QString& title, const QString& text)
{
    const Call call = Record(kind, title, text);
    if (onMessage)
        onMessage(call);
}

void FakeServices::DataError(QWidget* /*parent*/, const QString& text)
{
    Told(Kind::DataError, QStringLiteral("Data Error"), text);
}

void FakeServices::Notice(QWidget* /*parent*/, const QString& text)
{
    Told(Kind::Notice, QStringLiteral("Orvinel"), text);
}

bool FakeServices::AskYesNo(QWidget* /*parent*/, const QString& text)
{
    Told(Kind::AskYesNo, QStringLiteral("Orvinel"), text);
    if (yesNoAnswers.empty())
        return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

void FakeServices::Failure(QWidget* /*parent*/, const QString& text)
{
    Told(Kind::Failure, QStringLiteral("Orvinel"), text);
}

QString FakeServices::ShowFileDialog(QWidget* /*parent*/, FileDialogMode mode, const QString& title,
                                     const QString& filter)
{
    Record(Kind::FileDialog, title, filter).mode = mode;
    if (fileDialogAnswers.empty())
        return {};
    QString answer = fileDialogAnswers.front();
    fileDialogAnswers.pop_front();
    return answer;
}

bool FakeServices::OrdinaryFileExists(const QString& path)
{
    if (existingFiles.contains(path))
        return true;
    return useRealFileSystem && QFileInfo(path).isFile();
}

StartResult FakeServices::StartProgram(const QString& program, const QStringList& arguments)
{
    Call& call = Record(Kind::StartProgram, QString(), QString());
    call.program = program;
    call.arguments = arguments;
    if (!failingProgram.isEmpty() && program == failingProgram)
        return {false, failingReason};
    return {true, QString()};
}

StartResult FakeServices::OpenInDefaultBrowser(const QUrl& url)
{
    Record(Kind::OpenUrl, QString(), QString()).url = url;
    if (browserFails)
        return {false, QStringLiteral("No browser is set up")};
    return {true, QString()};
}

void FakeServices::HoldWrites()
{
    const std::lock_guard lock(writeMutex_);
    writesHeld_ = true;
}

void FakeServices::ReleaseWrites()
{
    {
        const std::lock_guard lock(writeMutex_);
        writesHeld_ = false;
    }
    writeReleased_.notify_all();
}

int FakeServices::WritesMade()
{
    const std::lock_guard lock(writeMutex_);
    return writesMade_;
}

WriteResult FakeServices::WriteFile(const QString& path, const QByteArray& bytes)
{
    std::unique_lock lock(writeMutex_);
    writeReleased_.wait(lock, [this] { return !writesHeld_; });
    ++writesMade_;
    lock.unlock();
    return Overlay::WriteFileAtomically(path, bytes);
}
