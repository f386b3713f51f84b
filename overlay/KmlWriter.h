#pragma once

#include "AtomicFile.h"
#include "OverlaySettings.h"

#include <QByteArray>
#include <QString>

struct OverlayFile
{
    QByteArray bytes;
    // The size list texts after the size-word rule, as written.
    QString SizeXValue;
    QString SizeYValue;
};

namespace Overlay {

// Text from the user made safe for XML while keeping every character: "&" and
// "<" always, and the double quote too when `inAttribute`. Beyond that, what a
// parser would otherwise change is written as a character reference (line
// ends and tabs, the ">" of "]]>"), and characters XML 1.0 cannot hold at all
// become U+FFFD.
QString XmlEscape(const QString& text, bool inAttribute);

// One value element as the overlay file writes it, `prefix` ("kml:" or
// nothing) before its name: <name>Legend &amp; key</name>.
QString ValueElement(QStringView prefix, const char* name, const QString& value);
// <overlayXY x="X" y="Y" xunits="XU" yunits="YU" />, the size's words as
// their numbers; nothing while both values are empty.
QString PointElement(const OverlaySettings& settings, const OverlayPoint& point,
                     QStringView prefix = {});

// The screen overlay file for `settings`, byte for byte. Records are joined
// with nothing added after them: most end with their own line feed, while the
// color and drawOrder records run on into the next one.
OverlayFile OverlayFileBytes(const OverlaySettings& settings);

// The network link file that re-reads `overlayFilePath` every second. The
// link target is the overlay path with every "\" turned into "/".
QByteArray NetworkLinkFileBytes(const QString& overlayFilePath);

WriteResult SaveNetworkLinkFile(const QString& linkFilePath, const QString& overlayFilePath);

} // namespace Overlay
