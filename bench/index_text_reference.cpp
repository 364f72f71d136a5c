// The IDE/IPL text builders as they were before the digit work was made fast: numbers rounded on the
// full exact decimal expansion of the double, every field its own string. Kept so the bench can time
// today's builders against them and check that both give the same text.
#include "index_text_reference.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

namespace veldrin::reference {


namespace {

// A finite number as decimal digits: |value| = d0.d1d2... x 10^exponent.
struct Decimal {
    bool negative = false;
    std::string digits = "0"; // no leading zero unless the value is zero
    int exponent = 0;

    bool isZero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

Decimal scientificDigits(double magnitude, int precision) {
    char buffer[1024];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, precision);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');
    Decimal d;
    d.digits.clear();
    for (char c : text.substr(0, e))
        if (c != '.') d.digits.push_back(c);
    d.exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
    return d;
}

// The exact decimal expansion of `value` (a double has at most 767 significant digits), so that
// rounding halves away from zero sees true ties and nothing that merely looks like one.
Decimal exactDecimal(double value) {
    if (value == 0) return Decimal{};
    Decimal d = scientificDigits(std::fabs(value), 767);
    d.negative = value < 0;
    return d;
}

// Keeps the first `count` digits (count may be 0 or negative: nothing of the digits survives),
// rounding halves away from zero.
void keepDigits(Decimal& d, int count) {
    if (count >= static_cast<int>(d.digits.size())) return;
    const char firstDropped = count >= 0 ? d.digits[static_cast<std::size_t>(count)] : '0';
    if (count <= 0) {
        // Only a carry into the position above the first digit can survive.
        if (firstDropped >= '5') {
            d.exponent = d.exponent - count + 1;
            d.digits = "1";
        } else {
            d = Decimal{d.negative, "0", 0};
        }
        return;
    }
    d.digits.resize(static_cast<std::size_t>(count));
    if (firstDropped < '5') return;
    int i = count - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') d.digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
        ++d.digits[static_cast<std::size_t>(i)];
    } else {
        d.digits.insert(d.digits.begin(), '1');
        d.digits.pop_back();
        ++d.exponent;
    }
}

void roundSignificant(Decimal& d, int significant) {
    if (!d.isZero()) keepDigits(d, significant);
}

void roundDecimals(Decimal& d, int decimals) {
    // Digit i stands for 10^(exponent - i); keep those down to 10^-decimals.
    if (!d.isZero()) keepDigits(d, d.exponent + decimals + 1);
}

char digitAt(const Decimal& d, int power) {
    const int index = d.exponent - power;
    return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(index)] : '0';
}

std::string signPrefix(const Decimal& d) { return d.negative && !d.isZero() ? "-" : ""; }

std::string fixedText(const Decimal& d, int decimals) {
    std::string text = signPrefix(d);
    for (int power = std::max(d.exponent, 0); power >= -decimals; --power) {
        text.push_back(digitAt(d, power));
        if (power == 0 && decimals > 0) text.push_back('.');
    }
    return text;
}

std::string trimmedDigits(const Decimal& d) {
    const std::size_t last = d.digits.find_last_not_of('0');
    return last == std::string::npos ? "0" : d.digits.substr(0, last + 1);
}

// "1.5E-06": the mantissa without trailing zeros, a minus sign only for a negative exponent,
// and at least `minExponentDigits` exponent digits.
std::string scientificText(const Decimal& d, int minExponentDigits) {
    const std::string digits = trimmedDigits(d);
    std::string text = signPrefix(d) + digits.substr(0, 1);
    if (digits.size() > 1) text += "." + digits.substr(1);
    text += 'E';
    if (d.exponent < 0) text += '-';
    const std::string power = std::to_string(std::abs(d.exponent));
    if (static_cast<int>(power.size()) < minExponentDigits)
        text.append(static_cast<std::size_t>(minExponentDigits) - power.size(), '0');
    return text + power;
}

// As briefly as possible: trailing zeros removed, no point when no fraction remains.
std::string generalText(const Decimal& d) {
    const std::string digits = trimmedDigits(d);
    const int fractionDigits = std::max(static_cast<int>(digits.size()) - 1 - d.exponent, 0);
    Decimal trimmed = d;
    trimmed.digits = digits;
    return fixedText(trimmed, fractionDigits);
}

std::string nonFiniteText(double value) {
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

} // namespace

std::string formatGeneral(double value, int precision, int minExponentDigits) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    precision = std::max(precision, 1);
    Decimal d = exactDecimal(value);
    roundSignificant(d, precision);
    if (d.isZero()) return "0";
    // The notation follows the rounded value: 0.00001f (just below 1E-5) still reads 0.00001.
    if (d.exponent < -5 || d.exponent >= precision) return scientificText(d, minExponentDigits);
    return generalText(d);
}

std::string formatFixed(double value, int significant, int decimals, int minExponentDigits) {
    if (!std::isfinite(value)) return nonFiniteText(value);
    Decimal d = exactDecimal(value);
    roundSignificant(d, significant);
    if (d.exponent >= significant) return scientificText(d, minExponentDigits);
    roundDecimals(d, decimals);
    return fixedText(d, decimals);
}

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kSeparator = ", ";

std::string joined(std::initializer_list<std::string_view> fields) {
    std::string line;
    for (std::string_view field : fields) {
        if (!line.empty()) line += kSeparator;
        line += field;
    }
    line += kEol;
    return line;
}

} // namespace

std::string formatIplPosition(double value) { return formatFixed(value, 8, 3, 2); }

std::string formatIplRotation(float value) { return formatGeneral(value, 7, 2); }

std::string ideObjsLine(int32_t id, std::string_view name, std::string_view txdName, int32_t drawDistance, int32_t flags) {
    return joined({std::to_string(id), name, txdName, "1", std::to_string(drawDistance), std::to_string(flags)});
}

std::string iplInstanceLine(TargetGame target, const IplInstance& instance) {
    const std::string id = std::to_string(instance.id);
    const std::string x = formatIplPosition(instance.position[0]);
    const std::string y = formatIplPosition(instance.position[1]);
    const std::string z = formatIplPosition(instance.position[2]);
    const std::string rx = formatIplRotation(instance.rotation[0]);
    const std::string ry = formatIplRotation(instance.rotation[1]);
    const std::string rz = formatIplRotation(instance.rotation[2]);
    const std::string rw = formatIplRotation(instance.rotation[3]);
    switch (target) {
    case TargetGame::Gta3: return joined({id, instance.name, x, y, z, "1", "1", "1", rx, ry, rz, rw});
    case TargetGame::GtaVc: return joined({id, instance.name, "0", x, y, z, "1", "1", "1", rx, ry, rz, rw});
    case TargetGame::GtaSa: return joined({id, instance.name, "0", x, y, z, rx, ry, rz, rw, "-1"});
    }
    return {};
}

} // namespace veldrin::reference
