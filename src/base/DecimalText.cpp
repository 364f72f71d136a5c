#include "base/DecimalText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace veldrin {

namespace {

constexpr int kMaxDigits = 40;
// Digit counts whose tie value (the digits, then a 5) still fits in 64 bits.
constexpr int kMaxFastDigits = 17;

// A finite number as decimal digits: |value| = d0.d1d2... x 10^exponent.
struct Decimal {
    bool negative = false;
    int count = 1;
    int exponent = 0;
    char digits[kMaxDigits] = {'0'}; // no leading zero unless the value is zero

    bool isZero() const { return std::all_of(digits, digits + count, [](char c) { return c == '0'; }); }
};

// Digits and exponent of to_chars' scientific text ("d.ddde+XX").
void parseScientific(const char* first, const char* last, char* digits, int& count, int& exponent) {
    count = 0;
    const char* p = first;
    for (; p != last && *p != 'e'; ++p)
        if (*p != '.') digits[count++] = *p;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), last, exponent);
}

// Whether `magnitude` equals digits x 10^power exactly. Both sides are split into an odd part times
// powers of two and five; a double has no factor five in its denominator and an odd part under 2^53.
bool equalsDecimal(double magnitude, uint64_t digits, int power) {
    int binaryExponent = 0;
    uint64_t odd = static_cast<uint64_t>(std::ldexp(std::frexp(magnitude, &binaryExponent), 53));
    int twos = binaryExponent - 53 + std::countr_zero(odd);
    odd >>= std::countr_zero(odd);

    const int decimalTwos = std::countr_zero(digits) + power;
    digits >>= std::countr_zero(digits);
    int fives = power;
    while (digits % 5 == 0) {
        digits /= 5;
        ++fives;
    }
    if (fives < 0 || fives > 22 || twos != decimalTwos) return false;
    unsigned __int128 product = digits;
    for (int i = 0; i < fives; ++i) product *= 5;
    return product == odd;
}

// Keeps the first `count` digits (count may be 0 or negative: nothing of the digits survives),
// rounding halves away from zero. The digits must be exact for that rounding to be exact.
void keepDigits(char* digits, int& size, int& exponent, int count) {
    if (count >= size) return;
    const char firstDropped = count >= 0 ? digits[count] : '0';
    if (count <= 0) {
        // Only a carry into the position above the first digit can survive.
        if (firstDropped >= '5') {
            exponent = exponent - count + 1;
            digits[0] = '1';
        } else {
            exponent = 0;
            digits[0] = '0';
        }
        size = 1;
        return;
    }
    size = count;
    if (firstDropped < '5') return;
    int i = count - 1;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i >= 0) {
        ++digits[i];
    } else {
        // All nines: 10^exponent becomes 10^(exponent + 1), keeping the digit count.
        std::fill(digits + 1, digits + count, '0');
        digits[0] = '1';
        ++exponent;
    }
}

// Rounded through the full exact expansion (a double has at most 767 significant digits); for digit
// counts the fast path does not cover.
void roundThroughExpansion(double magnitude, int significant, Decimal& d) {
    char text[800];
    char digits[800];
    const auto result = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 766);
    int size = 0;
    parseScientific(text, result.ptr, digits, size, d.exponent);
    keepDigits(digits, size, d.exponent, std::min(significant, kMaxDigits));
    d.count = std::min(size, kMaxDigits);
    std::copy_n(digits, d.count, d.digits);
}

constexpr uint64_t kPowersOfTen[20] = {1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull, 10000000ull,
                                       100000000ull, 1000000000ull, 10000000000ull, 100000000000ull,
                                       1000000000000ull, 10000000000000ull, 100000000000000ull,
                                       1000000000000000ull, 10000000000000000ull, 100000000000000000ull,
                                       1000000000000000000ull, 10000000000000000000ull};

void setDigits(Decimal& d, uint64_t digits, int count, int exponent) {
    d.count = count;
    d.exponent = exponent;
    for (int i = count - 1; i >= 0; --i, digits /= 10) d.digits[i] = static_cast<char>('0' + digits % 10);
}

// The common case, in integer arithmetic: magnitude = mantissa / 2^shift, so its first `significant`
// digits are mantissa x 10^scale / 2^shift and the bits shifted out tell the rounding exactly. False
// when the product would not fit in 128 bits.
bool roundByScaling(double magnitude, int significant, Decimal& d) {
    const auto bits = std::bit_cast<uint64_t>(magnitude);
    const auto biased = static_cast<int>(bits >> 52);
    if (biased == 0) return false; // subnormal
    const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int binaryExponent = biased - 1022; // magnitude lies in [2^(b-1), 2^b)
    const int shift = 53 - binaryExponent;
    // Its decimal exponent or one less: floor((b - 1) x log10(2)), in fixed point.
    int exponent = ((binaryExponent - 1) * 78913) >> 18;
    for (;;) {
        const int scale = significant - 1 - exponent;
        if (scale < 0 || scale > 19 || shift < 1 || shift > 120) return false;
        const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * kPowersOfTen[scale];
        const unsigned __int128 whole = scaled >> shift;
        if (whole >= kPowersOfTen[significant]) {
            ++exponent;
            continue;
        }
        const unsigned __int128 rest = scaled - (whole << shift);
        auto digits = static_cast<uint64_t>(whole);
        if (rest >= (static_cast<unsigned __int128>(1) << (shift - 1))) ++digits; // halves away from zero
        if (digits == kPowersOfTen[significant]) {
            digits /= 10;
            ++exponent;
        }
        setDigits(d, digits, significant, exponent);
        return true;
    }
}

