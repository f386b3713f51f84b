#include "FakeServices.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

// The front answer, taken; a default one (cancel, No) once they run out.
template <class T> T Take(std::deque<T>& answers)
{
    if (answers.empty())
        return T();
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

} // namespace

QList<FakeServices::Call> FakeServices::CallsOf(Kind kind) const
{
    QList<Call> found;
    for (const Call& call : calls) {
        if (call.kind == kind)
            found.append(call);
    }
    return found;
}

int FakeServices::MessageCount() const
{
    return int(std::count_if(calls.begin(), calls.end(),
                             [](const Call& call) { return call.kind <= Kind::Failure; }));
}

FakeServices::Call& FakeServices::Record(Kind kind, const QString& title, const QString& text)
{
    Call& call = calls.emplace_back();
    call.kind = kind;
    call.title = title;
    call.text = text;
    return call;
}

void FakeServices::Told(Kind kind, const QString& text, const QString& title)
{
    const Call call = Record(kind, title, text);
    if (onMessage)
        onMessage(call);
}

bool FakeServices::AskYesNo(QWidget* /*parent*/, const QString& text)
{
    Told(Kind::AskYesNo, text);
    return Take(yesNoAnswers);
}

SaveChoice FakeServices::AskSaveChanges(QWidget* /*parent*/, const QString& text)
{
    Told(Kind::AskSaveChanges, text);
    return Take(saveChangesAnswers);
}

int FakeServices::AskOverlay(QWidget* /*parent*/, const QString& fileName,
                             const QStringList& labels, int current)
{
    Record(Kind::AskOverlay, fileName,
           labels.join(u'\n') + QStringLiteral("\nchosen: %1").arg(current));
    return overlayAnswers.empty() ? -1 : Take(overlayAnswers);
}

QString FakeServices::ShowFileDialog(QWidget* /*parent*/, FileDialogMode mode, const QString& title,
                                     const QString& filter, const QString& suggested)
{
    Call& call = Record(Kind::FileDialog, title, filter);
    call.mode = mode;
    call.suggested = suggested;
    return Take(fileDialogAnswers);
}

bool FakeServices::OrdinaryFileExists(const QString& path)
{
    return existingFiles.contains(path) || (useRealFileSystem && QFileInfo(path).isFile());
}

StartResult FakeServices::StartProgram(const QString& program, const QStringList& arguments)
{
    Call& call = Record(Kind::StartProgram);
    call.program = program;
    call.arguments = arguments;
    const bool fails = !failingProgram.isEmpty() && program == failingProgram;
    return {!fails, fails ? failingReason : QString()};
}

StartResult FakeServices::OpenInDefaultBrowser(const QUrl& url)
{
    Record(Kind::OpenUrl).url = url;
    return {!browserFails, browserFails ? QStringLiteral("No browser is set up") : QString()};
}

void FakeServices::HoldWrites(bool held)
{
    {
        const std::lock_guard lock(writeMutex_);
        writesHeld_ = held;
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
