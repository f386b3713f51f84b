#include "OverlayDocument.h"

#include "AlphaColor.h"
#include "PathHelpers.h"
#include "Presets.h"
#include "Vocabulary.h"

#include <QFileInfo>

namespace {

// "Center": chosen at the start, with its places and units, so that what
// shows as chosen is what a first save writes.
constexpr int kStartPreset = 4;

// The value a units field qualifies.
OverlayField QualifiedBy(OverlayField units)
{
    for (const OverlayPoint& point : kOverlayPoints) {
        if (point.xUnits == units)
            return point.x;
        if (point.yUnits == units)
            return point.y;
    }
    return nullptr;
}

void TakeOver(DocumentState& state, const GraphicChoice& picture)
{
    state.settings.picture = picture.picture;
    state.widthText = picture.widthText;
    state.heightText = picture.heightText;
    state.caption = picture.windowCaption;
}

} // namespace

OverlayDocument::OverlayDocument(QObject* parent) : QObject(parent)
{
    state_.settings = StartSettings();
    state_.preset = kStartPreset;
    inFile_ = state_.settings;
}

OverlaySettings OverlayDocument::StartSettings()
{
    OverlaySettings s;
    s.drawOrder = QStringLiteral("99");
    for (const OverlayPoint& point : kOverlayPoints)
        s.*point.xUnits = s.*point.yUnits = Vocabulary::kFraction;
    s.colour = Vocabulary::kOpaqueWhite;
    for (const auto& [field, text] : Overlay::PresetFields(kStartPreset))
        s.*field = text;
    return s;
}

QString OverlayDocument::PictureToRead() const
{
    return Overlay::ResolveLink(state_.settings.picture, state_.pictureFolder);
}

void OverlayDocument::Commit(DocumentState next, Reach reach)
{
    if (next == state_)
        return;
    // What the file is written from is unchanged: nothing to write.
    if (next.settings == state_.settings && next.inPlace == state_.inPlace)
        reach = Reach::Shown;
    state_ = std::move(next);
    Q_EMIT changed(reach);
}

void OverlayDocument::Set(OverlayField field, const QString& text)
{
    DocumentState next = state_;
    next.settings.*field = text;
    Commit(std::move(next), Reach::Written);
}

void OverlayDocument::ApplyPreset(int index)
{
    DocumentState next = state_;
    for (const auto& [field, text] : Overlay::PresetFields(index))
        next.settings.*field = text;
    next.preset = index;
    Commit(std::move(next), Reach::Written);
}

void OverlayDocument::PickUnits(OverlayField units, const QString& word)
{
    DocumentState next = state_;
    next.settings.*units = word;
    if (const OverlayField value = QualifiedBy(units))
        (next.settings.*value).clear();
    Commit(std::move(next), Reach::Written);
}

void OverlayDocument::SetTransparency(int percent)
{
    DocumentState next = state_;
    next.settings.colour =
        Vocabulary::ColorWithAlpha(next.settings.colour, Overlay::PercentToAlphaHex(percent));
    Commit(std::move(next), Reach::Written);
}

void OverlayDocument::ApplyHandEdit(const std::vector<std::pair<OverlayField, QString>>& fields)
{
    DocumentState next = state_;
    for (const auto& [field, text] : fields)
        next.settings.*field = text;
    next.preset = Overlay::MatchingPreset(next.settings);
    Commit(std::move(next), Reach::Written);
}

void OverlayDocument::TakePicture(const GraphicChoice& picture)
{
    DocumentState next = state_;
    TakeOver(next, picture);
    Commit(std::move(next), Reach::Shown);
}

void OverlayDocument::Open(const OverlaySettings& settings, const GraphicChoice& picture,
                           const QString& pictureFolder,
                           std::shared_ptr<const Overlay::InPlaceKml> inPlace)
{
    inFile_ = settings;
    inFilePlace_ = inPlace;
    Replace(settings, picture, pictureFolder, std::move(inPlace));
}

void OverlayDocument::Replace(const OverlaySettings& settings, const GraphicChoice& picture,
                              const QString& pictureFolder,
                              std::shared_ptr<const Overlay::InPlaceKml> inPlace)
{
    DocumentState next;
    next.settings = settings;
    TakeOver(next, picture);
    next.pictureFolder = pictureFolder;
    next.preset = Overlay::MatchingPreset(next.settings);
    next.inPlace = std::move(inPlace);
    // Opened, it is in the file already; added or taken out, it is not.
    const bool inFile = next.settings == inFile_ && next.inPlace == inFilePlace_;
    Commit(std::move(next), inFile ? Reach::Shown : Reach::Written);
}

void OverlayDocument::MoveFolder(DocumentState& state, const QString& folder)
{
    state.settings.picture =
        Overlay::RebaseLink(state.settings.picture, state.pictureFolder, folder);
    state.pictureFolder = folder;
}

DocumentState OverlayDocument::SavedAt(const QString& outputFile) const
{
    DocumentState moved = state_;
    // Links inside an archive move with it.
    if (!(state_.inPlace && state_.inPlace->inArchive()))
        MoveFolder(moved, QFileInfo(outputFile).absolutePath());
    moved.settings.outputFile = outputFile;
    return moved;
}

OverlaySettings OverlayDocument::SettingsAt(const QString& outputFile) const
{
    return SavedAt(outputFile).settings;
}

void OverlayDocument::SavedAs(const QString& outputFile)
{
    Commit(SavedAt(outputFile), Reach::Shown);
}

void OverlayDocument::Restore(const DocumentState& state)
{
    DocumentState next = state;
    next.settings.outputFile = state_.settings.outputFile;
    // A text of another file than the one written now is not put back.
    const auto& now = state_.inPlace;
    if (!(now && next.inPlace && now->lineage == next.inPlace->lineage))
        next.inPlace = now;
    Commit(std::move(next), Reach::Written);
}
