// Text-to-number conversion of a box's text: the leading decimal number, and
// the strict check of a command line that the whole text is one number.
#pragma once

#include <cstddef>
#include <string_view>

namespace ljgas {

// Reads the decimal number at the start of `text`: leading blanks, an optional
// sign, digits with an optional decimal point, an optional exponent (E or D).
// Text without a number gives 0. Never fails and never depends on the locale;
// a number beyond the double range gives +-infinity, one below it 0.
double textToNumber(std::string_view text) noexcept;

// Whether textToNumber reads all of `text` as one number within the double
// range: its leading blanks and the number, nothing after it. "0.01", "-1",
// ".5", "1d-3" and "1e-400" (which reads as 0) are numbers in full; "",
// "abc", "0,2", "0.01 " and "1e" are not, nor "1e400", which would read as
// infinity.
enum class WholeText { Number, NotANumber, OutOfRange };
WholeText wholeTextNumber(std::string_view text) noexcept;

// How many characters of `text` that number takes, leading blanks included:
// 0 when the text does not start with a number (and so reads as 0), the
// whole length when the text is a number and nothing else.
std::size_t leadingNumberLength(std::string_view text) noexcept;

}  // namespace ljgas
