// Drawing targets that only remember every call, with exact twip coordinates, in order: they
// measure the drawing code without the cost of pixels.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "model/rgb.h"
#include "plot/surface.h"

namespace curvalon::test {

using Twips = std::int32_t;

struct Stroke {
    enum Kind { Line, Box, FilledBox, Point } kind;
    Twips x1, y1, x2, y2;
    Rgb colour;
    bool operator==(const Stroke&) const = default;
};

class RecordingSurface : public DrawingSurface {
  public:
    void line(Twips x1, Twips y1, Twips x2, Twips y2, Rgb c) override {
        add({Stroke::Line, x1, y1, x2, y2, c});
    }
    void lineTo(Twips x, Twips y, Rgb c) override {
        add({Stroke::Line, current_.x, current_.y, x, y, c});
    }
    void box(Twips x1, Twips y1, Twips x2, Twips y2, Rgb c, bool filled) override {
        add({filled ? Stroke::FilledBox : Stroke::Box, x1, y1, x2, y2, c});
    }
    void pset(Twips x, Twips y, Rgb c) override { add({Stroke::Point, x, y, x, y, c}); }
    void setCurrentPoint(Twips x, Twips y) override { current_ = {x, y}; }
    TwipPoint currentPoint() const override { return current_; }

    std::vector<Stroke> strokes;
    int count(Stroke::Kind k) const {
        return int(std::count_if(strokes.begin(), strokes.end(),
                                 [k](const Stroke& s) { return s.kind == k; }));
    }
    void clear() { strokes.clear(); }

  protected:
    // Every drawing call ends here.
    virtual void add(const Stroke& s) {
        strokes.push_back(s);
        current_ = {s.x2, s.y2};
    }

  private:
    TwipPoint current_;
};

class RecordingMarkerStrip : public MarkerStrip {
  public:
    void cls() override { log.push_back("cls"); }
    void setForeColor(Rgb c) override { log.push_back("fore " + std::to_string(c)); }
    void setCurrentPoint(Twips x, Twips y) override {
        log.push_back("at " + std::to_string(x) + "," + std::to_string(y));
    }
    void printNumber(std::int32_t n) override { log.push_back("print " + std::to_string(n)); }
    void setHeight(Twips h) override {
        height = h;
        log.push_back("height " + std::to_string(h));
    }

    std::vector<std::string> log;
    Twips height = 0;
};

}  // namespace curvalon::test
