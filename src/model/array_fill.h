// Filling a table from a list of numbers, the way the tool's tables are set up: each value
// rounded to the nearest whole number (halves to even) and stored from the first element on.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>

namespace curvalon {

enum class FillResult {
    Ok,
    OutOfRange,  // more values than elements, or a row outside the array
    Overflow,    // a value that does not fit the 32-bit type
};

// The value as a 32-bit integer, halves to even; empty when it does not fit.
std::optional<std::int32_t> toLong(double value);

// Stores values into arr[0], arr[1], ... Nothing is written unless every value fits and has
// room; elements beyond the last value keep their contents.
FillResult set1Array(std::span<std::int32_t> arr, std::span<const double> values);
inline FillResult set1Array(std::span<std::int32_t> arr, std::initializer_list<double> values) {
    return set1Array(arr, std::span<const double>(values.begin(), values.size()));
}

// Stores values into row `row` of arr, then advances row by one (also for an empty list).
// A refused fill writes nothing and leaves row as it was.
template <std::size_t Cols>
FillResult set2Array(std::span<std::array<std::int32_t, Cols>> arr, std::int32_t& row,
                     std::initializer_list<double> values) {
    if (row < 0 || static_cast<std::size_t>(row) >= arr.size()) return FillResult::OutOfRange;
    FillResult r = set1Array(std::span<std::int32_t>(arr[static_cast<std::size_t>(row)]), values);
    if (r == FillResult::Ok) ++row;
    return r;
}

}  // namespace curvalon
