#include "text_to_number.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

#include "decimal_conversion.h"

namespace ljgas {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isExponentMarker(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// Far beyond any exponent a double can express, and far from overflowing
// the 64-bit arithmetic below even after adding a text length to it.
constexpr std::int64_t ExponentLimit = std::int64_t{1} << 40;

// Where the number ends and, for the rare out-of-range case, which side of
// the double range it lies on.
struct NumberSpan {
    std::size_t begin = 0;  // first character after the sign
    std::size_t end = 0;    // one past the last character of the number
    std::size_t exponentMarker = std::string_view::npos;
    bool negative = false;
    bool allZero = true;  // no non-zero significant digit
    // Decimal exponent of the leading significant digit d in d.ddd x 10^e.
    std::int64_t leadingExponent = 0;
};

// Scans sign, digits, decimal point and exponent. Returns false when the
// text does not start with a number.
bool scanNumber(std::string_view text, NumberSpan& span)
{
    std::size_t i = 0;
    const std::size_t size = text.size();
    while (i < size && isBlank(text[i]))
        ++i;
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        span.negative = text[i] == '-';
        ++i;
    }
    span.begin = i;

    // Position of the first non-zero digit, counted in digits relative to
    // the decimal point: its decimal exponent is what sets overflow against
    // underflow.
    std::int64_t digitsBeforePoint = 0;
    std::int64_t leadingZerosAfterPoint = 0;
    bool anyDigit = false;
    while (i < size && isDigit(text[i])) {
        anyDigit = true;
        if (!span.allZero || text[i] != '0') {
            span.allZero = false;
            ++digitsBeforePoint;
        }
        ++i;
    }
    if (i < size && text[i] == '.') {
        ++i;
        while (i < size && isDigit(text[i])) {
            anyDigit = true;
            if (span.allZero) {
                if (text[i] == '0')
                    ++leadingZerosAfterPoint;
                else
                    span.allZero = false;
            }
            ++i;
        }
    }
    if (!anyDigit)
        return false;
    span.end = i;

    // An exponent counts only with at least one digit: "1e" and "1e+" are 1.
    if (i < size && isExponentMarker(text[i])) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < size && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < size && isDigit(text[j])) {
            std::int64_t exponent = 0;
            while (j < size && isDigit(text[j])) {
                if (exponent < ExponentLimit)
                    exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            span.exponentMarker = i;
            span.end = j;
            span.leadingExponent = negativeExponent ? -exponent : exponent;
        }
    }

    const std::int64_t pointShift = digitsBeforePoint > 0 ? digitsBeforePoint - 1 : -(leadingZerosAfterPoint + 1);
    span.leadingExponent += pointShift;
    return true;
}

}  // namespace

WholeText wholeTextNumber(std::string_view text) noexcept
{
    NumberSpan span;
    if (!scanNumber(text, span) || span.end != text.size())
        return WholeText::NotANumber;
    return std::isinf(textToNumber(text)) ? WholeText::OutOfRange : WholeText::Number;
}

std::size_t leadingNumberLength(std::string_view text) noexcept
{
    NumberSpan span;
    return scanNumber(text, span) ? span.end : 0;
}

double textToNumber(std::string_view text) noexcept
{
    NumberSpan span;
    if (!scanNumber(text, span))
        return 0.0;

    const double sign = span.negative ? -1.0 : 1.0;
    if (span.allZero)
        return sign * 0.0;

    // The reading knows only E as the exponent marker; the D form (a double
    // precision literal in old notations) needs one copy with the marker
    // replaced. The common case parses the text in place.
    const char* first = text.data() + span.begin;
    const char* last = text.data() + span.end;
    std::string copy;
    if (span.exponentMarker != std::string_view::npos) {
        const char marker = text[span.exponentMarker];
        if (marker == 'D' || marker == 'd') {
            try {
                copy.assign(first, last);
            } catch (...) {
                return 0.0;  // out of memory for a copy of the text itself
            }
            copy[span.exponentMarker - span.begin] = 'e';
            first = copy.data();
            last = copy.data() + copy.size();
        }
    }

    double magnitude = 0.0;
    const auto result = readDecimal(first, last, magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        // The nearest double is infinite or zero: the digits are non-zero,
        // so the side of the range follows from the leading digit's exponent.
        magnitude = span.leadingExponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc{}) {
        return 0.0;  // cannot happen for a span that scanNumber accepted
    }
    return sign * magnitude;
}

}  // namespace ljgas
