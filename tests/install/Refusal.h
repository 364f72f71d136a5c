#pragma once
#include <functional>
#include <string>

#include "base/Error.h"

namespace veldrin::install {

// The message of the VeldrinError `action` throws; "(no refusal)" when it throws none.
inline std::string refusalOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const VeldrinError& e) {
        return e.what();
    }
    return "(no refusal)";
}

} // namespace veldrin::install
