#include "checked.h"

#include <utility>

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

void EngineError::explain(std::string detail, SuspectBox suspect)
{
    if (!detail_.empty())
        return;
    detail_ = std::move(detail);
    suspect_ = suspect;
    compose();
}

void EngineError::addCause(const std::string& cause, SuspectBox suspect)
{
    detail_ += detail_.empty() ? cause : "; " + cause;
    if (suspect_ == SuspectBox::None)
        suspect_ = suspect;
    compose();
}

void EngineError::setStep(std::int64_t step)
{
    step_ = step;
    compose();
}

void EngineError::setStepInAll(std::int64_t step)
{
    stepInAll_ = step;
    compose();
}

void EngineError::addRemark(const std::string& remark)
{
    remark_ = remark;
    compose();
}

void EngineError::compose()
{
    message_ = errorText(kind_);
    if (step_ > 0)
        message_ += " at step " + std::to_string(step_);
    if (step_ > 0 && stepInAll_ > 0 && stepInAll_ != step_)
        message_ += " of the run (" + std::to_string(stepInAll_) + " in all)";
    if (!detail_.empty())
        message_ += ": " + detail_;
    if (!remark_.empty())
        message_ += " (" + remark_ + ")";
}

}  // namespace ljgas
