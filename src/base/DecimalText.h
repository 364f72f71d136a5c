#pragma once
#include <string>

namespace veldrin {

// Decimal texts of numbers, rounded on the exact decimal value of the double (halves away from zero),
// with "." as the separator whatever the locale. Non-finite values read "NAN", "INF", "-INF".
// Precisions above 40 significant digits are taken as 40.

// General notation: rounded to `precision` significant digits and written as briefly as possible,
// trailing zeros and a bare point dropped ("1", "-0.25", "0.7071068"). Scientific notation when the
// rounded magnitude is below 0.00001 or its integer part has more than `precision` digits: mantissa
// without trailing zeros, "E", a minus sign only for a negative exponent, at least
// `minExponentDigits` exponent digits ("1.5E-06" with 2, "1.5E-0006" with 4).
std::string formatGeneral(double value, int precision, int minExponentDigits);
void appendGeneral(std::string& text, double value, int precision, int minExponentDigits);

// Fixed notation: rounded to `significant` digits, then to `decimals` decimals, written with exactly
// that many decimals ("2.500", "-0.250"); scientific as above when the integer part has more than
// `significant` digits. A value that rounds to zero has no minus sign.
std::string formatFixed(double value, int significant, int decimals, int minExponentDigits);
void appendFixed(std::string& text, double value, int significant, int decimals, int minExponentDigits);

} // namespace veldrin
