// The one mapping from the instrument's units to twips on the main window: sample columns across,
// count rows down from the graticule's top edge. Zoom enters only as twips per sample (magH) and
// twips per count (magV); nothing is clipped.
//
// Positions are worked out in 64 bits and pinned to the 32-bit range only when they are handed to
// a surface, so that no setting the instrument can send, however absurd, overflows on the way.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "model/scope_state.h"

namespace curvalon {

constexpr std::int32_t toTwips(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Nearest whole number, halves to the even neighbour. Values beyond the 32-bit range stop at its
// ends; a value that is not a number has no nearest whole number and gives 0.
inline std::int32_t nearestEven(double x) {
    if (std::isnan(x)) return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::nearbyint(std::clamp(x, lo, hi)));
}

constexpr std::int64_t xOfColumn(const ScopeState& s, std::int64_t column) {
    return s.plotX0 + column * s.magH;
}

constexpr std::int64_t yOfRow(const ScopeState& s, std::int64_t row) {
    return s.plotY0 + row * s.magV;
}

// Positive sample values lie above the centre row.
constexpr std::int64_t rowOfSample(const ScopeState& s, std::int32_t value) {
    return std::int64_t{s.gridYTbl[4]} - value;
}

constexpr std::int64_t groundRow(const ScopeState& s, std::int32_t ch) {
    return std::int64_t{s.gridYTbl[4]} - s.chPosition[static_cast<std::size_t>(ch)];
}

// The trigger level's row before rounding, on the scale of channel ch (whose volts per division
// must not be 0). NaN when the level or the scale is not a number.
inline double trigLevelRowExact(const ScopeState& s, std::int32_t ch, double level) {
    const auto i = static_cast<std::size_t>(ch);
    return s.gridYTbl[4] - (level * kCountsPerDiv / s.chVoltDiv[i] + s.chPosition[i]);
}

// The channel whose scale the trigger level is measured on, or -1 when the trigger source is not
// one of the four channel names exactly (external inputs, the mains, an empty reply).
inline std::int32_t triggerChannel(std::string_view source) {
    for (std::int32_t ch = 0; ch < kChannelCount; ++ch) {
        if (source == tables::kSrcName[static_cast<std::size_t>(ch)]) return ch;
    }
    return -1;
}

// Where a marker glyph puts its tip: a column and a row that follow the zoom, plus offsets in
// plain twips that do not.
struct MarkerAnchor {
    std::int32_t column = 0;
    std::int32_t row = 0;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
};

struct TipPoint {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

constexpr TipPoint tipOf(const ScopeState& s, const MarkerAnchor& a) {
    return {xOfColumn(s, a.column) + a.dx, yOfRow(s, a.row) + a.dy};
}

}  // namespace curvalon
