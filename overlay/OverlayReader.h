#pragma once

#include "OverlaySettings.h"

#include <QString>
#include <QStringList>

#include <atomic>

class QIODevice;

// Lets another thread follow a read and stop it: the reader sets `done` and
// `total` (bytes) as it goes and gives up soon after `cancelled` is set.
struct ReadControl
{
    std::atomic<bool> cancelled{false};
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
};

// What reading an overlay file gave: the settings of its first screen
// overlay, and everything in the file that writing those settings back would
// not keep, in a user's words.
struct OpenedOverlayFile
{
    // Text exactly as the file holds it (entities decoded); the size values
    // "-1" and "0" as the size words. OutputFilePath stays empty; the picture
    // path is the href as written, relative or not.
    OverlaySettings settings;
    // One entry a kind of thing, counted where that helps: "12 placemarks",
    // "a description", "2 more screen overlays", "a comment". Empty when a
    // write of `settings` keeps everything the file holds.
    QStringList notKept;
    // Why nothing could be read ("it is not an XML file (line 3, column 7:
    // ...)", "it holds no screen overlay"); empty when `settings` is good.
    QString problem;
    // The links of the file's network links, in file order, when it holds
    // no screen overlay (a few at most): where a viewer would look next.
    QStringList networkLinks;
    // The read was stopped through its ReadControl; `problem` says so.
    bool cancelled = false;

    bool ok() const { return problem.isEmpty(); }
};

namespace Overlay {

// Reads a KML document from `device` (open for reading) as a stream; the
// whole file is never held in memory. `control`, when given, follows the
// read and may stop it. `which` picks the screen overlay read, from 0 in
// file order; the others count as content not kept.
OpenedOverlayFile ReadOverlay(QIODevice& device, ReadControl* control = nullptr, int which = 0);

// Opens `path` as the pictures are opened (an ordinary file only, never
// waiting on a pipe or device) and reads it.
OpenedOverlayFile ReadOverlayFile(const QString& path, ReadControl* control = nullptr);

// "12 placemarks and a description", "a, b and c": the notKept list as a
// sentence part; a long list names its first few and counts the rest.
QString JoinedInWords(const QStringList& items);

} // namespace Overlay
