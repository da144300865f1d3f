#include "model/demo_waveforms.h"

#include <cmath>

namespace curvalon {

namespace {
// Halves go to the even neighbour, as every whole-number conversion of the tool does.
std::int32_t roundEven(double x) {
    return static_cast<std::int32_t>(std::nearbyint(x));
}
}  // namespace

void makeDemoCurves(ScopeState& s) {
    for (int i = 0; i < kSamples; ++i)
        s.curve[0][i] = (roundEven(i / 8.0) % 60) + 60;
    for (int i = 0; i < kSamples; ++i)
        s.curve[1][i] = roundEven((kSamples - i) / 12.0) % 50;
    for (int i = 0; i < kSamples; ++i)
        s.curve[2][i] = (i % 700) > 250 ? -45 : -5;
    // 3.14 rather than pi, and this order of operations, give the sine its familiar period.
    for (int i = 0; i < kSamples; ++i) {
        const double angle = ((3.14 / 180) * i) / 2;
        s.curve[3][i] = static_cast<std::int32_t>(std::trunc(std::sin(angle) * 30)) - 80;
    }
    for (int src = kFirstRef; src <= kLastRef; ++src) {
        for (int i = 0; i < kSamples; ++i)
            s.curve[src][i] = 0;
    }
    // The channels are generated whole; the references hold nothing.
    for (int src = 0; src < kSourceCount; ++src)
        s.curveValid[src] = src <= kLastChannel ? 1 : 0;
}

}  // namespace curvalon
