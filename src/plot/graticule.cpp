#include "plot/graticule.h"

#include "plot/coordinates.h"

namespace curvalon {

namespace {

// The plot's far edges at a given scale: the erase needs the scale drawn last as well as the
// current one.
std::int32_t plotRight(const ScopeState& s, std::int32_t magH) {
    return toTwips(s.plotX0 + std::int64_t{kSamples} * magH);
}
std::int32_t plotBottom(const ScopeState& s, std::int32_t magV) {
    return toTwips(s.plotY0 + std::int64_t{kCounts} * magV);
}

constexpr std::int32_t kDotColumns = 50;  // samples between dots and ticks across
constexpr std::int32_t kDotRows = 5;      // counts between dots and ticks down

// Dots and ticks: none on the left or top edge, the last one on the right or bottom edge.
template <typename Step>
void acrossColumns(const ScopeState& s, Step step) {
    for (std::int32_t col = kDotColumns; col <= kSamples; col += kDotColumns)
        step(toTwips(xOfColumn(s, col)));
}

template <typename Step>
void downRows(const ScopeState& s, Step step) {
    for (std::int32_t row = kDotRows; row <= kCounts; row += kDotRows)
        step(toTwips(yOfRow(s, row)));
}

}  // namespace

bool applyZoom(ScopeState& s, MarkerStrip& strip, WindowOps& window) {
    if (s.magHIdx < 0 || s.magHIdx >= static_cast<std::int32_t>(s.magHTbl.size()) ||
        s.magVIdx < 0 || s.magVIdx >= static_cast<std::int32_t>(s.magVTbl.size())) {
        return false;
    }
    const auto h = static_cast<std::size_t>(s.magHIdx);
    const auto v = static_cast<std::size_t>(s.magVIdx);
    s.magH = s.magHTbl[h];
    s.magV = s.magVTbl[v];
    strip.setHeight(s.panelHTbl[v]);
    window.setWindowSize(s.formWTbl[h], s.formHTbl[v]);
    return true;
}

void erasePlot(const ScopeState& s, DrawingSurface& surface, MarkerStrip& strip) {
    surface.box(0, 0, plotRight(s, s.drawnMagH) + s.eraseMarginX,
                plotBottom(s, s.drawnMagV) + s.eraseMarginY, s.formBackColor, true);
    surface.box(0, 0, plotRight(s, s.magH) + s.eraseMarginX, plotBottom(s, s.magV) + s.eraseMarginY,
                s.formBackColor, true);
    strip.cls();
}

void drawScreenEdges(const ScopeState& s, DrawingSurface& surface) {
    for (std::int32_t row : {s.gridYTbl[0], s.gridYTbl[8]}) {
        const std::int32_t y = toTwips(yOfRow(s, row));
        surface.line(s.plotX0, y, plotRight(s, s.magH), y, s.screenEdgeColor);
    }
}

void drawGridBox(const ScopeState& s, DrawingSurface& surface) {
    surface.box(s.plotX0, s.plotY0, plotRight(s, s.magH), plotBottom(s, s.magV), s.gridColor,
                false);
}

void drawGridRow(const ScopeState& s, DrawingSurface& surface, std::int32_t row) {
    const std::int32_t y = toTwips(yOfRow(s, row));
    acrossColumns(s, [&](std::int32_t x) { surface.pset(x, y, s.gridColor); });
}

void drawGridColumn(const ScopeState& s, DrawingSurface& surface, std::int32_t col) {
    const std::int32_t x = toTwips(xOfColumn(s, col));
    downRows(s, [&](std::int32_t y) { surface.pset(x, y, s.gridColor); });
}

void drawTickRow(const ScopeState& s, DrawingSurface& surface, std::int32_t row) {
    const std::int32_t y1 = toTwips(yOfRow(s, row));
    const std::int32_t y2 = toTwips(yOfRow(s, row + 2));
    acrossColumns(s, [&](std::int32_t x) { surface.line(x, y1, x, y2, s.gridColor); });
}

void drawTickColumn(const ScopeState& s, DrawingSurface& surface, std::int32_t col1,
                    std::int32_t col2) {
    const std::int32_t x1 = toTwips(xOfColumn(s, col1));
    const std::int32_t x2 = toTwips(xOfColumn(s, col2));
    downRows(s, [&](std::int32_t y) { surface.line(x1, y, x2, y, s.gridColor); });
}

void drawGraticule(const ScopeState& s, DrawingSurface& surface) {
    drawGridBox(s, surface);
    for (std::int32_t row : s.gridYTbl)
        drawGridRow(s, surface, row);
    for (std::int32_t col : s.gridXTbl)
        drawGridColumn(s, surface, col);
    // The ticks are not centred on the middle lines (rows 124..126, samples 1241..1261); they
    // are drawn where the instrument's own screen has always put them.
    drawTickRow(s, surface, 0);
    drawTickRow(s, surface, s.gridYTbl[4] - 1);
    drawTickRow(s, surface, 248);
    drawTickColumn(s, surface, 0, 20);
    drawTickColumn(s, surface, s.gridXTbl[4] - 9, s.gridXTbl[4] + 11);
    drawTickColumn(s, surface, 2481, kSamples);
}

}  // namespace curvalon
