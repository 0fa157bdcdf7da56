// Text-to-number conversion of a box's text: the leading decimal number.
#pragma once

#include <string_view>

namespace ljgas {

// Reads the decimal number at the start of `text`: leading blanks, an optional
// sign, digits with an optional decimal point, an optional exponent (E or D).
// Text without a number gives 0. Never fails and never depends on the locale;
// a number beyond the double range gives +-infinity, one below it 0.
double textToNumber(std::string_view text) noexcept;

}  // namespace ljgas
