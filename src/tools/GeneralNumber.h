#pragma once
#include <string>

namespace veldrin {

// A number in general notation, as the developer dump writes it: rounded to `precision` significant
// digits (halves away from zero) and written as briefly as possible, trailing zeros and a bare point
// dropped ("1", "-0.25", "1234.5678"). Scientific notation is used when the rounded magnitude is
// below 0.00001 or its integer part has more than `precision` digits: the mantissa without trailing
// zeros, "E", a minus sign only for a negative exponent, and at least `minExponentDigits` exponent
// digits ("1.5E-0006" with 4, "1.5E-6" with 0). "." is the decimal separator whatever the locale.
std::string formatGeneral(double value, int precision, int minExponentDigits);

} // namespace veldrin
