#include "OverlaySaver.h"

#include "BackgroundWriter.h"
#include "KmlWriter.h"
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

bool OverlaySaver::Save(const OverlaySettings& settings)
{
    WaitForWrites();
    const OverlayFile file = Overlay::OverlayFileBytes(settings);
    return Apply(settings.outputFile, services_.WriteFile(settings.outputFile, file.bytes),
                 {file.SizeXValue, file.SizeYValue}, true);
}

void OverlaySaver::Queue(const OverlaySettings& settings)
{
    const OverlayFile file = Overlay::OverlayFileBytes(settings);
    const quint64 serial = writer_->Submit(settings.outputFile, file.bytes);
    sizesInFlight_[serial] = {file.SizeXValue, file.SizeYValue};
}

void OverlaySaver::WaitForWrites()
{
    writer_->WaitUntilIdle();
    TakeOutcomes();
}

void OverlaySaver::TakeOutcomes()
{
    for (const BackgroundWriter::Outcome& outcome : writer_->TakeOutcomes()) {
        const SizeValues sizes = sizesInFlight_[outcome.serial];
        // Earlier hand-overs are done with too: written, or replaced by this one.
        sizesInFlight_.erase(sizesInFlight_.begin(), sizesInFlight_.upper_bound(outcome.serial));
        Apply(outcome.path, outcome.result, sizes, false);
    }
}

bool OverlaySaver::Apply(const QString& path, const WriteResult& result, const SizeValues& sizes,
                         bool tellAnyway)
{
    if (result.ok) {
        failureTold_ = false;
        if (written)
            written(sizes.first, sizes.second);
        return true;
    }
    // One box for a run of failed keystrokes, not one per keystroke.
    if (!std::exchange(failureTold_, true) || tellAnyway)
        services_.Failure(
            window_,
            QStringLiteral("Could not save the overlay file \"%1\": %2").arg(path, result.error));
    return false;
}
