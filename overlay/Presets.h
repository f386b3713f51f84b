#pragma once

#include "OverlaySettings.h"

#include <QPointF>
#include <QString>

#include <utility>
#include <vector>

// The nine one-click places: the overlay point and the screen point both at
// the same fractions, both in fraction units. The window's options, the
// preview's snapping and matching an opened file all read this one table.
namespace Overlay {

struct Preset
{
    const char* name;
    // Fixed texts, so a file holds "0.5" in every locale.
    const char* x;
    const char* y;
};

// Row by row from the top, as the window's options stand: index = row * 3 + column.
inline constexpr int kPresetCount = 9;
inline constexpr Preset kPresets[kPresetCount] = {
    {"Upper left", "0", "1"},    {"Upper middle", "0.5", "1"}, {"Upper right", "1", "1"},
    {"Middle left", "0", "0.5"}, {"Center", "0.5", "0.5"},     {"Middle right", "1", "0.5"},
    {"Lower left", "0", "0"},    {"Lower middle", "0.5", "0"}, {"Lower right", "1", "0"},
};

// Where preset `index` sits on the picture and on the screen alike, as
// fractions from the top-left corner (y down, as pixels go).
QPointF PresetFromTopLeft(int index);

// The fields preset `index` sets and their texts: the four units first, then
// the overlay and screen points.
std::vector<std::pair<OverlayField, QString>> PresetFields(int index);

// The preset whose places and units `settings` holds, or -1 for none.
int MatchingPreset(const OverlaySettings& settings);

} // namespace Overlay
