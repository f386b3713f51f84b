#pragma once

#include "AtomicFile.h"
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
    // The overlay read from the archive's first .kml entry; its problem is
    // set when the archive cannot be used at all (not a zip, no KML entry,
    // an entry name that leaves the folder, too large when unpacked, ...).
    OpenedOverlayFile overlay;
    // The archive entry the picture link names; empty when it names none.
    QString pictureEntry;
};

namespace Overlay {

// Writes `settings` as a KMZ at `kmzPath`, the picture's bytes read from
// `pictureFile` (where the picture link leads). Replaces the target whole: a
// failure leaves an earlier archive as it was.
KmzExport WriteKmz(const QString& kmzPath, const OverlaySettings& settings,
                   const QString& pictureFile);

// Reads a KMZ from a file or from memory; never unpacks anything.
OpenedKmz ReadKmz(const QString& kmzPath);
OpenedKmz ReadKmzBytes(const QByteArray& bytes);

// The folder a KMZ's picture unpacks into: ".../legend.kmz" ->
// ".../legend_files".
QString KmzUnpackFolder(const QString& kmzPath);

// Unpacks `entry` of the archive into KmzUnpackFolder(kmzPath), under its
// entry name, replacing a file there whole; the unpacked file's path in
// `unpackedPath`.
WriteResult UnpackKmzEntry(const QString& kmzPath, const QString& entry, QString& unpackedPath);

} // namespace Overlay
