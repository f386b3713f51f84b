#pragma once

#include "AtomicFile.h"
#include "FileStamp.h"
#include "KmlSplice.h"
#include "OverlayReader.h"
#include "OverlaySettings.h"

#include <QByteArray>
#include <QString>

// A KMZ: a zip archive whose first entry, doc.kml, is the overlay file with
// its picture referenced inside the archive, as files/<picture file name>.

struct KmzExport
{
    // ok, or why not (the picture could not be read, the archive not
    // written); the caller names the archive.
    WriteResult result;
    // False when the picture link is a web address: it stays as it is and
    // nothing is embedded.
    bool pictureEmbedded = false;
};

// What opening a KMZ gave.
struct OpenedKmz
{
    // The overlay read from the archive's first .kml entry, or from the
    // first KML entry its network links lead to inside the archive; its
    // problem is set when the archive cannot be used at all (not a zip, no
    // KML entry, an entry name that leaves the folder, too large when
    // unpacked, encrypted, ...).
    OpenedOverlayFile overlay;
    // The archive entry the picture link names, taken from the folder of
    // the KML entry that held the overlay; empty when it names none, or
    // names a file that is not a picture.
    QString pictureEntry;
    // The file was read as an archive.
    bool archive = false;
    // A KML file written back in place (see ReadKmlInPlace), and how the
    // picker names its screen overlays.
    std::shared_ptr<const Overlay::InPlaceKml> inPlace;
    QStringList overlayLabels;
    // What the file held as it was read.
    FileStamp stamp;
    // The archive entry the overlay was read from.
    QString kmlEntry;
};

namespace Overlay {

// The most one KMZ unpacks to, all its entries together. The exporter
// refuses a picture that would take its archive past it and the reader an
// archive whose entries declare more, so every archive Orvinel writes opens
// again. The parameters of that name exist for the tests.
inline constexpr qint64 kKmzMaxUnpacked = qint64(512) * 1024 * 1024;

// Writes `settings` as a KMZ at `kmzPath`, the picture's bytes read from
// `pictureFile` (where the picture link leads). Replaces the target whole: a
// failure leaves an earlier archive as it was.
KmzExport WriteKmz(const QString& kmzPath, const OverlaySettings& settings,
                   const QString& pictureFile, qint64 maxUnpacked = kKmzMaxUnpacked);

// Reads a KMZ from a file or from memory; never unpacks anything. `control`
// follows the read of the KML entry (its total is that entry's size). From
// memory it is read to be edited in place, as ReadAnyOverlayFile reads it.
OpenedKmz ReadKmz(const QString& kmzPath, ReadControl* control = nullptr,
                  qint64 maxUnpacked = kKmzMaxUnpacked);
OpenedKmz ReadKmzBytes(const QByteArray& bytes, ReadControl* control = nullptr,
                       qint64 maxUnpacked = kKmzMaxUnpacked);

// The largest KML file edited in place: it is held in memory as text.
inline constexpr qint64 kLargestInPlace = qint64(256) * 1024 * 1024;

// Reads `path` as what its first bytes say it is, whatever its name: a zip
// archive as a KMZ, anything else as a KML file, its screen overlay number
// `which` (from 0). A pipe or device is refused as ReadOverlayFile refuses it.
OpenedKmz ReadAnyOverlayFile(const QString& path, ReadControl* control = nullptr, int which = 0);

// The archive `file` was read from, its KML entry holding `now`: every other
// entry copied as it stands, and a picture from outside the archive added
// under files/ (an unpacked picture stays the entry it came from). The
// archive read when the entry is unchanged. `problem` says why not.
QByteArray KmzInPlaceBytes(const InPlaceKml& file, const OverlaySettings& now, QString& problem,
                           qint64 maxUnpacked = kKmzMaxUnpacked);

// The folder a KMZ's picture unpacks into: ".../legend.kmz" ->
// ".../legend_files".
QString KmzUnpackFolder(const QString& kmzPath);

// Unpacks `entry` of the archive into KmzUnpackFolder(kmzPath), under its
// entry name, replacing a file there whole; the unpacked file's path in
// `unpackedPath`. Only a picture Orvinel shows is unpacked, and never
// through a link: a link as the unpack folder, as a folder on the way or as
// the file itself is refused. A failure leaves no file or folder behind.
WriteResult UnpackKmzEntry(const QString& kmzPath, const QString& entry, QString& unpackedPath,
                           qint64 maxUnpacked = kKmzMaxUnpacked);

} // namespace Overlay
