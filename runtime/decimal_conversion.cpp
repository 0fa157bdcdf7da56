#include "decimal_conversion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

namespace ljgas {

namespace {

// ---------------------------------------------------------------------------
// Every binary floating-point value, and every midpoint between two, is a
// finite decimal; every comparison below is made exactly, on integers.

// An unsigned integer of up to Capacity 32-bit limbs, least significant
// first. The largest integers met are those of reading a decimal text of
// KeptDigits digits at the bottom of the double range: about 3 700 bits.
class Big {
public:
    static constexpr int Capacity = 160;

    explicit Big(std::uint64_t value = 0)
    {
        while (value != 0) {
            limbs_[size_++] = static_cast<std::uint32_t>(value);
            value >>= 32;
        }
    }

    Big(const Big& other) : size_(other.size_) { std::copy_n(other.limbs_.begin(), size_, limbs_.begin()); }
    Big& operator=(const Big& other)
    {
        size_ = other.size_;
        std::copy_n(other.limbs_.begin(), size_, limbs_.begin());
        return *this;
    }

    bool isZero() const { return size_ == 0; }

    void multiply(std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        for (int m = 0; m < size_; ++m) {
            const std::uint64_t product = std::uint64_t{limbs_[m]} * factor + carry;
            limbs_[m] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
            push(static_cast<std::uint32_t>(carry));
    }

    void add(std::uint32_t term)
    {
        std::uint64_t carry = term;
        for (int m = 0; m < size_ && carry != 0; ++m) {
            const std::uint64_t sum = std::uint64_t{limbs_[m]} + carry;
            limbs_[m] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
        }
        if (carry != 0)
            push(static_cast<std::uint32_t>(carry));
    }

    void add(const Big& other)
    {
        std::uint64_t carry = 0;
        const int size = std::max(size_, other.size_);
        for (int m = 0; m < size; ++m) {
            const std::uint64_t sum = std::uint64_t{limb(m)} + other.limb(m) + carry;
            if (m < size_)
                limbs_[m] = static_cast<std::uint32_t>(sum);
            else
                push(static_cast<std::uint32_t>(sum));
            carry = sum >> 32;
        }
        if (carry != 0)
            push(static_cast<std::uint32_t>(carry));
    }

    // *this - other, which must not be negative.
    void subtract(const Big& other)
    {
        std::int64_t borrow = 0;
        for (int m = 0; m < size_; ++m) {
            std::int64_t difference = std::int64_t{limbs_[m]} - other.limb(m) - borrow;
            borrow = difference < 0 ? 1 : 0;
            if (difference < 0)
                difference += std::int64_t{1} << 32;
            limbs_[m] = static_cast<std::uint32_t>(difference);
        }
        trim();
    }

    void multiply(const Big& other)
    {
        if (isZero() || other.isZero()) {
            size_ = 0;
            return;
        }
        std::array<std::uint32_t, Capacity> product;
        const int size = size_ + other.size_;
        check(size);
        std::fill_n(product.begin(), size, 0u);
        for (int a = 0; a < size_; ++a) {
            std::uint64_t carry = 0;
            for (int b = 0; b < other.size_; ++b) {
                const std::uint64_t t = std::uint64_t{limbs_[a]} * other.limbs_[b] + product[a + b] + carry;
                product[a + b] = static_cast<std::uint32_t>(t);
                carry = t >> 32;
            }
            product[a + other.size_] = static_cast<std::uint32_t>(carry);
        }
        std::copy_n(product.begin(), size, limbs_.begin());
        size_ = size;
        trim();
    }

    void shiftLeft(int bits)
    {
        if (isZero() || bits == 0)
            return;
        const int whole = bits / 32;
        const int part = bits % 32;
        check(size_ + whole + 1);
        limbs_[size_ + whole] = 0;
        for (int m = size_ - 1; m >= 0; --m) {
            const std::uint64_t wide = std::uint64_t{limbs_[m]} << part;
            limbs_[m + whole + 1] |= static_cast<std::uint32_t>(wide >> 32);
            limbs_[m + whole] = static_cast<std::uint32_t>(wide);
        }
        std::fill(limbs_.begin(), limbs_.begin() + whole, 0u);
        size_ += whole + 1;
        trim();
    }

    void multiplyByPowerOf5(int n)
    {
        constexpr std::uint32_t FiveTo13 = 1220703125;
        for (; n >= 13; n -= 13)
            multiply(FiveTo13);
        std::uint32_t rest = 1;
        for (; n > 0; --n)
            rest *= 5;
        multiply(rest);
    }

    void multiplyByPowerOf10(int n)
    {
        multiplyByPowerOf5(n);
        shiftLeft(n);
    }

    friend int compare(const Big& a, const Big& b)
    {
        if (a.size_ != b.size_)
            return a.size_ < b.size_ ? -1 : 1;
        for (int m = a.size_ - 1; m >= 0; --m) {
            if (a.limbs_[m] != b.limbs_[m])
                return a.limbs_[m] < b.limbs_[m] ? -1 : 1;
        }
        return 0;
    }

private:
    std::uint32_t limb(int m) const { return m < size_ ? limbs_[m] : 0u; }
    static void check(int size)
    {
        // The sizes above are bounded by the formats' ranges: reaching the
        // capacity would be a fault in this file, not in its input.
        if (size > Capacity)
            std::abort();
    }
    void push(std::uint32_t limb)
    {
        check(size_ + 1);
        limbs_[size_++] = limb;
    }
    void trim()
    {
        while (size_ > 0 && limbs_[size_ - 1] == 0)
            --size_;
    }

    // Only the first size_ limbs are ever read.
    std::array<std::uint32_t, Capacity> limbs_;
    int size_ = 0;
};

// remainder := remainder mod divisor, returning the quotient, which must be
// a single decimal digit.
int takeDigit(Big& remainder, const Big& divisor)
{
    int digit = 0;
    while (compare(remainder, divisor) >= 0) {
        remainder.subtract(divisor);
        ++digit;
    }
    return digit;
}

int compareSum(const Big& a, const Big& b, const Big& c)
{
    Big sum = a;
    sum.add(b);
    return compare(sum, c);
}

// compare(2a, b)
int compareDouble(const Big& a, const Big& b)
{
    Big twice = a;
    twice.shiftLeft(1);
    return compare(twice, b);
}

// ---------------------------------------------------------------------------
// The two binary formats.

template <class F>
struct Format;

template <>
struct Format<double> {
    using Bits = std::uint64_t;
    static constexpr int FractionBits = 52;
    static constexpr int ExponentBits = 11;
    // Beyond these decimal exponents of the leading digit a number is
    // certainly out of range: at least 10^309, or below half the smallest
    // subnormal, 2.47e-324.
    static constexpr int HighestExponent = 308;
    static constexpr int LowestExponent = -324;
};

template <>
struct Format<float> {
    using Bits = std::uint32_t;
    static constexpr int FractionBits = 23;
    static constexpr int ExponentBits = 8;
    static constexpr int HighestExponent = 38;
    static constexpr int LowestExponent = -46;
};

template <class F>
typename Format<F>::Bits bitsOf(F value)
{
    typename Format<F>::Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

template <class F>
F fromBits(typename Format<F>::Bits bits)
{
    F value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// |value| = significand x 2^exponent, from the bits of a finite value.
struct Binary {
    std::uint64_t significand = 0;
    int exponent = 0;
    bool lowerGapHalf = false;  // a power of two above the smallest normal: the gap below is half the gap above
};

template <class F>
Binary binaryOf(typename Format<F>::Bits bits)
{
    using T = Format<F>;
    constexpr int bias = (1 << (T::ExponentBits - 1)) - 1;
    const std::uint64_t fraction = bits & ((typename T::Bits{1} << T::FractionBits) - 1);
    const int biased = static_cast<int>((bits >> T::FractionBits) & ((1u << T::ExponentBits) - 1));
    if (biased == 0)
        return {fraction, 1 - bias - T::FractionBits, false};
    return {fraction | (std::uint64_t{1} << T::FractionBits), biased - bias - T::FractionBits,
            fraction == 0 && biased > 1};
}

int bitLength(std::uint64_t value)
{
    int length = 0;
    for (; value != 0; value >>= 1)
        ++length;
    return length;
}

// A decimal exponent k with 10^(k-1) <= significand x 2^exponent: from the
// binary exponent of the leading bit, at most one too small.
int decimalExponentBelow(const Binary& b)
{
    const int leadingBit = b.exponent + bitLength(b.significand) - 1;
    return static_cast<int>(std::floor(leadingBit * 0.30102999566398119521)) + 1;
}

// ---------------------------------------------------------------------------
// Shortest digits: the digits of v are generated one by one, as long as
// neither cutting them off there nor rounding the last one up lands within
// the values that read back as v (Steele and White's free-format output, as
// Burger and Dybvig scale it). v = r/s, and the halves of the gaps to the
// neighbours are m+/s above and m-/s below; a text on a gap's midpoint reads
// as the neighbour with the even significand, so the midpoints belong to v
// exactly when its own significand is even.

template <class F>
DecimalDigits shortest(F value)
{
    const Binary b = binaryOf<F>(bitsOf(value));
    if (b.significand == 0)
        return {"0", 0};
    const bool even = (b.significand & 1) == 0;
    Big r(b.significand), s(1), above(1), below(1);
    if (b.exponent >= 0) {
        r.shiftLeft(b.exponent + (b.lowerGapHalf ? 2 : 1));
        s = Big(b.lowerGapHalf ? 4 : 2);
        above.shiftLeft(b.exponent + (b.lowerGapHalf ? 1 : 0));
        below.shiftLeft(b.exponent);
    } else {
        r.shiftLeft(b.lowerGapHalf ? 2 : 1);
        s.shiftLeft(-b.exponent + (b.lowerGapHalf ? 2 : 1));
        if (b.lowerGapHalf)
            above = Big(2);
    }
    int k = decimalExponentBelow(b);
    if (k >= 0) {
        s.multiplyByPowerOf10(k);
    } else {
        r.multiplyByPowerOf10(-k);
        above.multiplyByPowerOf10(-k);
        below.multiplyByPowerOf10(-k);
    }
    // Up to the first k for which the upper end of the interval, v + m+,
    // is below 10^k (or at it, when that end is v's own).
    for (;;) {
        const int c = compareSum(r, above, s);
        if (even ? c < 0 : c <= 0)
            break;
        s.multiply(10);
        ++k;
    }

    DecimalDigits out;
    out.exponent = k - 1;
    for (;;) {
        r.multiply(10);
        above.multiply(10);
        below.multiply(10);
        int digit = takeDigit(r, s);
        const int low = compare(r, below);
        const int high = compareSum(r, above, s);
        const bool cutWithin = even ? low <= 0 : low < 0;
        const bool roundWithin = even ? high >= 0 : high > 0;
        if (!cutWithin && !roundWithin) {
            out.digits += static_cast<char>('0' + digit);
            continue;
        }
        if (cutWithin && roundWithin) {
            // Both read back: the nearer, and on a tie the even digit.
            const int half = compareDouble(r, s);
            if (half > 0 || (half == 0 && digit % 2 == 1))
                ++digit;
        } else if (roundWithin) {
            ++digit;
        }
        // A round-up never reaches 10: that text would have had one digit
        // fewer, and the digit before would have ended the loop.
        out.digits += static_cast<char>('0' + digit);
        return out;
    }
}

// ---------------------------------------------------------------------------
// Texts.

void appendExponent(std::string& text, int exponent)
{
    text += exponent < 0 ? "e-" : "e+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10)
        text += '0';
    text += std::to_string(magnitude);
}

template <class F>
bool special(F value, std::string& text)
{
    if (std::isnan(value)) {
        text = std::signbit(value) ? "-nan" : "nan";
        return true;
    }
    if (std::isinf(value)) {
        text = value < 0 ? "-inf" : "inf";
        return true;
    }
    return false;
}

template <class F>
std::string shortestPlain(F value)
{
    std::string text;
    if (special(value, text))
        return text;
    if (std::signbit(value))
        text += '-';
    const DecimalDigits d = shortestDigits(value);
    const int length = static_cast<int>(d.digits.size());
    // The exponent of the last digit; plain notation wherever it is no longer
    // than d.ddde+XX, and plain on a tie.
    const int last = d.exponent - (length - 1);
    const int lowest = length == 1 ? -(length + 2) : -(length + 3);
    const int highest = length == 1 ? 4 : 5;
    if (last < lowest || last > highest) {
        text += d.digits[0];
        if (length > 1) {
            text += '.';
            text.append(d.digits, 1);
        }
        appendExponent(text, d.exponent);
        return text;
    }
    if (last >= 0) {
        // A whole number, written with every digit of its exact value: the
        // shortest digits followed by zeros may differ from it.
        const DecimalDigits exact = roundedDigits(static_cast<double>(value), d.exponent + 1);
        text.append(exact.digits, 0, static_cast<std::size_t>(exact.exponent) + 1);
        return text;
    }
    if (d.exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        text += d.digits;
        return text;
    }
    const auto whole = static_cast<std::size_t>(d.exponent) + 1;
    text.append(d.digits, 0, whole);
    text += '.';
    text.append(d.digits, whole);
    return text;
}

// ---------------------------------------------------------------------------
// Reading. A number of more than KeptDigits significant digits is read as
// its first KeptDigits digits and a 1 after them: no value and no midpoint
// of either format has more than 767 significant digits, so the digits cut
// off can only tell on which side of one the number lies, and the 1 says
// the same.

constexpr int KeptDigits = 780;

struct DecimalNumber {
    std::array<char, KeptDigits + 1> digits{};  // significant, no leading or trailing zero
    int count = 0;
    std::int64_t exponent = 0;  // of the last digit
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithWord(const char* p, const char* last, const char* word)
{
    for (; *word != '\0'; ++word, ++p) {
        if (p == last || lower(*p) != *word)
            return false;
    }
    return true;
}

// inf, infinity, nan, nan(letters, digits, _) at p; the end, or null.
const char* readWord(const char* p, const char* last, bool& isNan)
{
    if (startsWithWord(p, last, "inf")) {
        isNan = false;
        return startsWithWord(p, last, "infinity") ? p + 8 : p + 3;
    }
    if (!startsWithWord(p, last, "nan"))
        return nullptr;
    isNan = true;
    const char* end = p + 3;
    if (end != last && *end == '(') {
        const char* q = end + 1;
        while (q != last && (isDigit(*q) || (lower(*q) >= 'a' && lower(*q) <= 'z') || *q == '_'))
            ++q;
        if (q != last && *q == ')')
            end = q + 1;
    }
    return end;
}

// Exponents far beyond any format's range, and far from overflowing the
// 64-bit sums they enter, even with a text's length added.
constexpr std::int64_t ExponentLimit = std::int64_t{1} << 40;

// The digits and exponent at p; the end of the number, or null.
const char* readNumber(const char* p, const char* last, DecimalNumber& number)
{
    bool any = false;
    bool significant = false;
    bool cut = false;             // a non-zero digit beyond KeptDigits
    std::int64_t afterPoint = 0;  // digits after the point
    std::int64_t dropped = 0;     // digits not kept, before the point
    std::int64_t zeros = 0;       // zeros not yet known to be trailing
    bool point = false;
    for (; p != last; ++p) {
        if (*p == '.' && !point) {
            point = true;
            continue;
        }
        if (!isDigit(*p))
            break;
        any = true;
        if (point)
            ++afterPoint;
        if (*p == '0') {
            if (significant)
                ++zeros;
            continue;
        }
        significant = true;
        // The zeros before this digit are significant after all.
        for (; zeros > 0; --zeros) {
            if (number.count < KeptDigits)
                number.digits[number.count++] = '0';
            else
                ++dropped;
        }
        if (number.count < KeptDigits) {
            number.digits[number.count++] = *p;
        } else {
            ++dropped;
            cut = true;
        }
    }
    if (!any)
        return nullptr;
    // The exponent counts only with at least one digit: "1e" and "1e+" are 1.
    std::int64_t exponent = 0;
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool negative = false;
        if (q != last && (*q == '+' || *q == '-')) {
            negative = *q == '-';
            ++q;
        }
        if (q != last && isDigit(*q)) {
            for (; q != last && isDigit(*q); ++q) {
                if (exponent < ExponentLimit)
                    exponent = exponent * 10 + (*q - '0');
            }
            if (negative)
                exponent = -exponent;
            p = q;
        }
    }
    if (cut) {
        number.digits[number.count++] = '1';
        --dropped;
    }
    // The kept digits end `zeros + dropped` places before the last digit
    // of the text, which is `afterPoint` places after the point.
    number.exponent = exponent - afterPoint + zeros + dropped;
    return p;
}

// Compares the decimal value D x 10^E with N x 2^j: D scaled by the powers
// of 5 the comparison needs once, N and j for each midpoint.
class ExactComparison {
public:
    ExactComparison(const DecimalNumber& number) : exponent_(number.exponent)
    {
        for (int m = 0; m < number.count; m += 9) {
            std::uint32_t chunk = 0;
            std::uint32_t scale = 1;
            for (int n = m; n < std::min(m + 9, number.count); ++n) {
                chunk = chunk * 10 + static_cast<std::uint32_t>(number.digits[n] - '0');
                scale *= 10;
            }
            decimal_.multiply(scale);
            decimal_.add(chunk);
        }
        if (exponent_ >= 0)
            decimal_.multiplyByPowerOf5(static_cast<int>(exponent_));
        else
            fives_.multiplyByPowerOf5(static_cast<int>(-exponent_));
    }

    int compareWith(std::uint64_t n, int j) const
    {
        Big left = decimal_;
        Big right(n);
        right.multiply(fives_);
        const auto twos = static_cast<int>(exponent_ - j);
        if (twos >= 0)
            left.shiftLeft(twos);
        else
            right.shiftLeft(-twos);
        return compare(left, right);
    }

private:
    std::int64_t exponent_;
    Big decimal_;
    Big fives_{1};
};

double powerOf10(std::int64_t n) { return std::pow(10.0, static_cast<double>(n)); }

// A value within a few units in the last place of the number, from its
// first 19 digits in double: the exact comparisons then walk from it.
double approximate(const DecimalNumber& number)
{
    std::uint64_t leading = 0;
    const int taken = std::min(number.count, 19);
    for (int m = 0; m < taken; ++m)
        leading = leading * 10 + static_cast<std::uint64_t>(number.digits[m] - '0');
    const std::int64_t scale = number.exponent + (number.count - taken);
    // In two factors, so that neither overflows nor underflows on its own
    // where the product does not.
    return static_cast<double>(leading) * powerOf10(scale / 2) * powerOf10(scale - scale / 2);
}

template <class F>
bool readExactly(const DecimalNumber& number, F& magnitude)
{
    using T = Format<F>;
    using Bits = typename T::Bits;
    const std::int64_t leading = number.exponent + number.count - 1;
    if (leading > T::HighestExponent)
        return false;
    if (leading < T::LowestExponent - 1)
        return false;

    // Clinger's fast path: a whole number that the format holds exactly,
    // times or divided by a power of ten that it holds exactly, is one
    // correctly rounded operation.
    std::uint64_t whole = 0;
    if (number.count <= 19) {
        for (int m = 0; m < number.count; ++m)
            whole = whole * 10 + static_cast<std::uint64_t>(number.digits[m] - '0');
    }
    constexpr int exactPowers = std::is_same_v<F, double> ? 22 : 10;
    constexpr std::uint64_t exactWhole = std::uint64_t{1} << (T::FractionBits + 1);
    if (number.count <= 19 && whole <= exactWhole && number.exponent >= -exactPowers &&
        number.exponent <= exactPowers) {
        F power = 1;
        for (std::int64_t m = 0; m < (number.exponent < 0 ? -number.exponent : number.exponent); ++m)
            power *= 10;
        const auto w = static_cast<F>(whole);
        magnitude = number.exponent < 0 ? w / power : w * power;
        return true;
    }

    const ExactComparison exact(number);
    const double guess = approximate(number);
    const Bits largest = bitsOf(std::numeric_limits<F>::max());
    Bits bits = !(guess < static_cast<double>(std::numeric_limits<F>::max())) ? largest : bitsOf(static_cast<F>(guess));
    for (;;) {
        const Binary b = binaryOf<F>(bits);
        // The midpoint above, (2m + 1) 2^(j-1); ties go to the even significand.
        const int up = exact.compareWith(2 * b.significand + 1, b.exponent - 1);
        if (up > 0 || (up == 0 && (b.significand & 1) != 0)) {
            if (bits == largest)
                return false;
            ++bits;
            continue;
        }
        if (bits != 0) {
            const int down = b.lowerGapHalf ? exact.compareWith(4 * b.significand - 1, b.exponent - 2)
                                            : exact.compareWith(2 * b.significand - 1, b.exponent - 1);
            if (down < 0 || (down == 0 && (b.significand & 1) != 0)) {
                --bits;
                continue;
            }
        }
        break;
    }
    if (bits == 0)
        return false;  // non-zero digits that round to zero
    magnitude = fromBits<F>(bits);
    return true;
}

template <class F>
DecimalReading read(const char* first, const char* last, F& value)
{
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative)
        ++p;
    bool isNan = false;
    if (const char* end = readWord(p, last, isNan)) {
        const F word = isNan ? std::numeric_limits<F>::quiet_NaN() : std::numeric_limits<F>::infinity();
        value = negative ? -word : word;
        return {end, std::errc{}};
    }
    DecimalNumber number;
    const char* end = readNumber(p, last, number);
    if (end == nullptr)
        return {first, std::errc::invalid_argument};
    F magnitude = 0;
    if (number.count > 0 && !readExactly(number, magnitude))
        return {end, std::errc::result_out_of_range};
    value = negative ? -magnitude : magnitude;
    return {end, std::errc{}};
}

// The common case of roundedDigits in machine words: up to 19 digits of a
// value below 10^count, whose digits and the rest after them are those of
// significand x 5^q, q = count - k, shifted right by -(q + exponent) bits,
// all exactly within 128 bits. False where that does not hold.
bool roundedDigitsInWords(const Binary& b, int count, DecimalDigits& out)
{
#ifdef __SIZEOF_INT128__
    __extension__ typedef unsigned __int128 Word;
    if (count > 19 || b.exponent >= 0)
        return false;
    for (int k = decimalExponentBelow(b), tries = 0; tries < 2; ++k, ++tries) {
        const int q = count - k;
        if (q < 0 || q > 27)
            return false;
        Word t = b.significand;
        for (int m = 0; m < q; ++m)
            t *= 5;
        const int shift = -(q + b.exponent);
        if (shift <= 0 || shift >= 128)
            return false;
        const Word whole = t >> shift;
        const Word rest = t - (whole << shift);
        const Word half = Word{1} << (shift - 1);
        std::uint64_t limit = 1;
        for (int m = 0; m < count; ++m)
            limit *= 10;
        if (whole >= limit)
            continue;  // k was one too small
        auto digits = static_cast<std::uint64_t>(whole);
        if (rest > half || (rest == half && digits % 2 == 1))
            ++digits;
        out.exponent = k - 1;
        if (digits == limit) {
            digits /= 10;
            ++out.exponent;
        }
        out.digits.assign(static_cast<std::size_t>(count), '0');
        for (int m = count - 1; m >= 0; --m, digits /= 10)
            out.digits[static_cast<std::size_t>(m)] = static_cast<char>('0' + digits % 10);
        return true;
    }
#else
    (void)b;
    (void)count;
    (void)out;
#endif
    return false;
}

}  // namespace

DecimalDigits shortestDigits(double value) { return shortest(value); }

DecimalDigits shortestDigits(float value) { return shortest(value); }

DecimalDigits roundedDigits(double value, int count)
{
    count = std::clamp(count, 1, 800);
    const Binary b = binaryOf<double>(bitsOf(value));
    DecimalDigits out;
    if (b.significand == 0) {
        out.digits.assign(static_cast<std::size_t>(count), '0');
        return out;
    }
    if (roundedDigitsInWords(b, count, out))
        return out;
    Big r(b.significand), s(1);
    if (b.exponent >= 0)
        r.shiftLeft(b.exponent);
    else
        s.shiftLeft(-b.exponent);
    int k = decimalExponentBelow(b);
    if (k >= 0)
        s.multiplyByPowerOf10(k);
    else
        r.multiplyByPowerOf10(-k);
    while (compare(r, s) >= 0) {
        s.multiply(10);
        ++k;
    }
    out.exponent = k - 1;
    for (int m = 0; m < count; ++m) {
        r.multiply(10);
        out.digits += static_cast<char>('0' + takeDigit(r, s));
    }
    const int half = compareDouble(r, s);
    if (half > 0 || (half == 0 && (out.digits.back() - '0') % 2 == 1)) {
        std::size_t m = out.digits.size();
        while (m > 0 && out.digits[m - 1] == '9')
            out.digits[--m] = '0';
        if (m > 0) {
            ++out.digits[m - 1];
        } else {
            out.digits.insert(out.digits.begin(), '1');
            out.digits.pop_back();
            ++out.exponent;
        }
    }
    return out;
}

std::string shortestText(double value) { return shortestPlain(value); }

std::string shortestText(float value) { return shortestPlain(value); }

std::string precisionText(double value, int precision)
{
    std::string text;
    if (special(value, text))
        return text;
    if (precision < 0)
        precision = 6;
    const int p = std::clamp(precision, 1, 800);
    if (std::signbit(value))
        text += '-';
    const DecimalDigits d = roundedDigits(value, p);
    const int x = d.exponent;
    std::string body;
    int pointAfter = 1;  // digits before the point
    const bool plain = x >= -4 && x < p;
    if (plain && x < 0) {
        body = "0";
        body.append(static_cast<std::size_t>(-x - 1), '0');
        body += d.digits;
    } else {
        body = d.digits;
        if (plain)
            pointAfter = x + 1;
    }
    // The fraction without its trailing zeros, and without the point when
    // nothing is left of it.
    std::size_t end = body.size();
    while (end > static_cast<std::size_t>(pointAfter) && body[end - 1] == '0')
        --end;
    text.append(body, 0, static_cast<std::size_t>(pointAfter));
    if (end > static_cast<std::size_t>(pointAfter)) {
        text += '.';
        text.append(body, static_cast<std::size_t>(pointAfter), end - static_cast<std::size_t>(pointAfter));
    }
    if (!plain)
        appendExponent(text, x);
    return text;
}

DecimalReading readDecimal(const char* first, const char* last, double& value) noexcept
{
    return read(first, last, value);
}

DecimalReading readDecimal(const char* first, const char* last, float& value) noexcept
{
    return read(first, last, value);
}

}  // namespace ljgas
