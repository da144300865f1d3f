#include "support/recording_surface.h"

#include <algorithm>

#include "support/fake_window_ops.h"

namespace curvalon::test {

void RecordingSurface::line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                            Rgb c) {
    strokes.push_back({Stroke::Line, x1, y1, x2, y2, c});
    current_ = {x2, y2};
}
void RecordingSurface::lineTo(std::int32_t x, std::int32_t y, Rgb c) {
    strokes.push_back({Stroke::Line, current_.x, current_.y, x, y, c});
    current_ = {x, y};
}
void RecordingSurface::box(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                           Rgb c, bool filled) {
    strokes.push_back({filled ? Stroke::FilledBox : Stroke::Box, x1, y1, x2, y2, c});
    current_ = {x2, y2};
}
void RecordingSurface::pset(std::int32_t x, std::int32_t y, Rgb c) {
    strokes.push_back({Stroke::Point, x, y, x, y, c});
    current_ = {x, y};
}
int RecordingSurface::count(Stroke::Kind k) const {
    return static_cast<int>(std::count_if(strokes.begin(), strokes.end(),
                                          [k](const Stroke& s) { return s.kind == k; }));
}

void RecordingMarkerStrip::setForeColor(Rgb c) {
    log.push_back("fore " + colourText(c));
}
void RecordingMarkerStrip::setCurrentPoint(std::int32_t x, std::int32_t y) {
    log.push_back("at " + std::to_string(x) + "," + std::to_string(y));
}
void RecordingMarkerStrip::printNumber(std::int32_t n) {
    log.push_back("print " + std::to_string(n));
}
void RecordingMarkerStrip::setHeight(std::int32_t h) {
    height = h;
    log.push_back("height " + std::to_string(h));
}

}  // namespace curvalon::test
