#pragma once

#include "AtomicFile.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Writes files on a thread of its own, so a slow or busy disk never holds up
// the thread that hands the bytes over. Built for a file that is rewritten on
// every change: while a write runs, a newer hand-over for the same file
// replaces the one still waiting, so at most one write runs and one waits per
// file, and the file always ends with the latest bytes. Every write goes
// through `write` (WriteFileAtomically in the program), so each stays atomic.
class BackgroundWriter : public QObject
{
    Q_OBJECT
public:
    using WriteFunction = std::function<WriteResult(const QString& path, const QByteArray& bytes)>;

    struct Outcome
    {
        // Counts hand-overs from 1, so an outcome can be matched to its own.
        quint64 serial = 0;
        QString path;
        WriteResult result;
    };

    // `write` runs on the writer's thread and must be safe to call there.
    explicit BackgroundWriter(WriteFunction write, QObject* parent = nullptr);
    // Finishes what runs and waits first: nothing handed over is lost.
    ~BackgroundWriter() override;
    Q_DISABLE_COPY_MOVE(BackgroundWriter)

    // Makes the bytes on the writer's thread, as a large document takes a
    // while to turn into them; sets `problem` when they cannot be made,
    // which fails the write.
    using MakeBytes = std::function<QByteArray(QString& problem)>;

    // Hands over the bytes for `path` and returns at once.
    quint64 Submit(const QString& path, const QByteArray& bytes);
    quint64 Submit(const QString& path, MakeBytes make);
    // Returns once nothing runs or waits.
    void WaitUntilIdle();
    // The outcomes of the writes finished since the last call, oldest first.
    // Replaced hand-overs were never written and have none.
    std::vector<Outcome> TakeOutcomes();

Q_SIGNALS:
    // On the thread that owns the writer, after writes have finished.
    void finished();

private:
    struct Job
    {
        quint64 serial = 0;
        QString path;
        MakeBytes make;
    };

    void Run();

    const WriteFunction write_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> waiting_;
    std::vector<Outcome> outcomes_;
    quint64 lastSerial_ = 0;
    bool running_ = false;
    bool stopping_ = false;
    bool signalPending_ = false;
    // Last, so the thread starts once everything it uses is there.
    std::thread thread_;
};
