#include "number_to_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace ljgas {

namespace {

// Values whose leading digit has a decimal exponent in this range are shown
// in plain notation (0.00001 up to 9999999); the rest as mantissa and
// exponent. Seven integer digits is as far as single precision carries
// meaningful digits without trailing zeros of its own invention.
constexpr int PlainExponentLow = -5;
constexpr int PlainExponentHigh = 6;

}  // namespace

std::string numberToText(float value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0.0f)
        return "0";  // negative zero too

    // Shortest digits that read back to the same float, as d.ddde+XX.
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));

    const std::size_t e = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, e)) {
        if (c != '.')
            digits += c;
    }
    const int exponent = std::atoi(std::string(scientific.substr(e + 1)).c_str());

    std::string text = value < 0 ? "-" : "";
    if (exponent >= PlainExponentLow && exponent <= PlainExponentHigh) {
        if (exponent < 0) {
            text += "0.";
            text.append(static_cast<std::size_t>(-exponent - 1), '0');
            text += digits;
        } else {
            const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= integerDigits) {
                text += digits;
                text.append(integerDigits - digits.size(), '0');
            } else {
                text += digits.substr(0, integerDigits);
                text += '.';
                text += digits.substr(integerDigits);
            }
        }
        return text;
    }

    text += digits[0];
    if (digits.size() > 1) {
        text += '.';
        text += digits.substr(1);
    }
    text += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10)
        text += '0';
    text += std::to_string(magnitude);
    return text;
}

std::string significantDigits(double value, int digits)
{
    // to_chars with a precision formats like printf in the C locale,
    // whatever locale the process runs in.
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}

std::string exactNumber(double value)
{
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string exactSingle(float value)
{
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    double wide = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), wide);
    // The float's own double has every digit and reads back exactly.
    return static_cast<float>(wide) == value ? text : exactNumber(value);
}

}  // namespace ljgas
