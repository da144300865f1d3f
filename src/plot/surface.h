// The two drawing targets of the main window, in twips (1/1440 inch), origin at the top-left
// corner, y downwards: the plot surface and the marker strip left of it. Interfaces only; the
// real ones paint into off-screen images, the tests record every call.
#pragma once

#include <cstdint>

#include "model/rgb.h"

namespace curvalon {

struct TwipPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const TwipPoint&) const = default;
};

class DrawingSurface {
  public:
    virtual ~DrawingSurface() = default;

    // A solid one-pixel line; the current point becomes (x2, y2).
    virtual void line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                      Rgb colour) = 0;
    // A line from the current point, which then becomes (x, y).
    virtual void lineTo(std::int32_t x, std::int32_t y, Rgb colour) = 0;
    // A rectangle between two corners, outlined or filled; the current point becomes (x2, y2).
    virtual void box(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Rgb colour,
                     bool filled) = 0;
    // One point; it becomes the current point.
    virtual void pset(std::int32_t x, std::int32_t y, Rgb colour) = 0;
    virtual void setCurrentPoint(std::int32_t x, std::int32_t y) = 0;
    virtual TwipPoint currentPoint() const = 0;
};

// The narrow strip left of the plot that carries the channel numbers of the ground markers.
class MarkerStrip {
  public:
    virtual ~MarkerStrip() = default;

    virtual void cls() = 0;
    virtual void setForeColor(Rgb colour) = 0;
    virtual void setCurrentPoint(std::int32_t x, std::int32_t y) = 0;
    // Prints a number as a number prints: a blank in the sign place when it is not negative.
    virtual void printNumber(std::int32_t n) = 0;
    virtual void setHeight(std::int32_t heightTwips) = 0;
};

}  // namespace curvalon
