#include "files/exact_number.h"

#include <charconv>

namespace ljgas {

std::string exactNumber(double value)
{
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace ljgas
