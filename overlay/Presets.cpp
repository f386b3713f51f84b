#include "Presets.h"

#include "Vocabulary.h"

#include <QByteArray>

namespace Overlay {

QPointF PresetFromTopLeft(int index)
{
    // KML counts y up from the bottom.
    const Preset& preset = kPresets[index];
    return {QByteArray(preset.x).toDouble(), 1 - QByteArray(preset.y).toDouble()};
}

std::vector<std::pair<OverlayField, QString>> PresetFields(int index)
{
    const Preset& preset = kPresets[index];
    std::vector<std::pair<OverlayField, QString>> fields;
    for (const OverlayPoint* point : {&kOverlayPoints[0], &kOverlayPoints[1]}) {
        fields.emplace_back(point->xUnits, Vocabulary::kFraction);
        fields.emplace_back(point->yUnits, Vocabulary::kFraction);
    }
    for (const OverlayPoint* point : {&kOverlayPoints[0], &kOverlayPoints[1]}) {
        fields.emplace_back(point->x, QString::fromLatin1(preset.x));
        fields.emplace_back(point->y, QString::fromLatin1(preset.y));
    }
    return fields;
}

int MatchingPreset(const OverlaySettings& settings)
{
    // Called on every move of a hand edit: compared in place, nothing built.
    for (const OverlayPoint* point : {&kOverlayPoints[0], &kOverlayPoints[1]}) {
        if (settings.*point->xUnits != Vocabulary::kFraction ||
            settings.*point->yUnits != Vocabulary::kFraction)
            return -1;
    }
    for (int index = 0; index < kPresetCount; ++index) {
        const QLatin1String x(kPresets[index].x);
        const QLatin1String y(kPresets[index].y);
        if (settings.overlayX == x && settings.overlayY == y && settings.screenX == x &&
            settings.screenY == y)
            return index;
    }
    return -1;
}

} // namespace Overlay
