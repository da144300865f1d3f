#include "plot/markers.h"

#include <cmath>

#include "plot/arrows.h"
#include "plot/coordinates.h"

namespace curvalon {

namespace {

// Levels just below the bottom edge keep their left arrow; only further down does the marker
// switch to the edge arrow.
constexpr std::int32_t kLowestLevelRow = 255;

// Edge arrows of several channels would hide one another, so each channel's is moved two rows
// further into the graticule.
constexpr std::int32_t kEdgeStagger = 2;

Rgb traceColour(const ScopeState& s, std::int32_t ch) {
    return s.traceColor[static_cast<std::size_t>(ch)];
}

}  // namespace

void drawGroundMarker(const ScopeState& s, DrawingSurface& surface, MarkerStrip& strip,
                      std::int32_t ch) {
    if (ch < 0 || ch > kLastChannel) return;
    const Rgb colour = traceColour(s, ch);
    const std::int32_t edgeDx = -45 * s.markUnitX;
    const std::int64_t ground = groundRow(s, ch);
    std::int32_t row = 0;
    if (ground < 0) {
        row = kEdgeStagger * ch;
        drawArrowUp(s, surface, {0, row, edgeDx, 0}, colour);
    } else if (ground > s.plotCounts) {
        row = s.plotCounts - kEdgeStagger * ch;
        drawArrowDown(s, surface, {0, row, edgeDx, 0}, colour);
    } else {
        row = static_cast<std::int32_t>(ground);
        drawArrowRight(s, surface, {0, row, -10, 0}, colour);
    }
    // Strip coordinates start at the window's top, not the graticule's; the digit hangs down from
    // this point so that it sits beside the arrow.
    strip.setForeColor(colour);
    strip.setCurrentPoint(20, row * s.magV + 6 * s.markUnitY);
    strip.printNumber(ch + 1);
}

void drawTrigLevelMarker(const ScopeState& s, DrawingSurface& surface, double level) {
    const std::int32_t ch = triggerChannel(s.trigSource);
    if (ch < 0) return;
    if (s.chVoltDiv[static_cast<std::size_t>(ch)] == 0) return;
    const double exact = trigLevelRowExact(s, ch, level);
    if (std::isnan(exact)) return;

    const Rgb colour = traceColour(s, ch);
    const std::int32_t edgeDx = 45 * s.markUnitX;
    const std::int32_t row = nearestEven(exact);
    if (row < 0) {
        drawArrowUp(s, surface, {s.plotPoints, 0, edgeDx, 0}, colour);
    } else if (row > kLowestLevelRow) {
        drawArrowDown(s, surface, {s.plotPoints, s.plotCounts, edgeDx, 0}, colour);
    } else {
        drawArrowLeft(s, surface, {s.plotPoints, row, 10, 0}, colour);
    }
}

void drawTrigPointMarker(const ScopeState& s, DrawingSurface& surface, double point) {
    // A point that is not a number fails the test below and is shown like one past the record.
    if (point < s.plotPoints) {
        drawArrowDown(s, surface, {nearestEven(point), 0, 0, -10}, s.trigMarkColor);
    } else {
        drawArrowLeft(s, surface, {0, 0, 0, -3 * s.markUnitY}, s.trigMarkColor);
    }
}

}  // namespace curvalon
