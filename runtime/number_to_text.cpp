#include "number_to_text.h"

#include <cmath>
#include <cstdlib>

#include "decimal_conversion.h"

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

    // Shortest digits that read back to the same float, d.ddd x 10^exponent.
    const DecimalDigits shortest = shortestDigits(value);
    const std::string& digits = shortest.digits;
    const int exponent = shortest.exponent;

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
    // As printf formats in the C locale, whatever locale the process runs in.
    return precisionText(value, digits);
}

std::string exactNumber(double value) { return shortestText(value); }

std::string exactSingle(float value)
{
    const std::string text = shortestText(value);
    double wide = 0.0;
    readDecimal(text.data(), text.data() + text.size(), wide);
    // The float's own double has every digit and reads back exactly.
    return static_cast<float>(wide) == value ? text : exactNumber(value);
}

}  // namespace ljgas
