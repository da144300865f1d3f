#include "plot/traces.h"

#include "plot/coordinates.h"

namespace curvalon {

void drawCurve(const ScopeState& s, DrawingSurface& surface, std::int32_t src) {
    if (src < 0 || src >= kSourceCount) return;
    const auto& samples = s.curve[static_cast<std::size_t>(src)];
    const Rgb colour = s.traceColor[static_cast<std::size_t>(src)];
    auto y = [&](std::size_t i) { return toTwips(yOfRow(s, rowOfSample(s, samples[i]))); };

    // Deliberately not column 0's x: the first point lies one twip right of the left edge at every
    // zoom, and only the later samples follow the column mapping.
    surface.setCurrentPoint(toTwips(s.plotX0 + std::int64_t{1}), y(0));
    for (std::size_t i = 1; i < kSamples; ++i) {
        surface.lineTo(toTwips(xOfColumn(s, static_cast<std::int64_t>(i))), y(i), colour);
    }
}

}  // namespace curvalon
