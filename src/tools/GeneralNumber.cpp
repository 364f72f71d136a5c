#include "tools/GeneralNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace veldrin {

namespace {

// |value| = 0.d0d1d2... with d0 standing for 10^exponent.
struct Digits {
    std::string digits;
    int exponent = 0;
};

// The exact decimal expansion (a double has at most 767 significant digits), so that rounding sees
// true ties only.
Digits exactDigits(double magnitude) {
    char buffer[800];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 767);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');
    Digits d;
    for (char c : text.substr(0, e))
        if (c != '.') d.digits.push_back(c);
    d.exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
    return d;
}

void roundToSignificant(Digits& d, int precision) {
    if (static_cast<int>(d.digits.size()) <= precision) return;
    const bool up = d.digits[static_cast<std::size_t>(precision)] >= '5';
    d.digits.resize(static_cast<std::size_t>(precision));
    if (!up) return;
    int i = precision - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') d.digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
        ++d.digits[static_cast<std::size_t>(i)];
    } else {
        d.digits.insert(d.digits.begin(), '1');
        d.digits.pop_back();
        ++d.exponent;
    }
}

void dropTrailingZeros(std::string& digits) {
    const std::size_t last = digits.find_last_not_of('0');
    digits.resize(last == std::string::npos ? 1 : last + 1);
}

std::string scientificText(const Digits& d, int minExponentDigits) {
    std::string text = d.digits.substr(0, 1);
    if (d.digits.size() > 1) text += "." + d.digits.substr(1);
    text += 'E';
    if (d.exponent < 0) text += '-';
    const std::string power = std::to_string(std::abs(d.exponent));
    if (static_cast<int>(power.size()) < minExponentDigits) text.append(static_cast<std::size_t>(minExponentDigits) - power.size(), '0');
    return text + power;
}

std::string fixedText(const Digits& d) {
    if (d.exponent < 0) return "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    const std::size_t integerDigits = static_cast<std::size_t>(d.exponent) + 1;
    if (d.digits.size() <= integerDigits) return d.digits + std::string(integerDigits - d.digits.size(), '0');
    return d.digits.substr(0, integerDigits) + "." + d.digits.substr(integerDigits);
}

} // namespace

std::string formatGeneral(double value, int precision, int minExponentDigits) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    Digits d = exactDigits(std::fabs(value));
    precision = std::max(precision, 1);
    roundToSignificant(d, precision);
    dropTrailingZeros(d.digits);
    const std::string sign = value < 0 ? "-" : "";
    // The notation follows the rounded value, so 0.0000099999999 rounded to 1E-5 reads 0.00001.
    if (d.exponent < -5 || d.exponent >= precision) return sign + scientificText(d, minExponentDigits);
    return sign + fixedText(d);
}

} // namespace veldrin
