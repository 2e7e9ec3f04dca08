// The numbers a student may type, read the same way in every edition of the
// program: the console, the browser page and the teacher's guide's checker.
#pragma once

#include <string_view>

namespace counting_lab {

/// Whether all of `word` is a number as a student may type it, and if so its
/// value in `value`: an integer is [sign] digits; a decimal is [sign]
/// (digits [. [digits]] | . digits) [(e|E) [sign] digits]. The point is "."
/// whatever the locale of the program; no comma for the point, no
/// hexadecimal, no "nan" or "inf". Integers beyond an int read as its
/// extreme of their sign, decimals beyond a double as an infinity of their
/// sign.
bool parse_number(std::string_view word, int& value);
bool parse_number(std::string_view word, double& value);

/// What a student who typed a comma for the decimal point is told.
inline constexpr std::string_view comma_hint = "Type decimals with a point: 2.5, not 2,5.";

}  // namespace counting_lab
