#include "files/csv_number.h"

#include <charconv>

namespace ljgas {

std::string csvNumber(double value)
{
    // to_chars with a precision formats like printf in the C locale,
    // whatever locale the process runs in.
    constexpr int SignificantDigits = 9;
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, SignificantDigits);
    return std::string(buffer, result.ptr);
}

}  // namespace ljgas
