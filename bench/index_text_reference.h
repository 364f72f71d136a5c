#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "pcout/IdeIpl.h"

namespace veldrin::reference {

std::string formatGeneral(double value, int precision, int minExponentDigits);
std::string formatFixed(double value, int significant, int decimals, int minExponentDigits);
std::string formatIplPosition(double value);
std::string formatIplRotation(float value);
std::string ideObjsLine(int32_t id, std::string_view name, std::string_view txdName, int32_t drawDistance, int32_t flags);
std::string iplInstanceLine(TargetGame target, const IplInstance& instance);

} // namespace veldrin::reference
