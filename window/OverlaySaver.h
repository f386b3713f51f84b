#pragma once

#include "AtomicFile.h"
#include "KmlSplice.h"
#include "OverlaySettings.h"

#include <QObject>
#include <QString>

#include <memory>
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

Q_SIGNALS:
    // The file `settings.outputFile` now holds `settings`.
    void written(const OverlaySettings& settings);

private:
    void TakeOutcomes();
    // A failure is told once per run of failed auto-refresh writes, and every
    // time when `tellAnyway`.
    bool Apply(const QString& path, const WriteResult& result, bool tellAnyway);

    Services& services_;
    QWidget* window_;
    std::unique_ptr<BackgroundWriter> writer_;
    // The last hand-over to the writer thread, and what it writes.
    quint64 lastSerial_ = 0;
    OverlaySettings lastQueued_;
    // Whether the current run of failed writes has been told.
    bool failureTold_ = false;
};
