#pragma once

#include "OverlayReader.h"
#include "OverlaySettings.h"

#include <QByteArray>
#include <QString>
#include <QStringConverter>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// Editing a screen overlay inside any KML file: the file's text is kept as it
// is, and only the overlay's own elements that changed are replaced, added or
// taken out. Everything else (other features, the overlay's other children,
// comments, CDATA, entity references, white space, the encoding) stays byte
// for byte.

namespace Overlay {

// A KML file's text, with what turns it back into the very same bytes.
struct KmlText
{
    // A byte order mark, kept as it stood.
    QByteArray bom;
    QStringConverter::Encoding encoding = QStringConverter::Utf8;
    QString text;
};

// The text of `bytes`, or nullopt when encoding it again would not give the
// same bytes: an encoding other than UTF-8, UTF-16 or ISO-8859-1, or bytes
// that are not valid in their encoding.
std::optional<KmlText> DecodeKml(const QByteArray& bytes);
QByteArray EncodeKml(const KmlText& kml);

// One element in the text: from its "<" to past its end tag's ">".
struct ElementSpan
{
    qsizetype start = -1;
    qsizetype end = -1;
    // The content, between the start tag's ">" and the end tag's "<"; an
    // element written as <x/> has none, and both are its end.
    qsizetype contentStart = -1;
    qsizetype contentEnd = -1;
    // "kml:" for <kml:name>; empty for <name>.
    QString prefix;
    QString name;
    bool kml = false;

    bool found() const { return start >= 0; }
    bool selfClosed() const { return contentStart == end; }
};

// Where one screen overlay stands, and its children.
struct OverlaySpot
{
    ElementSpan element;
    // Its element children, in file order.
    std::vector<ElementSpan> children;
    // The first <href> inside its first <Icon>.
    ElementSpan href;
    // Its title as the file holds it (cut after a few hundred characters),
    // and the names of the documents and folders around it, outermost
    // first; an unnamed one is an empty string.
    QString title;
    QStringList folders;
};

// The screen overlays of a KML text that a viewer shows (those in its
// documents and folders), in file order; `problem` is set when the text is
// not well-formed XML.
struct KmlLayout
{
    std::vector<OverlaySpot> overlays;
    QString problem;
};
KmlLayout ScanKml(const QString& text);

// `text` with overlay `spot`'s elements that are written differently for
// `now` than for `was` replaced, inserted where KML's order puts them, or
// taken out (an empty title, draw order, rotation or point), and nothing
// else changed. With `latin1`, characters beyond ISO-8859-1 are written as
// character references.
QString SplicedOverlay(const QString& text, const OverlaySpot& spot, const OverlaySettings& was,
                       const OverlaySettings& now, bool latin1 = false);

// `text` with the screen overlay for `settings` (in Orvinel's form) put in
// its Document or top Folder (else in the kml element itself), after the
// last feature there, on a line of its own; nothing else changes. With
// `latin1` as SplicedOverlay. `problem` says why not when it returns
// nullopt: not XML, not KML, or entities declared of its own.
std::optional<QString> WithOverlayAdded(const QString& text, const OverlaySettings& settings,
                                        bool latin1, QString& problem, qsizetype* at = nullptr);

// How the overlay picker names overlay `index` (from 0): its title, or
// "Screen overlay 2 (no title)", and " - in Project / Legends" after it
// when it stands in named folders.
QString OverlayLabel(const OverlaySpot& spot, int index);

// A KML file opened to be written back in place: its text as read, the
// overlay edited in it and that overlay's values as the file held them.
struct InPlaceKml
{
    KmlText kml;
    OverlaySpot spot;
    OverlaySettings read;
    // Which of the file's screen overlays it is (from 0), and how the picker
    // names each of them.
    int which = 0;
    QStringList labels;
    // The file's bytes, and where the overlay's stand among them.
    QByteArray bytes;
    qsizetype byteStart = 0;
    qsizetype byteEnd = 0;
    // Shared by every text of one opened file, as overlays are added to it
    // and taken out: an undo puts back only a text of the file now open.
    quint64 lineage = 0;
    // A KML file inside a KMZ: the archive's bytes, the entry's name, and the
    // unpacked file the window shows for the picture entry the link names.
    QByteArray archive;
    QString kmlEntry;
    QString shownPicture;
    bool inArchive() const { return !kmlEntry.isEmpty(); }
};

// The file's bytes with its overlay holding `now`: the bytes read when
// nothing the file writes differs.
QByteArray InPlaceBytes(const InPlaceKml& file, const OverlaySettings& now);

// The bytes of the overlay file for `now`: `inPlace`'s file with the
// overlay changed (the whole archive for a KML file inside a KMZ), or
// Orvinel's own form without one. `problem` says why not when they cannot
// be made (a picture to add that cannot be read).
QByteArray DocumentBytes(const std::shared_ptr<const InPlaceKml>& inPlace,
                         const OverlaySettings& now, QString& problem);

// What reading a KML file to edit it in place gave.
struct KmlInPlaceRead
{
    // As ReadOverlay gives it; notKept is empty when the file is edited in place.
    OpenedOverlayFile overlay;
    // Null when the file is written in Orvinel's own form (it is in that
    // form already) or cannot be written back in place (its encoding).
    std::shared_ptr<const InPlaceKml> inPlace;
    // How the picker names each of the file's screen overlays.
    QStringList labels;
    // Whether writing the overlay back keeps everything the file holds.
    bool keepsAll() const { return overlay.ok() && overlay.notKept.isEmpty(); }
};

// Reads overlay `which` (from 0) of the KML file `bytes` to edit in place;
// with `ownForm`, a file in Orvinel's own form is edited in place too. A
// `lineage` of 0 starts a new one.
KmlInPlaceRead ReadKmlInPlace(const QByteArray& bytes, ReadControl* control = nullptr,
                              int which = 0, bool ownForm = false, quint64 lineage = 0);

// Orvinel's own file for `settings`, to edit in place.
std::shared_ptr<const InPlaceKml> OwnFormInPlace(const OverlaySettings& settings);

// `file` with its overlay holding `now` and a new overlay for `added` after
// the last feature of its Document, read at the new overlay.
KmlInPlaceRead WithAnotherOverlay(const InPlaceKml& file, const OverlaySettings& now,
                                  const OverlaySettings& added);

// `file` without its overlay, read at the overlay before it (or the first).
KmlInPlaceRead WithoutThisOverlay(const InPlaceKml& file);

} // namespace Overlay
