#include "engine/checked.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace ljgas {
namespace {

// Expect `expr` to throw EngineError of the given kind.
#define EXPECT_ENGINE_ERROR(expr, expectedKind)                                                                        \
    do {                                                                                                               \
        try {                                                                                                          \
            (void)(expr);                                                                                              \
            ADD_FAILURE() << #expr " did not fail";                                                                    \
        } catch (const EngineError& e) {                                                                               \
            EXPECT_EQ(e.kind(), expectedKind) << #expr << " failed with " << e.what();                                 \
        }                                                                                                              \
    } while (0)

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(ErrorText, NamesEachKind)
{
    EXPECT_STREQ(EngineError(ErrorKind::Overflow).what(), "Overflow");
    EXPECT_STREQ(EngineError(ErrorKind::DivisionByZero).what(), "Division by zero");
    EXPECT_STREQ(EngineError(ErrorKind::IndexOutOfRange).what(), "Index out of range");
}

TEST(ToSingle, RoundsToNearestAndKeepsTheLargestFloat)
{
    EXPECT_EQ(toSingle(0.1), 0.1f);
    EXPECT_EQ(toSingle(FLT_MAX), FLT_MAX);
    // Just under half an ulp above FLT_MAX still rounds down to it.
    const double halfUlp = std::ldexp(1.0, 127 - 24);
    EXPECT_EQ(toSingle(static_cast<double>(FLT_MAX) + halfUlp * 0.99), FLT_MAX);
    EXPECT_EQ(toSingle(-0.0), 0.0f);
    EXPECT_EQ(toSingle(1e-50), 0.0f);  // underflow is not an error
}

TEST(ToSingle, OverflowInvalidAndInfinity)
{
    const double halfUlp = std::ldexp(1.0, 127 - 24);
    EXPECT_ENGINE_ERROR(toSingle(static_cast<double>(FLT_MAX) + halfUlp), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toSingle(1e39), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toSingle(-1e39), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toSingle(inf), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toSingle(nan), ErrorKind::Overflow);
}

TEST(Divide, ZeroDivisorIsDivisionByZeroUnlessInvalid)
{
    EXPECT_EQ(divide(1.0, 4.0), 0.25);
    EXPECT_ENGINE_ERROR(divide(1.0, 0.0), ErrorKind::DivisionByZero);
    EXPECT_ENGINE_ERROR(divide(-3.0, -0.0), ErrorKind::DivisionByZero);
    EXPECT_ENGINE_ERROR(divide(0.0, 0.0), ErrorKind::Overflow);  // 0/0 is invalid
    EXPECT_ENGINE_ERROR(divide(nan, 0.0), ErrorKind::Overflow);
}

struct RoundCase {
    double in;
    int out;
};

class RoundHalfEven : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEven, ToInt16AndToInt32Agree)
{
    EXPECT_EQ(toInt16(GetParam().in), GetParam().out) << GetParam().in;
    EXPECT_EQ(toInt32(GetParam().in), GetParam().out) << GetParam().in;
}

INSTANTIATE_TEST_SUITE_P(Ties, RoundHalfEven,
                         ::testing::Values(RoundCase{28.5, 28}, RoundCase{29.5, 30}, RoundCase{0.5, 0},
                                           RoundCase{1.5, 2}, RoundCase{2.5, 2}, RoundCase{-0.5, 0},
                                           RoundCase{-1.5, -2}, RoundCase{-2.5, -2}, RoundCase{28.57, 29},
                                           RoundCase{0.4999999999, 0}, RoundCase{114.2857, 114}, RoundCase{-0.0, 0},
                                           RoundCase{32767.4, 32767}, RoundCase{-32768.5, -32768}));

TEST(ToInt16, FailsOutsideItsRange)
{
    EXPECT_ENGINE_ERROR(toInt16(32767.5), ErrorKind::Overflow);  // rounds to 32768
    EXPECT_ENGINE_ERROR(toInt16(32768.0), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toInt16(-32768.51), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toInt16(1e300), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toInt16(inf), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toInt16(-inf), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toInt16(nan), ErrorKind::Overflow);
}

TEST(ToInt32, FailsOutsideItsRange)
{
    EXPECT_EQ(toInt32(2147483647.4), 2147483647);
    EXPECT_EQ(toInt32(-2147483648.5), -2147483647 - 1);
    EXPECT_ENGINE_ERROR(toInt32(2147483647.5), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toInt32(-2147483648.51), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(toInt32(nan), ErrorKind::Overflow);
}

TEST(IntegerArithmetic, SixteenAndThirtyTwoBitOverflow)
{
    EXPECT_EQ(add16(32766, 1), 32767);
    EXPECT_ENGINE_ERROR(add16(32767, 1), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(sub16(-32768, 1), ErrorKind::Overflow);
    EXPECT_EQ(mul16(181, 181), 32761);
    EXPECT_ENGINE_ERROR(mul16(182, 181), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(narrow16(40000), ErrorKind::Overflow);
    EXPECT_EQ(narrow16(225), 225);

    EXPECT_EQ(mul32(225, 224), 50400);
    EXPECT_ENGINE_ERROR(mul32(50000, 49999), ErrorKind::Overflow);
    EXPECT_ENGINE_ERROR(sub32(-2147483647 - 1, 1), ErrorKind::Overflow);
}

TEST(FixedArray, EveryIndexOutsideTheRangeFails)
{
    ParticleArray a;
    EXPECT_EQ(a[0], 0.0f);
    EXPECT_EQ(a[1000], 0.0f);  // zero-filled from creation
    a[1000] = 2.0f;
    EXPECT_EQ(a[1000], 2.0f);
    EXPECT_ENGINE_ERROR(a[1001], ErrorKind::IndexOutOfRange);
    EXPECT_ENGINE_ERROR(a[-1], ErrorKind::IndexOutOfRange);
    EXPECT_ENGINE_ERROR(a[-32768], ErrorKind::IndexOutOfRange);

    HistogramArray g;
    EXPECT_EQ(g[20000], 0.0f);
    EXPECT_ENGINE_ERROR(g[20001], ErrorKind::IndexOutOfRange);
    EXPECT_ENGINE_ERROR(g[-1], ErrorKind::IndexOutOfRange);
}

}  // namespace
}  // namespace ljgas
