#include "BackgroundWriter.h"

#include <QMetaObject>

#include <algorithm>
#include <utility>

BackgroundWriter::BackgroundWriter(WriteFunction write, QObject* parent)
    : QObject(parent), write_(std::move(write)), thread_([this] { Run(); })
{}

BackgroundWriter::~BackgroundWriter()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

quint64 BackgroundWriter::Submit(const QString& path, const QByteArray& bytes)
{
    return Submit(path, [bytes](QString& /*problem*/) { return bytes; });
}

quint64 BackgroundWriter::Submit(const QString& path, MakeBytes make)
{
    quint64 serial = 0;
    {
        const std::lock_guard lock(mutex_);
        serial = ++lastSerial_;
        const auto samePath = std::find_if(waiting_.begin(), waiting_.end(),
                                           [&](const Job& job) { return job.path == path; });
        if (samePath != waiting_.end())
            *samePath = Job{serial, path, std::move(make)};
        else
            waiting_.push_back(Job{serial, path, std::move(make)});
    }
    wake_.notify_one();
    return serial;
}

void BackgroundWriter::WaitUntilIdle()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return waiting_.empty() && !running_; });
}

std::vector<BackgroundWriter::Outcome> BackgroundWriter::TakeOutcomes()
{
    const std::lock_guard lock(mutex_);
    return std::exchange(outcomes_, {});
}

void BackgroundWriter::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty())
            return; // stopping, and everything handed over is written
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        running_ = true;
        lock.unlock();
        QString problem;
        const QByteArray bytes = job.make(problem);
        WriteResult result =
            problem.isEmpty() ? write_(job.path, bytes) : WriteResult{false, problem};
        lock.lock();
        running_ = false;
        outcomes_.push_back(Outcome{job.serial, job.path, std::move(result)});
        if (waiting_.empty())
            idle_.notify_all();
        // One queued signal covers every outcome that arrives before it is
        // delivered; a writer destroyed meanwhile drops it.
        if (!std::exchange(signalPending_, true)) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    {
                        const std::lock_guard relock(mutex_);
                        signalPending_ = false;
                    }
                    Q_EMIT finished();
                },
                Qt::QueuedConnection);
        }
    }
}
