// Fuzzes the text-to-number conversion of the parameter boxes with any bytes:
// embedded NULs, non-ASCII, thousands of digits, huge exponents.
//
// Properties checked for every input:
//  - the conversion returns (it is noexcept: a throw would terminate) and the
//    result is never NaN;
//  - it agrees bit for bit (sign of zero included) with glibc's strtod on the
//    leading number as this fuzzer scans it independently;
//  - for plain decimals short enough that the value is one correctly rounded
//    IEEE operation (at most 15 significant digits, a power of ten up to
//    10^22), it agrees with that division or multiplication;
//  - the number ends where the scan says: appending any non-number byte after
//    a complete number changes nothing;
//  - the strict check calls the text one number exactly when the scan takes
//    all of it, and out of range exactly when that number is infinite.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/text_to_number.h"

namespace {

[[noreturn]] void failWith(std::string_view input, const char* what, double got, double want)
{
    std::fprintf(stderr, "text_to_number fuzzer: %s: got %.17g, want %.17g, input (%zu bytes):", what, got, want,
                 input.size());
    for (const char c : input.substr(0, 200))
        std::fprintf(stderr, " %02x", static_cast<unsigned char>(c));
    std::fprintf(stderr, "\n");
    std::abort();
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The leading number of a box text: blanks (space, tab, CR, LF), an optional
// sign, digits with at most one decimal point and at least one digit, then an
// exponent (E or D, either case, optional sign) only if a digit follows it.
struct Scanned {
    bool found = false;
    bool negative = false;
    std::string mantissa;  // digits and point, as typed
    std::string exponent;  // sign and digits, empty without an exponent
    std::size_t end = 0;   // one past the number
};

Scanned scan(std::string_view t)
{
    Scanned s;
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\r' || t[i] == '\n'))
        ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        s.negative = t[i] == '-';
        ++i;
    }
    bool digit = false;
    const std::size_t start = i;
    while (i < t.size() && isDigit(t[i])) {
        digit = true;
        ++i;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i])) {
            digit = true;
            ++i;
        }
    }
    if (!digit)
        return s;
    s.found = true;
    s.mantissa.assign(t.substr(start, i - start));
    s.end = i;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp;
        if (j < t.size() && (t[j] == '+' || t[j] == '-'))
            exp += t[j++];
        if (j < t.size() && isDigit(t[j])) {
            while (j < t.size() && isDigit(t[j]))
                exp += t[j++];
            s.exponent = exp;
            s.end = j;
        }
    }
    return s;
}

// glibc's correctly rounded strtod on the scanned number, in the C locale
// (the fuzzer never sets another).
double reference(const Scanned& s)
{
    if (!s.found)
        return 0.0;
    std::string text = s.negative ? "-" : "";
    text += s.mantissa;
    if (!s.exponent.empty())
        text += "e" + s.exponent;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) {
        std::fprintf(stderr, "text_to_number fuzzer: strtod stopped early in its own input '%s'\n", text.c_str());
        std::abort();
    }
    return v;
}

// The exact fast path: M (< 2^53, exact) times or divided by 10^p (p <= 22,
// exact) is one correctly rounded operation. Returns false when the number
// is not that simple.
bool simpleDecimal(const Scanned& s, double& value)
{
    if (!s.found)
        return false;
    std::uint64_t m = 0;
    int significant = 0;
    int fractionDigits = 0;
    bool afterPoint = false;
    for (const char c : s.mantissa) {
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (afterPoint)
            ++fractionDigits;
        if (significant > 0 || c != '0') {
            if (++significant > 15)
                return false;
        }
        m = m * 10 + static_cast<std::uint64_t>(c - '0');
    }
    long power = -fractionDigits;
    if (!s.exponent.empty()) {
        if (s.exponent.size() > 6)
            return false;
        power += std::strtol(s.exponent.c_str(), nullptr, 10);
    }
    if (power < -22 || power > 22)
        return false;
    double scale = 1.0;
    for (long k = 0; k < (power < 0 ? -power : power); ++k)
        scale *= 10.0;  // exact up to 10^22
    const double magnitude = power < 0 ? static_cast<double>(m) / scale : static_cast<double>(m) * scale;
    value = s.negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double got = ljgas::textToNumber(text);
    if (std::isnan(got))
        failWith(text, "NaN", got, 0.0);

    const Scanned s = scan(text);
    const double want = reference(s);
    if (!sameBits(got, want))
        failWith(text, "differs from strtod", got, want);

    double simple = 0.0;
    if (simpleDecimal(s, simple) && !sameBits(got, simple))
        failWith(text, "differs from the exact decimal", got, simple);

    // What follows a complete number does not belong to it. A byte that
    // cannot continue it (here '#') changes nothing, and neither does
    // cutting the text right after the number.
    if (s.found) {
        std::string longer(text.substr(0, s.end));
        const double cut = ljgas::textToNumber(longer);
        if (!sameBits(cut, got))
            failWith(text, "text cut after the number", cut, got);
        longer += '#';
        const double extended = ljgas::textToNumber(longer);
        if (!sameBits(extended, got))
            failWith(text, "text with '#' after the number", extended, got);
    } else if (!sameBits(got, 0.0)) {
        failWith(text, "text without a number", got, 0.0);
    }

    const ljgas::WholeText whole = ljgas::wholeTextNumber(text);
    const ljgas::WholeText wantWhole = !s.found || s.end != text.size() ? ljgas::WholeText::NotANumber
                                       : std::isinf(want)               ? ljgas::WholeText::OutOfRange
                                                                        : ljgas::WholeText::Number;
    if (whole != wantWhole)
        failWith(text, "strict check (0 number, 1 not a number, 2 out of range)", static_cast<double>(whole),
                 static_cast<double>(wantWhole));
    return 0;
}
