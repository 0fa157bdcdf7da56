#include "runtime/text_to_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace ljgas {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

// Bit-for-bit equality, so that 0 and -0 are told apart.
::testing::AssertionResult sameDouble(double expected, double actual)
{
    if (std::bit_cast<std::uint64_t>(expected) == std::bit_cast<std::uint64_t>(actual))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << " (signbit " << std::signbit(expected)
                                         << "), got " << actual << " (signbit " << std::signbit(actual) << ")";
}

struct Case {
    const char* name;
    std::string text;
    double expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name << " (" << c.text.size() << " chars)"; }

class TextToNumberTest : public ::testing::TestWithParam<Case> {};

TEST_P(TextToNumberTest, ReadsTheLeadingNumber)
{
    const Case& c = GetParam();
    EXPECT_TRUE(sameDouble(c.expected, textToNumber(c.text)));
}

std::string repeat(char c, std::size_t count) { return std::string(count, c); }

// 2^53 + 1 lies exactly halfway between two doubles; ties go to the even one,
// and any non-zero digit after it, however far out, breaks the tie upwards.
const std::string HalfwayAboveTwoTo53 = "9007199254740993";

INSTANTIATE_TEST_SUITE_P(
    Table, TextToNumberTest,
    ::testing::Values(
        Case{"PlainDecimal", "0.01", 0.01}, Case{"TrailingLetters", "0.02abc", 0.02}, Case{"Empty", "", 0.0},
        Case{"Negative", "-0.5", -0.5}, Case{"LeadingBlanksAndPlus", "  +3", 3.0}, Case{"TabThenDigit", "\t7", 7.0},
        Case{"CrLfBlanks", "\r\n 2.5", 2.5}, Case{"AboveSingleRange", "1e39", 1e39},
        Case{"AboveDoubleRange", "1e400", Inf}, Case{"NegativeAboveDoubleRange", "-1e400", -Inf},
        Case{"BelowDoubleRange", "1e-400", 0.0}, Case{"NegativeBelowDoubleRange", "-1e-400", -0.0},
        Case{"NegativeZero", "-0", -0.0}, Case{"TrailingPoint", "3.", 3.0}, Case{"LeadingPoint", ".5", 0.5},
        Case{"NegativeLeadingPoint", "-.25", -0.25}, Case{"ExponentWithoutDigits", "1e", 1.0},
        Case{"ExponentSignWithoutDigits", "1e+", 1.0}, Case{"ExponentMinusWithoutDigits", "2E-x", 2.0},
        Case{"DExponent", "1d2", 100.0}, Case{"UpperDExponent", "2.5D-1", 0.25},
        Case{"UpperEExponentPlus", "7E+2", 700.0}, Case{"Letters", "abc", 0.0}, Case{"PointOnly", ".", 0.0},
        Case{"SignOnly", "-", 0.0}, Case{"SignThenBlank", "- 5", 0.0}, Case{"BlankBetweenDigits", "1 2", 1.0},
        Case{"ExponentOnly", "e5", 0.0}, Case{"CommaIsNotAPoint", "1,5", 1.0}, Case{"SecondPoint", "1.2.3", 1.2},
        Case{"HexIsNotRead", "0x10", 0.0}, Case{"InfinityIsNotANumber", "inf", 0.0},
        Case{"NanIsNotANumber", "nan", 0.0}, Case{"FormFeedIsNotABlank", "\f5", 0.0},
        Case{"EmbeddedNul",
             std::string("12\0"
                         "34",
                         5),
             12.0},
        Case{"NulBeforeExponent",
             std::string("3\0"
                         "e2",
                         4),
             3.0},
        Case{"LargestDouble", "1.7976931348623157e308", std::numeric_limits<double>::max()},
        Case{"RoundsUpToInfinity", "1.7976931348623159e308", Inf},
        Case{"SmallestSubnormal", "4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
        Case{"JustAboveHalfSubnormal", "2.4703282292062328e-324", std::numeric_limits<double>::denorm_min()},
        Case{"JustBelowHalfSubnormal", "2.4703282292062327e-324", 0.0},
        Case{"HalfwayTiesToEven", HalfwayAboveTwoTo53, 9007199254740992.0},
        Case{"FarDigitBreaksTheTie", HalfwayAboveTwoTo53 + "." + repeat('0', 5000) + "1", 9007199254740994.0},
        Case{"ThousandsOfDigits", "0." + repeat('3', 5000), 1.0 / 3.0},
        Case{"ThousandsOfIntegerDigits", "1" + repeat('0', 3000) + "e-3000", 1.0},
        Case{"ThousandsOfLeadingZeros", "0." + repeat('0', 3000) + "1e3001", 1.0},
        Case{"ManyDigitsOverflowDespiteNegativeExponent", "1" + repeat('0', 500) + "e-100", Inf},
        Case{"ManyZerosUnderflowDespitePositiveExponent", "0." + repeat('0', 500) + "1e100", 0.0},
        Case{"HugeExponent", "1e99999999999999999999999999", Inf},
        Case{"HugeNegativeExponent", "1e-99999999999999999999999999", 0.0},
        Case{"ZeroWithHugeExponent", "0e99999999999999999999999999", 0.0},
        Case{"ThousandsOfExponentDigits", "5e" + repeat('0', 4000) + "3", 5000.0},
        Case{"LongDExponentCopy", "0." + repeat('0', 2000) + "25d2001", 2.5}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Whole texts: what the reading above consumes in full, within the double
// range; a number too small for a double reads as 0 and is one.
TEST(TextToNumber, WholeTextIsOneNumberWithinTheDoubleRange)
{
    for (const char* number : {"0.01", " -1", "+.5", "5.", "1d-3", "1e-400", "-0"})
        EXPECT_EQ(wholeTextNumber(number), WholeText::Number) << number;
    for (const char* other : {"", " ", "abc", "0,2", "0.01 ", "1e", "1e+", "--1", "inf", "nan", "0x10"})
        EXPECT_EQ(wholeTextNumber(other), WholeText::NotANumber) << other;
    for (const std::string& huge : {std::string("1e400"), std::string("-1e309"), "1" + std::string(400, '0')})
        EXPECT_EQ(wholeTextNumber(huge), WholeText::OutOfRange) << huge;
}

TEST(TextToNumber, ReadsAMillionDigits)
{
    // 0.1 followed by a million more digits still rounds to the double 0.1.
    const std::string text = "0.1" + repeat('0', 1000000) + "7";
    EXPECT_TRUE(sameDouble(0.1, textToNumber(text)));
}

// Restores the process locale at the end of a test.
class LocaleGuard {
public:
    LocaleGuard() : saved_(std::setlocale(LC_ALL, nullptr)) {}
    ~LocaleGuard() { std::setlocale(LC_ALL, saved_.c_str()); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

private:
    std::string saved_;
};

void expectLocaleFreeReading()
{
    EXPECT_TRUE(sameDouble(0.01, textToNumber("0.01")));
    EXPECT_TRUE(sameDouble(1234.5, textToNumber("1234.5")));
    EXPECT_TRUE(sameDouble(0.0, textToNumber("0,01")));
    EXPECT_TRUE(sameDouble(-3e-7, textToNumber("-3e-7")));
}

TEST(TextToNumber, IgnoresAGermanDecimalComma)
{
    LocaleGuard guard;
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_DE@euro", "German_Germany.1252"};
    bool found = false;
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            found = true;
            break;
        }
    }
    if (!found)
        GTEST_SKIP() << "no German locale is installed (tried de_DE.UTF-8 and others); "
                        "the C.UTF-8 test below still checks a locale change";
    ASSERT_STREQ(",", std::localeconv()->decimal_point) << "the German locale should use a decimal comma";
    expectLocaleFreeReading();
}

TEST(TextToNumber, ReadsTheSameAfterALocaleChange)
{
    LocaleGuard guard;
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr && std::setlocale(LC_ALL, "C.utf8") == nullptr)
        GTEST_SKIP() << "no C.UTF-8 locale is installed";
    expectLocaleFreeReading();
}

}  // namespace
}  // namespace ljgas