// `value` rounded to `significant` digits, halves away from zero. Outside the range integer scaling
// covers, to_chars rounds correctly but settles exact ties its own way, so a value lying exactly
// halfway above the digits it gave is carried up.
Decimal roundedDecimal(double value, int significant) {
    Decimal d;
    if (value == 0) return d;
    d.negative = value < 0;
    const double magnitude = std::fabs(value);
    if (significant < 1 || significant > kMaxFastDigits) {
        roundThroughExpansion(magnitude, significant, d);
        return d;
    }
    if (roundByScaling(magnitude, significant, d)) return d;
    char text[48];
    const auto result =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, significant - 1);
    parseScientific(text, result.ptr, d.digits, d.count, d.exponent);
    uint64_t kept = 0;
    for (int i = 0; i < d.count; ++i) kept = kept * 10 + static_cast<uint64_t>(d.digits[i] - '0');
    if (equalsDecimal(magnitude, kept * 10 + 5, d.exponent - d.count)) {
        ++kept;
        if (kept == kPowersOfTen[d.count]) {
            kept /= 10;
            ++d.exponent;
        }
        setDigits(d, kept, d.count, d.exponent);
    }
    return d;
}

void roundDecimals(Decimal& d, int decimals) {
    // Digit i stands for 10^(exponent - i); keep those down to 10^-decimals.
    if (!d.isZero()) keepDigits(d.digits, d.count, d.exponent, d.exponent + decimals + 1);
}

char digitAt(const Decimal& d, int power) {
    const int index = d.exponent - power;
    return index >= 0 && index < d.count ? d.digits[index] : '0';
}

bool hasMinus(const Decimal& d) { return d.negative && !d.isZero(); }

void appendFixedText(std::string& text, const Decimal& d, int decimals) {
    const int top = std::max(d.exponent, 0);
    const std::size_t length = (hasMinus(d) ? 1 : 0) + static_cast<std::size_t>(std::max(top + decimals + 1, 0)) +
                               (decimals > 0 ? 1 : 0);
    const std::size_t at = text.size();
    text.resize(at + length);
    char* out = text.data() + at;
    if (hasMinus(d)) *out++ = '-';
    for (int power = top; power >= -decimals; --power) {
        *out++ = digitAt(d, power);
        if (power == 0 && decimals > 0) *out++ = '.';
    }
}

// Digits without trailing zeros (at least one).
int significantCount(const Decimal& d) {
    int count = d.count;
    while (count > 1 && d.digits[count - 1] == '0') --count;
    return count;
}

// "1.5E-06": the mantissa without trailing zeros, a minus sign only for a negative exponent,
// and at least `minExponentDigits` exponent digits.
void appendScientificText(std::string& text, const Decimal& d, int minExponentDigits) {
    const int count = significantCount(d);
    if (hasMinus(d)) text.push_back('-');
    text.push_back(d.digits[0]);
    if (count > 1) {
        text.push_back('.');
        text.append(d.digits + 1, d.digits + count);
    }
    text.push_back('E');
    if (d.exponent < 0) text.push_back('-');
    char power[8];
    const auto end = std::to_chars(power, power + sizeof power, std::abs(d.exponent)).ptr;
    const int length = static_cast<int>(end - power);
    if (length < minExponentDigits) text.append(static_cast<std::size_t>(minExponentDigits - length), '0');
    text.append(power, end);
}

// As briefly as possible: trailing zeros removed, no point when no fraction remains.
void appendGeneralText(std::string& text, Decimal d) {
    d.count = significantCount(d);
    appendFixedText(text, d, std::max(d.count - 1 - d.exponent, 0));
}

void appendNonFinite(std::string& text, double value) {
    if (std::isnan(value)) {
        text += "NAN";
    } else {
        text += value < 0 ? "-INF" : "INF";
    }
}

} // namespace

void appendGeneral(std::string& text, double value, int precision, int minExponentDigits) {
    if (!std::isfinite(value)) return appendNonFinite(text, value);
    precision = std::clamp(precision, 1, kMaxDigits);
    const Decimal d = roundedDecimal(value, precision);
    if (d.isZero()) {
        text.push_back('0');
    } else if (d.exponent < -5 || d.exponent >= precision) {
        // The notation follows the rounded value: 0.00001f (just below 1E-5) still reads 0.00001.
        appendScientificText(text, d, minExponentDigits);
    } else {
        appendGeneralText(text, d);
    }
}

void appendFixed(std::string& text, double value, int significant, int decimals, int minExponentDigits) {
    if (!std::isfinite(value)) return appendNonFinite(text, value);
    significant = std::min(significant, kMaxDigits);
    Decimal d = roundedDecimal(value, significant);
    if (d.exponent >= significant) return appendScientificText(text, d, minExponentDigits);
    roundDecimals(d, decimals);
    appendFixedText(text, d, decimals);
}

std::string formatGeneral(double value, int precision, int minExponentDigits) {
    std::string text;
    appendGeneral(text, value, precision, minExponentDigits);
    return text;
}

std::string formatFixed(double value, int significant, int decimals, int minExponentDigits) {
    std::string text;
    appendFixed(text, value, significant, decimals, minExponentDigits);
    return text;
}

} // namespace veldrin
