// Exact conversions between binary floating point and decimal, written out
// in full so that every platform and every locale gives the same texts and
// the same bits: the shortest digits that read back to a value, the digits
// of a value rounded to a precision, and the correctly rounded reading of a
// decimal text. The texts are those of C++17's to_chars and from_chars.
#pragma once

#include <string>
#include <system_error>

namespace ljgas {

// Significant decimal digits d1 d2 ... dn, no leading zero (but "0" for
// zero), and the exponent of the first: the number d1.d2...dn x 10^exponent.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};

// The fewest digits that read back (rounded to nearest, ties to even) to
// |value|; of several such, the nearest to |value|, and of two equally near,
// the one whose last digit is even. `value` must be finite.
DecimalDigits shortestDigits(double value);
DecimalDigits shortestDigits(float value);

// The first `count` significant digits of |value| (1 <= count <= 800),
// rounded to nearest with ties to even on the exact binary value; a round-up
// that carries into a new digit, 9.96 to 2 digits, gives "10" one decade up.
DecimalDigits roundedDigits(double value, int count);

// As std::to_chars(first, last, value): the shortest digits, in plain
// notation where that is no longer than the scientific ("0.25", "100",
// "1e+22", "-1.5e-07"), whole numbers with every digit of their exact value;
// "inf", "-inf", "nan", "-nan".
std::string shortestText(double value);
std::string shortestText(float value);

// As std::to_chars(first, last, value, std::chars_format::general,
// precision), that is printf's %.*g in the C locale: "0.00999999978",
// "1.2e-06", "-3", "inf".
std::string precisionText(double value, int precision);

// As std::from_chars(first, last, value) for chars_format::general: an
// optional '-', digits with an optional decimal point, an optional exponent
// (e or E, optional sign, digits); or inf, infinity, nan or nan(chars), in
// any case. No leading blanks, no '+'. Rounded to nearest, ties to even,
// from all the digits however many. `ptr` is the end of the number read;
// `ec` is std::errc::invalid_argument when there is none (ptr = first), and
// std::errc::result_out_of_range when the number rounds to infinity or to
// zero from non-zero digits; in both cases `value` is left as it was.
struct DecimalReading {
    const char* ptr;
    std::errc ec;
};
DecimalReading readDecimal(const char* first, const char* last, double& value) noexcept;
DecimalReading readDecimal(const char* first, const char* last, float& value) noexcept;

}  // namespace ljgas
