// Checked arithmetic: the few helpers through which every engine result
// passes, throwing EngineError when a result cannot be held.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <string>
#include <type_traits>

namespace ljgas {

// The three ways an engine computation can fail. An invalid operation (0/0,
// inf - inf, ...) is reported as Overflow, as the classic forms runtimes do.
enum class ErrorKind { Overflow, DivisionByZero, IndexOutOfRange };

// "Overflow", "Division by zero" or "Index out of range".
const char* errorText(ErrorKind kind) noexcept;

// The parameter box whose value most likely led to an error, so that a host
// can say what the box held.
enum class SuspectBox { None, R, e0, Tsoll };

// A check that failed. The hot loops throw only the kind; the code round them
// adds what was being computed and the run adds the step: "Overflow at step
// 1423: the force between discs 42 and 17 at distance 1.2e-06 R".
class EngineError : public std::exception {
public:
    explicit EngineError(ErrorKind kind) noexcept : kind_(kind) {}

    ErrorKind kind() const noexcept { return kind_; }
    // What was being computed and the likely cause; empty when unknown.
    const std::string& detail() const noexcept { return detail_; }
    // The run's step in which the check failed (1 for the first); 0 outside
    // a step (a lattice start, a run's start).
    std::int64_t step() const noexcept { return step_; }
    SuspectBox suspect() const noexcept { return suspect_; }
    // The kind, the step where known, and the detail where known.
    const char* what() const noexcept override { return message_.empty() ? errorText(kind_) : message_.c_str(); }

    // The code nearest the failure knows most: a detail already given stays.
    void explain(std::string detail, SuspectBox suspect = SuspectBox::None);
    // A likely cause seen from further out, after the detail; its suspect
    // counts unless a nearer one was named.
    void addCause(const std::string& cause, SuspectBox suspect);
    void setStep(std::int64_t step);
    // The same step counted over all the steps behind the state, where a
    // front end knows them: "at step 10505 of the run (27191 in all)".
    void setStepInAll(std::int64_t step);
    // A remark in brackets at the end: "(the R= box reads 'abc' as 0)".
    void addRemark(const std::string& remark);

private:
    void compose();

    ErrorKind kind_;
    std::string detail_;
    std::int64_t step_ = 0;
    std::int64_t stepInAll_ = 0;
    std::string remark_;
    SuspectBox suspect_ = SuspectBox::None;
    std::string message_;
};

// Kept out of line so that the checks in the hot loops stay a compare and a
// rarely taken branch.
[[noreturn]] void fail(ErrorKind kind);

// Round a double-precision result to single precision. A finite value too
// large for single precision, an infinity or a NaN is an overflow.
inline float toSingle(double v)
{
    const float f = static_cast<float>(v);
    if (!std::isfinite(f)) [[unlikely]]
        fail(ErrorKind::Overflow);
    return f;
}

// a / b in double precision. A zero divisor is a division by zero, unless the
// dividend is zero (or NaN) too: that is an invalid operation.
inline double divide(double a, double b)
{
    if (b == 0.0) [[unlikely]]
        fail(a == 0.0 || std::isnan(a) ? ErrorKind::Overflow : ErrorKind::DivisionByZero);
    return a / b;
}

// Round to the nearest integer, a half going to the even neighbour, for
// |v| < 2^51: adding and removing 1.5 * 2^52 leaves exactly the rounded value
// in the default rounding mode (never folded: we never build with fast-math).
inline double roundHalfEven(double v)
{
    constexpr double shifter = 6755399441055744.0;  // 1.5 * 2^52
    return (v + shifter) - shifter;
}

// Round half to even, failing outside the range of Int (16 or 32 bits). The
// first test keeps the rounding trick within its range and turns NaN away.
template <class Int>
inline Int toInt(double v)
{
    static_assert(std::is_same_v<Int, std::int16_t> || std::is_same_v<Int, std::int32_t>);
    constexpr double lowest = std::numeric_limits<Int>::min();
    constexpr double highest = std::numeric_limits<Int>::max();
    if (!(std::fabs(v) < 2.0 * -lowest)) [[unlikely]]
        fail(ErrorKind::Overflow);
    const double r = roundHalfEven(v);
    if (r < lowest || r > highest) [[unlikely]]
        fail(ErrorKind::Overflow);
    return static_cast<Int>(r);
}
inline std::int16_t toInt16(double v) { return toInt<std::int16_t>(v); }
inline std::int32_t toInt32(double v) { return toInt<std::int32_t>(v); }

// 16-bit signed integer arithmetic with overflow checks.
inline std::int16_t narrow16(std::int32_t v)
{
    if (v < INT16_MIN || v > INT16_MAX) [[unlikely]]
        fail(ErrorKind::Overflow);
    return static_cast<std::int16_t>(v);
}
inline std::int16_t add16(std::int16_t a, std::int16_t b) { return narrow16(std::int32_t{a} + b); }
inline std::int16_t sub16(std::int16_t a, std::int16_t b) { return narrow16(std::int32_t{a} - b); }
inline std::int16_t mul16(std::int16_t a, std::int16_t b) { return narrow16(std::int32_t{a} * b); }

// 32-bit signed integer arithmetic with overflow checks.
inline std::int32_t sub32(std::int32_t a, std::int32_t b)
{
    std::int32_t r;
    if (__builtin_sub_overflow(a, b, &r)) [[unlikely]]
        fail(ErrorKind::Overflow);
    return r;
}
inline std::int32_t mul32(std::int32_t a, std::int32_t b)
{
    std::int32_t r;
    if (__builtin_mul_overflow(a, b, &r)) [[unlikely]]
        fail(ErrorKind::Overflow);
    return r;
}

// A zero-filled array with the fixed index range 0..Last, every access checked.
template <class T, int Last>
class FixedArray {
public:
    static constexpr int last = Last;

    T& operator[](int i)
    {
        check(i);
        return data_[static_cast<unsigned>(i)];
    }
    const T& operator[](int i) const
    {
        check(i);
        return data_[static_cast<unsigned>(i)];
    }

    // Unchecked view for loops whose index range has been checked once.
    T* data() noexcept { return data_.data(); }
    const T* data() const noexcept { return data_.data(); }

    static void check(int i)
    {
        if (static_cast<unsigned>(i) > static_cast<unsigned>(Last)) [[unlikely]]
            fail(ErrorKind::IndexOutOfRange);
    }

private:
    std::array<T, Last + 1> data_{};
};

using ParticleArray = FixedArray<float, 1000>;    // x, y, vx, vy: indexes 0..1000
using HistogramArray = FixedArray<float, 20000>;  // g: indexes 0..20000
using PlottedVisits = FixedArray<double, 200>;    // visits of g's plotted bins 1..200
using PlottedValues = FixedArray<float, 200>;

}  // namespace ljgas
