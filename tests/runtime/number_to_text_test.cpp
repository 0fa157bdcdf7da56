#include "runtime/number_to_text.h"
#include "runtime/text_to_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <regex>
#include <string>

namespace ljgas {
namespace {

struct Case {
    const char* name;
    float value;
    const char* text;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class NumberToTextTest : public ::testing::TestWithParam<Case> {};

TEST_P(NumberToTextTest, GivesTheShortestText) { EXPECT_EQ(GetParam().text, numberToText(GetParam().value)); }

INSTANTIATE_TEST_SUITE_P(
    Table, NumberToTextTest,
    ::testing::Values(Case{"Temperature", 0.2998765f, "0.2998765"}, Case{"OneFractionDigit", 12.5f, "12.5"},
                      Case{"NegativeInteger", -3.0f, "-3"}, Case{"Zero", 0.0f, "0"}, Case{"NegativeZero", -0.0f, "0"},
                      Case{"ShortestNotExact", 0.3f, "0.3"},
                      Case{"NextAfterPointThree", std::nextafter(0.3f, 1.0f), "0.30000004"},
                      Case{"TenThousandth", 0.0001f, "0.0001"}, Case{"SmallestPlain", 1e-5f, "0.00001"},
                      Case{"LargestBelowSmallestPlain", std::nextafter(1e-5f, 0.0f), "9.999999E-06"},
                      Case{"SmallExponent", 1.5e-7f, "1.5E-07"}, Case{"NegativeSmallExponent", -1.25e-20f, "-1.25E-20"},
                      Case{"Hundred", 100.0f, "100"}, Case{"Million", 1e6f, "1000000"},
                      Case{"LargestPlainInteger", 9999999.0f, "9999999"}, Case{"TenMillion", 1e7f, "1E+07"},
                      Case{"TwoToTheTwentyFour", 16777216.0f, "1.6777216E+07"},
                      Case{"LargestFloat", std::numeric_limits<float>::max(), "3.4028235E+38"},
                      Case{"SmallestNormal", std::numeric_limits<float>::min(), "1.1754944E-38"},
                      Case{"SmallestSubnormal", std::numeric_limits<float>::denorm_min(), "1E-45"},
                      Case{"TimeStep", 0.001f, "0.001"}, Case{"Radius", 0.01f, "0.01"},
                      Case{"FractionOfLargeNumber", 123456.7f, "123456.7"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(NumberToText, NonFiniteValuesHaveWords)
{
    EXPECT_EQ("Infinity", numberToText(std::numeric_limits<float>::infinity()));
    EXPECT_EQ("-Infinity", numberToText(-std::numeric_limits<float>::infinity()));
    EXPECT_EQ("NaN", numberToText(std::numeric_limits<float>::quiet_NaN()));
}

// Random finite floats over the whole range: the text reads back to the same
// float, in the plain form exactly when 1e-5 <= |v| < 1e7, with no padding.
TEST(NumberToText, ReadsBackToTheSameFloat)
{
    constexpr int Samples = 200000;
    const std::regex plain(R"(-?(0|[1-9][0-9]*)(\.[0-9]*[1-9])?)");
    const std::regex exponential(R"(-?[1-9](\.[0-9]*[1-9])?E[+-][0-9]{2})");
    std::mt19937 bits(20240611u);
    int checked = 0;
    for (int i = 0; i < Samples; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(bits()));
        if (!std::isfinite(value))
            continue;
        const std::string text = numberToText(value);
        const auto back = static_cast<float>(textToNumber(text));
        ASSERT_EQ(value, back) << text;
        const float magnitude = std::fabs(value);
        const bool wantPlain = magnitude == 0.0f || (magnitude >= 1e-5f && magnitude < 1e7f);
        ASSERT_TRUE(std::regex_match(text, wantPlain ? plain : exponential)) << text;
        ++checked;
    }
    EXPECT_GT(checked, Samples * 9 / 10);
}

// Values near the ends of the plain range, where a wrong exponent test would
// switch notation one decade too early or too late.
TEST(NumberToText, ReadsBackAroundNotationBoundaries)
{
    for (const float edge : {1e-5f, 1e7f, 1.0f, 0.1f, 1e6f}) {
        float value = edge;
        for (int step = 0; step < 50; ++step)
            value = std::nextafter(value, 0.0f);
        for (int step = 0; step < 100; ++step) {
            const std::string text = numberToText(value);
            EXPECT_EQ(value, static_cast<float>(textToNumber(text))) << text;
            EXPECT_EQ(value >= 1e-5f && value < 1e7f, text.find('E') == std::string::npos) << text;
            value = std::nextafter(value, 1e30f);
        }
    }
}

}  // namespace
}  // namespace ljgas
