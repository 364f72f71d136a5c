#pragma once
#include <cstddef>
#include <cstdint>

#include "base/Editions.h"
#include "base/Error.h"

// What every fuzz target shares: the entry point, its size cap, and the errors that count as a clean
// refusal. Any other exception escapes and libFuzzer reports it as a crash.
namespace veldrin::fuzz {

inline GameVersion editionOf(uint8_t bits) { return static_cast<GameVersion>(1 + (bits & 3)); }
inline TargetGame targetOf(uint8_t bits) { return static_cast<TargetGame>(1 + (bits & 3) % 3); }

// Runs `body` and swallows the readers' own refusals.
template <typename Body>
void refusalsAreFine(Body&& body) {
    try {
        body();
    } catch (const VeldrinError&) {
    }
}

} // namespace veldrin::fuzz
