#include "plot/arrows.h"

namespace curvalon {

namespace {

constexpr std::int64_t kVerticalStrokes = 80;
constexpr std::int64_t kShaftFirst = 39;  // the four middle strokes carry the shaft
constexpr std::int64_t kShaftLast = 42;
constexpr std::int64_t kHeadStep = 4;  // twips the head narrows by every second stroke
constexpr std::int64_t kSideStrokes = 60;
constexpr std::int64_t kSideHeadStrokes = 40;

// Draws strokes relative to the tip. A tip far outside the window must still not overflow, so
// the offsets are added in 64 bits and the result pinned to the surface's range.
class TipPen {
  public:
    TipPen(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at, Rgb colour)
        : surface_(surface), tip_(tipOf(s, at)), colour_(colour) {}

    void stroke(std::int64_t x, std::int64_t y1, std::int64_t y2) {
        const std::int32_t px = toTwips(tip_.x + x);
        surface_.line(px, toTwips(tip_.y + y1), px, toTwips(tip_.y + y2), colour_);
    }

  private:
    DrawingSurface& surface_;
    TipPoint tip_;
    Rgb colour_;
};

// dir = 1 draws the head above the tip (pointing down), dir = -1 mirrors it below (pointing up).
void verticalArrow(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at, Rgb colour,
                   int dir) {
    TipPen pen(s, surface, at, colour);
    const std::int64_t u = s.markUnitX;
    const std::int64_t w = s.markUnitY;
    std::int64_t bottom = -4 * w;
    for (std::int64_t k = 0; k < kVerticalStrokes; ++k) {
        const bool shaft = k >= kShaftFirst && k <= kShaftLast;
        const std::int64_t top = shaft ? -6 * w : -4 * w;
        pen.stroke((k - kVerticalStrokes / 2) * u, dir * top, dir * bottom);
        // The head closes to the tip at the middle strokes and opens again after them.
        if (k % 2 == 0) bottom += k < kVerticalStrokes / 2 ? kHeadStep : -kHeadStep;
    }
}

// dir = 1 puts shaft and head right of the tip (pointing left), dir = -1 left of it.
void horizontalArrow(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at,
                     Rgb colour, int dir) {
    TipPen pen(s, surface, at, colour);
    const std::int64_t u = s.markUnitX;
    const std::int64_t shaftHalf = nearestEven(s.markUnitY / 2.0);
    const std::int64_t edgeHalf = nearestEven(8.0 * s.markUnitY / 2.0);
    for (std::int64_t k = kSideStrokes; k >= 1; --k) {
        const std::int64_t h = k > kSideHeadStrokes ? shaftHalf : edgeHalf * k / kSideHeadStrokes;
        pen.stroke(dir * k * u, -h, h);
    }
}

}  // namespace

void drawArrowDown(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at,
                   Rgb colour) {
    verticalArrow(s, surface, at, colour, 1);
}

void drawArrowUp(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at, Rgb colour) {
    verticalArrow(s, surface, at, colour, -1);
}

void drawArrowLeft(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at,
                   Rgb colour) {
    horizontalArrow(s, surface, at, colour, 1);
}

void drawArrowRight(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at,
                    Rgb colour) {
    horizontalArrow(s, surface, at, colour, -1);
}

}  // namespace curvalon
