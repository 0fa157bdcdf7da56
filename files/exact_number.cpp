#include "files/exact_number.h"

#include <charconv>

namespace ljgas {

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
