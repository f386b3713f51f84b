#include "OverlaySaver.h"

#include "BackgroundWriter.h"
#include "Services.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString StampKey(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

OverlaySaver::OverlaySaver(Services& services, QWidget* window)
    : services_(services), window_(window),
      writer_(
          std::make_unique<BackgroundWriter>([this](const QString& path, const QByteArray& bytes) {
              return Write(path, bytes, false);
          }))
{
    connect(writer_.get(), &BackgroundWriter::finished, this, &OverlaySaver::TakeOutcomes);
}

OverlaySaver::~OverlaySaver() = default;

bool OverlaySaver::Save(const OverlaySettings& settings,
                        const std::shared_ptr<const Overlay::InPlaceKml>& inPlace)
{
    WaitForWrites();
    const QString& path = settings.outputFile;
    QString problem;
    const QByteArray bytes = Overlay::DocumentBytes(inPlace, settings, problem);
    WriteResult result =
        problem.isEmpty() ? Write(path, bytes, false) : WriteResult{false, problem};
    if (result.changedByOther) {
        if (!services_.AskYesNo(window_, tr("%1 was changed by another program since Orvinel "
                                            "opened or saved it.\n\nWrite over it? The other "
                                            "program's changes would be lost.")
                                             .arg(path)))
            return false;
        result = Write(path, bytes, true);
    }
    if (!Apply(path, result, true))
        return false;
    Q_EMIT written(settings, inPlace);
    return true;
}

void OverlaySaver::Queue(const OverlaySettings& settings,
                         const std::shared_ptr<const Overlay::InPlaceKml>& inPlace)
{
    lastSerial_ = writer_->Submit(settings.outputFile, [inPlace, settings](QString& problem) {
        return Overlay::DocumentBytes(inPlace, settings, problem);
    });
    lastQueued_ = settings;
    lastQueuedPlace_ = inPlace;
}

void OverlaySaver::WaitForWrites()
{
    writer_->WaitUntilIdle();
    TakeOutcomes();
}

void OverlaySaver::Stamp(const QString& path, const FileStamp& stamp)
{
    const std::lock_guard lock(stampsMutex_);
    stamps_.insert(StampKey(path), stamp);
}

WriteResult OverlaySaver::Write(const QString& path, const QByteArray& bytes, bool overOthers)
{
    const QString key = StampKey(path);
    FileStamp stamp;
    {
        const std::lock_guard lock(stampsMutex_);
        stamp = stamps_.value(key);
    }
    if (!overOthers && stamp.valid() && !Overlay::StillAsStamped(path, stamp))
        return {false,
                tr("another program changed it since Orvinel opened or saved it, so it was not "
                   "written over. Use Save/Refresh to write over it, or open it again to take "
                   "its changes"),
                true};
    WriteResult result = services_.WriteFile(path, bytes);
    if (result.ok) {
        const std::lock_guard lock(stampsMutex_);
        stamps_.insert(key, Overlay::StampOf(path, bytes));
    }
    return result;
}

void OverlaySaver::TakeOutcomes()
{
    // Only the last hand-over's write is told as written: an earlier one
    // holds a state the document has already left, so knowing it changes
    // nothing that is asked.
    for (const BackgroundWriter::Outcome& outcome : writer_->TakeOutcomes())
        if (Apply(outcome.path, outcome.result, false) && outcome.serial == lastSerial_)
            Q_EMIT written(lastQueued_, lastQueuedPlace_);
}

bool OverlaySaver::Apply(const QString& path, const WriteResult& result, bool tellAnyway)
{
    if (result.ok) {
        failureTold_ = false;
        return true;
    }
    // One box for a run of failed keystrokes, not one per keystroke.
    if (!std::exchange(failureTold_, true) || tellAnyway)
        services_.Failure(
            window_,
            QStringLiteral("Could not save the overlay file \"%1\": %2").arg(path, result.error));
    return false;
}
