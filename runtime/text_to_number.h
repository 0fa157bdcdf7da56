// Text-to-number conversion of a box's text: the leading decimal number.
#pragma once

#include <cstddef>
#include <string_view>

namespace ljgas {

// Reads the decimal number at the start of `text`: leading blanks, an optional
// sign, digits with an optional decimal point, an optional exponent (E or D).
// Text without a number gives 0. Never fails and never depends on the locale;
// a number beyond the double range gives +-infinity, one below it 0.
double textToNumber(std::string_view text) noexcept;

// How many characters of `text` that number takes, leading blanks included:
// 0 when the text does not start with a number (and so reads as 0), the
// whole length when the text is a number and nothing else.
std::size_t leadingNumberLength(std::string_view text) noexcept;

}  // namespace ljgas
