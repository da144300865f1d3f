#include "model/array_fill.h"

#include <cmath>
#include <vector>

namespace curvalon {

std::optional<std::int32_t> toLong(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = std::nearbyint(value);
    if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

FillResult set1Array(std::span<std::int32_t> arr, std::span<const double> values) {
    if (values.size() > arr.size()) return FillResult::OutOfRange;
    std::vector<std::int32_t> converted;
    converted.reserve(values.size());
    for (double v : values) {
        auto l = toLong(v);
        if (!l) return FillResult::Overflow;
        converted.push_back(*l);
    }
    for (std::size_t i = 0; i < converted.size(); ++i)
        arr[i] = converted[i];
    return FillResult::Ok;
}

}  // namespace curvalon
