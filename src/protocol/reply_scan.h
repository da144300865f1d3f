// Finding values in the instrument's replies. A reply is a line of single-byte text (any byte,
// NUL included) holding items "KEYWORD value" separated by ";". Values are found by substring
// search, not by a grammar: the first occurrence of a keyword wins, and the value runs from the
// blank after the keyword to the next ";".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace curvalon {

// The value after the first occurrence of keyword, up to the next ";". With no ";" after the
// keyword, the value runs to the end of the reply less its last character, the terminator.
// Empty when the keyword does not occur.
std::optional<std::string> itemValue(std::string_view reply, std::string_view keyword);

// Everything after the first occurrence of keyword and its blank, up to the end of the reply
// less the terminator. Empty when the keyword does not occur.
std::optional<std::string> tailValue(std::string_view reply, std::string_view keyword);

// The longest leading decimal number of text: leading blanks, a sign, digits with at most one
// decimal point, and an exponent "E" with an optional sign and at least one digit. An exponent
// without digits is not part of the number ("1E+" is 1). Text that does not start with a number
// is 0; "inf", "nan" and hexadecimal are not numbers here. Empty when the number is too large
// for a double, so that the caller can reject it rather than show infinity. A number too small
// for a double is 0.
std::optional<double> readNumber(std::string_view text);

// The character at 0-based position pos, or NUL when the reply is shorter.
char charAt(std::string_view reply, std::size_t pos);

}  // namespace curvalon
