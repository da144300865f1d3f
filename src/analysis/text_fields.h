// The small pieces the file readers share: lines, fields, numbers written with "." whatever the
// locale, and the snap of a value back onto the instrument's whole counts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace curvalon {

struct TextLine {
    int number = 0;         // 1-based
    std::string_view text;  // without its line end, "\n" or "\r\n"
};

// Every line, the last one also when no line end follows it; nothing after a final line end.
std::vector<TextLine> linesOf(std::string_view bytes);
std::vector<std::string_view> fieldsOf(std::string_view line, char separator);
std::string_view trimmed(std::string_view text);  // of blanks and tabs

// The whole field as one number, blanks around it allowed: "2.500000e+03", " -0.40000", "+1".
std::optional<double> numberOf(std::string_view text);
std::optional<std::int64_t> wholeNumberOf(std::string_view text);

// counts within a hundredth of a whole count in -128..127: that count; empty otherwise.
std::optional<std::int8_t> wholeCount(double counts);
// Why a value is not one of the instrument's counts, where wholeCount refused it.
std::string offTheGrid(double counts);

// A piece of the file, in quotes and cut short, for a message.
std::string quoted(std::string_view text);

}  // namespace curvalon
