#include "checked.h"

namespace ljgas {

const char* errorText(ErrorKind kind) noexcept
{
    switch (kind) {
    case ErrorKind::Overflow: return "Overflow";
    case ErrorKind::DivisionByZero: return "Division by zero";
    case ErrorKind::IndexOutOfRange: return "Index out of range";
    }
    return "Overflow";
}

void fail(ErrorKind kind) { throw EngineError(kind); }

}  // namespace ljgas
