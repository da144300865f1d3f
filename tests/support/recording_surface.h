// Drawing targets that remember every call, with exact twip coordinates, in order.
#pragma once

#include <string>
#include <vector>

#include "plot/surface.h"

namespace curvalon::test {

struct Stroke {
    enum Kind { Line, Box, FilledBox, Point } kind;
    std::int32_t x1, y1, x2, y2;
    Rgb colour;
    bool operator==(const Stroke&) const = default;
};

class RecordingSurface : public DrawingSurface {
  public:
    void line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Rgb c) override;
    void lineTo(std::int32_t x, std::int32_t y, Rgb c) override;
    void box(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Rgb c,
             bool filled) override;
    void pset(std::int32_t x, std::int32_t y, Rgb c) override;
    void setCurrentPoint(std::int32_t x, std::int32_t y) override { current_ = {x, y}; }
    TwipPoint currentPoint() const override { return current_; }

    std::vector<Stroke> strokes;
    int count(Stroke::Kind k) const;
    void clear() { strokes.clear(); }

  private:
    TwipPoint current_;
};

class RecordingMarkerStrip : public MarkerStrip {
  public:
    void cls() override { log.push_back("cls"); }
    void setForeColor(Rgb c) override;
    void setCurrentPoint(std::int32_t x, std::int32_t y) override;
    void printNumber(std::int32_t n) override;
    void setHeight(std::int32_t h) override;

    std::vector<std::string> log;
    std::int32_t height = 0;
};

}  // namespace curvalon::test
