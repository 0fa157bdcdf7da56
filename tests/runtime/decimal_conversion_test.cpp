// The program's own decimal conversions against the standard library's
// to_chars and from_chars, which they must equal text for text and bit for
// bit wherever the library has them.
#include "runtime/decimal_conversion.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace ljgas {
namespace {

template <class F>
std::string libraryShortest(F value)
{
    char buffer[64];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string libraryPrecision(double value, int precision)
{
    char buffer[1024];
    return std::string(buffer,
                       std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision).ptr);
}

template <class F>
std::uint64_t bitsOf(F value)
{
    if constexpr (sizeof(F) == 8)
        return std::bit_cast<std::uint64_t>(value);
    else
        return std::bit_cast<std::uint32_t>(value);
}

// Both readings of `text` as F: the same end, outcome and bits (a value left
// as it was shows as the -7 it was).
template <class F>
::testing::AssertionResult readsAlike(const std::string& text)
{
    F ours = -7, theirs = -7;
    const DecimalReading a = readDecimal(text.data(), text.data() + text.size(), ours);
    const std::from_chars_result b = std::from_chars(text.data(), text.data() + text.size(), theirs);
    const bool nan = std::isnan(ours) && std::isnan(theirs) && std::signbit(ours) == std::signbit(theirs);
    if (a.ptr == b.ptr && a.ec == b.ec && (nan || bitsOf(ours) == bitsOf(theirs)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "'" << text.substr(0, 60) << "' (" << sizeof(F) << " bytes) reads as "
                                         << ours << " (" << static_cast<int>(a.ec) << "), the library's as " << theirs
                                         << " (" << static_cast<int>(b.ec) << ")";
}

template <class F>
void expectShortestAlike(F value)
{
    const std::string theirs = libraryShortest(value);
    ASSERT_EQ(theirs, shortestText(value)) << std::hexfloat << value;
    ASSERT_TRUE(readsAlike<F>(theirs));
}

// Random bits cover every binade and the subnormals; 2^k and its two
// neighbours are where the gap below is half the gap above, and where the
// shortest text is most often not the nearest-rounded one.
TEST(DecimalConversion, ShortestTextsAreTheLibrarys)
{
    std::mt19937_64 bits(20250601u);
    for (int i = 0; i < 200000; ++i) {
        expectShortestAlike(std::bit_cast<double>(bits()));
        expectShortestAlike(std::bit_cast<float>(static_cast<std::uint32_t>(bits())));
    }
    for (int e = -1074; e < 1024; ++e) {
        const double power = std::ldexp(1.0, e);
        for (const double v : {power, std::nextafter(power, 0.0), std::nextafter(power, HUGE_VAL)})
            expectShortestAlike(v);
    }
    for (int e = -149; e < 128; ++e) {
        const float power = std::ldexp(1.0f, e);
        for (const float v : {power, std::nextafter(power, 0.0f), std::nextafter(power, HUGE_VALF)})
            expectShortestAlike(v);
    }
    // Whole numbers written with their exact digits, around the switch
    // between plain and scientific notation.
    for (const double v : {0.0, -0.0, 1e5, 123456.0, 1e21, 1e22, 1e23, 9.999999999999999e22, 1.2345678901234567e20,
                           5e-324, std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::quiet_NaN()})
        expectShortestAlike(v);
    for (const float v : {123456790000.0f, 1e10f, 16777216.0f, 1e-45f, 0.3f})
        expectShortestAlike(v);
}

TEST(DecimalConversion, PrecisionTextsAreTheLibrarys)
{
    std::mt19937_64 bits(20250602u);
    for (int i = 0; i < 100000; ++i) {
        const double any = std::bit_cast<double>(bits());
        const int precision = 1 + static_cast<int>(bits() % 20);
        ASSERT_EQ(libraryPrecision(any, precision), precisionText(any, precision)) << std::hexfloat << any;
        const double single = std::bit_cast<float>(static_cast<std::uint32_t>(bits()));
        ASSERT_EQ(libraryPrecision(single, 9), precisionText(single, 9)) << std::hexfloat << single;
    }
    // Exact ties go to the even digit; a carry adds a digit in front.
    for (const double v : {0.5, 2.5, 0.125, 9.5, 99.5, 0.0, -0.0, 1e300, 5e-324, 0.099999999999999992})
        for (const int precision : {0, 1, 2, 3, 9, 17, 40})
            EXPECT_EQ(libraryPrecision(v, precision), precisionText(v, precision)) << v << " " << precision;
}

// The midpoint between two neighbours, exactly and a hair to either side,
// in all its digits: the ties to even and the digits far out that break them.
TEST(DecimalConversion, ReadingsAreTheLibrarys)
{
    std::mt19937_64 bits(20250603u);
    for (int i = 0; i < 20000; ++i) {
        const float f = std::bit_cast<float>(static_cast<std::uint32_t>(bits()) & 0x7f7fffffu);
        const double mid = (static_cast<double>(f) + std::nextafter(f, HUGE_VALF)) / 2;
        for (const double m : {mid, std::nextafter(mid, 0.0), std::nextafter(mid, HUGE_VAL)})
            ASSERT_TRUE(readsAlike<float>(precisionText(m, 800)));

        const double d = std::bit_cast<double>(bits() & 0x7fefffffffffffffull);
        const long double wide = (static_cast<long double>(d) + std::nextafter(d, HUGE_VAL)) / 2;
        char buffer[1024];
        const std::string exact(
            buffer, std::to_chars(buffer, buffer + sizeof buffer, wide, std::chars_format::scientific, 780).ptr);
        ASSERT_TRUE(readsAlike<double>(exact));
        const std::size_t e = exact.find('e');
        ASSERT_TRUE(readsAlike<double>(exact.substr(0, e) + "000000001" + exact.substr(e)));
    }
    // Below a power of two the gap is half as wide as above it.
    for (int e = -148; e < 128; ++e) {
        const float power = std::ldexp(1.0f, e);
        const double below = (static_cast<double>(power) + std::nextafter(power, 0.0f)) / 2;
        ASSERT_TRUE(readsAlike<float>(precisionText(below, 800)));
        ASSERT_TRUE(readsAlike<float>(precisionText(std::nextafter(below, HUGE_VAL), 800)));
    }
    // Random short texts of every shape and exponent, and the edges of both
    // ranges and of the grammar.
    for (int i = 0; i < 100000; ++i) {
        std::string text = bits() % 4 == 0 ? "-" : "";
        const int digits = 1 + static_cast<int>(bits() % 25);
        for (int m = 0; m < digits; ++m) {
            text += static_cast<char>('0' + bits() % 10);
            if (bits() % 15 == 0 && text.find('.') == std::string::npos)
                text += '.';
        }
        if (bits() % 2 != 0)
            text += "e" + std::to_string(static_cast<int>(bits() % 760) - 380);
        ASSERT_TRUE(readsAlike<double>(text));
        ASSERT_TRUE(readsAlike<float>(text));
    }
    for (const char* text : {"1e-50",
                             "1e-40",
                             "1e39",
                             "3.4028235e38",
                             "3.40282357e38",
                             "3.4028235677973366e38",
                             "1.7976931348623158e308",
                             "1.7976931348623159e308",
                             "4.9e-324",
                             "2.4703282292062328e-324",
                             "2.4703282292062327e-324",
                             "1e-400",
                             "1e400",
                             "1e99999999999999999999",
                             "inf",
                             "-INFINITY",
                             "infin",
                             "nan",
                             "-nan(abc_1)",
                             "nan(",
                             "+1",
                             " 1",
                             "-0",
                             ".5",
                             "5.",
                             ".",
                             "-",
                             "1e",
                             "1e+",
                             "-.5e1",
                             "0x10",
                             "00000.00000"})
        EXPECT_TRUE(readsAlike<double>(text));
    const std::string halfway = "9007199254740993";
    EXPECT_TRUE(readsAlike<double>(halfway + std::string(900, '0')));
    EXPECT_TRUE(readsAlike<double>(halfway + std::string(900, '0') + "1"));
    EXPECT_TRUE(readsAlike<double>("0." + std::string(400, '0') + "2470328229206232720882e-300"));
}

}  // namespace
}  // namespace ljgas
