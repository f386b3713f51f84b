#include "OverlaySaver.h"

#include "BackgroundWriter.h"
#include "Services.h"

OverlaySaver::OverlaySaver(Services& services, QWidget* window)
    : services_(services), window_(window),
      writer_(std::make_unique<BackgroundWriter>(
          [&services](const QString& path, const QByteArray& bytes) {
              return services.WriteFile(path, bytes);
          }))
{
    connect(writer_.get(), &BackgroundWriter::finished, this, &OverlaySaver::TakeOutcomes);
}

OverlaySaver::~OverlaySaver() = default;

bool OverlaySaver::Save(const OverlaySettings& settings,
                        const std::shared_ptr<const Overlay::InPlaceKml>& inPlace)
{
    WaitForWrites();
    const QByteArray bytes = Overlay::DocumentBytes(inPlace, settings);
    if (!Apply(settings.outputFile, services_.WriteFile(settings.outputFile, bytes), true))
        return false;
    Q_EMIT written(settings);
    return true;
}

void OverlaySaver::Queue(const OverlaySettings& settings,
                         const std::shared_ptr<const Overlay::InPlaceKml>& inPlace)
{
    lastSerial_ = writer_->Submit(settings.outputFile, [inPlace, settings] {
        return Overlay::DocumentBytes(inPlace, settings);
    });
    lastQueued_ = settings;
}

void OverlaySaver::WaitForWrites()
{
    writer_->WaitUntilIdle();
    TakeOutcomes();
}

void OverlaySaver::TakeOutcomes()
{
    // Only the last hand-over's write is told as written: an earlier one
    // holds a state the document has already left, so knowing it changes
    // nothing that is asked.
    for (const BackgroundWriter::Outcome& outcome : writer_->TakeOutcomes())
        if (Apply(outcome.path, outcome.result, false) && outcome.serial == lastSerial_)
            Q_EMIT written(lastQueued_);
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
