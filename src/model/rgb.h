#pragma once

#include <cstdint>

namespace curvalon {

// An RGB colour with red in the low byte, as the instrument tool has always stored colours.
using Rgb = std::uint32_t;

constexpr Rgb rgb(int r, int g, int b) {
    return static_cast<Rgb>(r & 0xFF) | static_cast<Rgb>(g & 0xFF) << 8 |
           static_cast<Rgb>(b & 0xFF) << 16;
}
constexpr int redOf(Rgb c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int greenOf(Rgb c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int blueOf(Rgb c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

}  // namespace curvalon
