#pragma once

#include <QString>
#include <QStringList>

// The words the overlay file and the window share. Units are spelled exactly
// as KML 2.2 spells them; comparisons are exact and case-sensitive.
namespace Vocabulary {

inline const QString kFraction = QStringLiteral("fraction");
inline const QString kPixels = QStringLiteral("pixels");
inline const QString kInsetPixels = QStringLiteral("insetPixels");

// Items of the six point units lists, and of the two size units lists.
inline const QStringList kPointUnits = {kFraction, kPixels, kInsetPixels};
inline const QStringList kSizeUnits = {kFraction, kPixels};

inline const QString kMaintainNativeSize = QStringLiteral("Maintain native size");
inline const QString kMaintainAspect = QStringLiteral("Maintain aspect");
inline const QStringList kSizeWords = {kMaintainNativeSize, kMaintainAspect};

// "Maintain native size" -> "-1", "Maintain aspect" -> "0", anything else
// (the empty text included) unchanged.
QString SizeWordRule(const QString& sizeListText);

// KML colour: alpha, blue, green, red, two lower-case hex digits each. Only
// the alpha digits ever change; the picture's own colours stay untouched.
inline const QString kColorRgbWhite = QStringLiteral("ffffff");
inline const QString kOpaqueWhite = QStringLiteral("ffffffff");

// `color` with its two alpha digits replaced; the other six, white or a tint
// an opened file brought, stay as they are.
QString ColorWithAlpha(const QString& color, const QString& alphaHex);

inline const QString kKmlNamespace = QStringLiteral("http://www.opengis.net/kml/2.2");

// Older files name Google's namespaces, some none at all; the elements are the same.
inline bool IsKmlNamespace(QStringView uri)
{
    return uri.isEmpty() || uri == kKmlNamespace ||
           uri == QLatin1String("http://earth.google.com/kml/2.2") ||
           uri == QLatin1String("http://earth.google.com/kml/2.1") ||
           uri == QLatin1String("http://earth.google.com/kml/2.0");
}

} // namespace Vocabulary
