#include "plot/composition.h"

#include <cstdio>

#include "plot/graticule.h"
#include "plot/markers.h"
#include "plot/readout.h"
#include "plot/traces.h"
#include "protocol/error_report.h"

namespace curvalon {

std::string timeStamp(const LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d.%02d.%02d  %02d:%02d.%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

Composer::Composer(ScopeState& state, WindowOps& window, DrawingSurface& surface,
                   MarkerStrip& strip, SettingsQueries& queries, CurveTransfer& curves)
    : s_(state), w_(window), surface_(surface), strip_(strip), queries_(queries), curves_(curves) {}

void Composer::newCurve() {
    queries_.readSelect();  // failures are reported by the query itself
    readAndDraw();
}

void Composer::readAndDraw() {
    if (s_.scopePresent != 1) {
        w_.messageBox(kAbsentText);
        return;
    }
    erasePlot(s_, surface_, strip_);
    drawScreenEdges(s_, surface_);
    drawGraticule(s_, surface_);
    queries_.readHorizontal();
    showTimebase(s_, w_);
    queries_.readTrigger();
    showTrigSource(s_, w_);
    drawReferences();
    for (std::int32_t ch = kLastChannel; ch >= 0; --ch) {
        if (s_.chEnable[ch] != 1) continue;
        queries_.readChannel(ch);
        showChannelSettings(s_, w_, ch);
        curves_.clearCurve(ch);
        curves_.readCurve(ch);
        drawCurve(s_, surface_, ch);
        drawGroundMarker(s_, surface_, strip_, ch);
    }
    showTrigLevel(s_, w_);
    drawTrigLevelMarker(s_, surface_, s_.trigLevel);
    drawTrigPointMarker(s_, surface_, s_.trigPoint);
    stamp_ = w_.now();
    stampText_ = timeStamp(stamp_);
    w_.setText(Field::dispTxD_str, 0, stampText_);
    w_.setVisible(Field::dispTxD_str, 0, true);
    // Grid dots and ticks go over the curves and markers.
    drawGraticule(s_, surface_);
    markDrawnExtent();
}

void Composer::reDraw() {
    erasePlot(s_, surface_, strip_);
    drawScreenEdges(s_, surface_);
    drawReferences();
    for (std::int32_t ch = kLastChannel; ch >= 0; --ch) {
        if (s_.chEnable[ch] != 1) continue;
        drawCurve(s_, surface_, ch);
        drawGroundMarker(s_, surface_, strip_, ch);
    }
    drawTrigLevelMarker(s_, surface_, s_.trigLevel);
    drawTrigPointMarker(s_, surface_, s_.trigPoint);
    drawGraticule(s_, surface_);
    markDrawnExtent();
}

// References lie under the live channels, REFD first.
void Composer::drawReferences() {
    if (s_.refView != 1) return;
    for (std::int32_t r = kLastRef; r >= kFirstRef; --r) {
        if (s_.refShown[r] == 1) drawCurve(s_, surface_, r);
    }
}

// The next erase must also cover what was drawn at this zoom.
void Composer::markDrawnExtent() {
    s_.drawnMagH = s_.magH;
    s_.drawnMagV = s_.magV;
}

}  // namespace curvalon
