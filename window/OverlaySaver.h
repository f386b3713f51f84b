#pragma once

#include "AtomicFile.h"
#include "FileStamp.h"
#include "KmlSplice.h"
#include "OverlaySettings.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>
#include <mutex>
#include <utility>

class BackgroundWriter;
class QWidget;
class Services;

// Writes the window's overlay file. Auto-refresh writes are handed to a
// writer thread and return at once (the latest state wins, a run of failures
// is told once); a save asked for by a command waits for those first, then
// writes and tells any failure. Every write goes through Services::WriteFile
// and every failure names the file and the reason. `written` tells each Save
// that worked, and the latest auto-refresh hand-over once it reached the disk.
class OverlaySaver : public QObject
{
    Q_OBJECT
public:
    OverlaySaver(Services& services, QWidget* window);
    // Finishes the writes still under way: nothing handed over is lost.
    ~OverlaySaver() override;
    Q_DISABLE_COPY_MOVE(OverlaySaver)

    // Writes `settings` now, after the writes under way, into `inPlace`'s
    // file when there is one. Returns whether it worked.
    bool Save(const OverlaySettings& settings,
              const std::shared_ptr<const Overlay::InPlaceKml>& inPlace = nullptr);
    // Hands `settings` to the writer thread and returns at once; the bytes
    // are made there.
    void Queue(const OverlaySettings& settings,
               const std::shared_ptr<const Overlay::InPlaceKml>& inPlace = nullptr);
    // Returns once every write handed over has reached the disk or failed,
    // after telling a failure not told yet.
    void WaitForWrites();
    // `path` held `stamp` when it was opened. Every write checks first that
    // no other program has written the file since it was opened or last
    // written here: Save asks before writing over it, Auto-Refresh does not
    // write and tells why.
    void Stamp(const QString& path, const FileStamp& stamp);

Q_SIGNALS:
    // The file `settings.outputFile` now holds `settings`, inside
    // `inPlace`'s text when there is one.
    void written(const OverlaySettings& settings,
                 const std::shared_ptr<const Overlay::InPlaceKml>& inPlace);

private:
    void TakeOutcomes();
    // Writes `bytes` to `path` unless another program wrote it since it was
    // stamped (and not `overOthers`), then stamps it. On either thread.
    WriteResult Write(const QString& path, const QByteArray& bytes, bool overOthers);
    // A failure is told once per run of failed auto-refresh writes, and every
    // time when `tellAnyway`.
    bool Apply(const QString& path, const WriteResult& result, bool tellAnyway);

    Services& services_;
    QWidget* window_;
    // What each file held when last read or written, by its absolute path;
    // before the writer, whose thread uses them.
    std::mutex stampsMutex_;
    QHash<QString, FileStamp> stamps_;
    std::unique_ptr<BackgroundWriter> writer_;
    // The last hand-over to the writer thread, and what it writes.
    quint64 lastSerial_ = 0;
    OverlaySettings lastQueued_;
    std::shared_ptr<const Overlay::InPlaceKml> lastQueuedPlace_;
    // Whether the current run of failed writes has been told.
    bool failureTold_ = false;
};
