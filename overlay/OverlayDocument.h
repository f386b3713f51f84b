#pragma once

#include "KmlSplice.h"
#include "OverlaySettings.h"

#include <QObject>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

// A picture taken as the overlay picture, as it was measured.
struct GraphicChoice
{
    // Exactly as the dialog returned it, or the link as a file holds it.
    QString picture;
    // Plain decimal digits, or "?" when the picture was not measured.
    QString widthText;
    QString heightText;
    // "Overlay Graphic: " + base name + "." + extension.
    QString windowCaption;
};

// The overlay being edited, as a whole: what the file is written from and
// what the window shows beside it. An undo puts one of these back.
struct DocumentState
{
    OverlaySettings settings;
    // The folder a relative picture link is taken from: the folder of the
    // file it was read from or last saved to.
    QString pictureFolder;
    // The picture's measured size and the caption it gives the window.
    QString widthText = QStringLiteral("?");
    QString heightText = QStringLiteral("?");
    QString caption;
    // The preset shown as chosen; -1 for none.
    int preset = -1;
    // The file the overlay is edited inside; null when Orvinel writes the
    // file in its own form.
    std::shared_ptr<const Overlay::InPlaceKml> inPlace;
    friend bool operator==(const DocumentState&, const DocumentState&) = default;
};

// The one overlay the window edits, and the rules for editing it. Every
// change goes through here; `changed` tells the window what to show again
// and whether Auto-Refresh writes it. Changes that leave everything as it
// was tell nothing.
class OverlayDocument : public QObject
{
    Q_OBJECT
public:
    // How far a change goes: shown (controls and preview), or written too
    // when Auto-Refresh is on.
    enum class Reach { Shown, Written };

    // Starts at the start values: draw order 99, every unit fraction,
    // opaque white, "Center" chosen with its places set.
    explicit OverlayDocument(QObject* parent = nullptr);
    // The start values' settings, which a new overlay also starts with.
    static OverlaySettings StartSettings();

    const DocumentState& State() const { return state_; }
    const OverlaySettings& Settings() const { return state_.settings; }
    // Where the picture is read from: a relative link taken from its folder.
    QString PictureToRead() const;

    // A text typed into `field`, kept exactly as typed.
    void Set(OverlayField field, const QString& text);
    // Preset `index`'s places and units; it shows as chosen.
    void ApplyPreset(int index);
    // A unit picked for the value it qualifies, which empties that value
    // (even when the same unit is picked again).
    void PickUnits(OverlayField units, const QString& word);
    // The transparency slider's place: the alpha digits of the colour.
    void SetTransparency(int percent);
    // Fields set by hand in the preview; the preset they match shows as chosen.
    void ApplyHandEdit(const std::vector<std::pair<OverlayField, QString>>& fields);
    // A picture taken over; nothing is written for it.
    void TakePicture(const GraphicChoice& picture);
    // An opened file's values: `settings` with its output file (empty when it
    // is not written back), its measured picture and the folder its link is
    // relative to; `inPlace` when the file is written back with only its
    // overlay changed. Nothing is written for it.
    void Open(const OverlaySettings& settings, const GraphicChoice& picture,
              const QString& pictureFolder,
              std::shared_ptr<const Overlay::InPlaceKml> inPlace = nullptr);
    // The file the overlay is edited inside (kept by Save As, and by an undo
    // to a state of another file, as the output file is); null when Orvinel
    // writes the file in its own form.
    const std::shared_ptr<const Overlay::InPlaceKml>& InPlace() const { return state_.inPlace; }
    // Another overlay of the same file, or the file with one more or one
    // less: as Open, but written with Auto-Refresh and not yet in the file.
    void Replace(const OverlaySettings& settings, const GraphicChoice& picture,
                 const QString& pictureFolder, std::shared_ptr<const Overlay::InPlaceKml> inPlace);
    // The settings as Save As writes them to `outputFile`: a relative picture
    // link rewritten so that it names the same picture from there.
    OverlaySettings SettingsAt(const QString& outputFile) const;
    // Save As wrote `outputFile`: it is the output file from now on.
    void SavedAs(const QString& outputFile);
    // `state` as it would be with its picture folder moved to `folder`.
    static void MoveFolder(DocumentState& state, const QString& folder);
    // Puts an undo state back; the output file stays as Save As or an Open
    // left it.
    void Restore(const DocumentState& state);

    // `settings` reached the overlay file (`settings.outputFile`), inside
    // `inPlace`'s text when there is one.
    void Wrote(const OverlaySettings& settings,
               const std::shared_ptr<const Overlay::InPlaceKml>& inPlace)
    {
        inFile_ = settings;
        inFilePlace_ = inPlace;
    }
    // Whether the settings or the file's text differ from those last read
    // from or written to a file; the start values count as kept.
    bool HasUnsavedChanges() const
    {
        return state_.settings != inFile_ || state_.inPlace != inFilePlace_;
    }

Q_SIGNALS:
    void changed(OverlayDocument::Reach reach);

private:
    void Commit(DocumentState next, Reach reach);
    // The state as Save As to `outputFile` leaves it.
    DocumentState SavedAt(const QString& outputFile) const;

    DocumentState state_;
    OverlaySettings inFile_;
    std::shared_ptr<const Overlay::InPlaceKml> inFilePlace_;
};
