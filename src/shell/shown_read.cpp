#include "shell/shown_read.h"

#include <utility>

namespace curvalon {

void ShownRead::keep(const ScopeState& s) {
    curve_ = s.curve;
    chPosition_ = s.chPosition;
    chVoltDiv_ = s.chVoltDiv;
    trigSource_ = s.trigSource;
    trigLevel_ = s.trigLevel;
    trigPoint_ = s.trigPoint;
}

void ShownRead::exchange(ScopeState& s) {
    std::swap(curve_, s.curve);
    std::swap(chPosition_, s.chPosition);
    std::swap(chVoltDiv_, s.chVoltDiv);
    std::swap(trigSource_, s.trigSource);
    std::swap(trigLevel_, s.trigLevel);
    std::swap(trigPoint_, s.trigPoint);
}

}  // namespace curvalon
