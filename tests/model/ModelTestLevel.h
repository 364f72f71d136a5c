#pragma once
// Places encoded geometry parts in a level buffer at known positions, behind some unrelated bytes.
#include <cstdint>
#include <vector>

#include "support/ModelEncoder.h"

namespace veldrin::test {

struct TestLevel {
    std::vector<uint8_t> bytes;
    int64_t firstPart = 0;
    int64_t secondPart = 0; // 0 = none
};

inline TestLevel placeParts(GameVersion edition, const TestModelPart& first, const TestModelPart* second = nullptr) {
    TestLevel level;
    level.bytes.assign(100, 0xCD);
    level.firstPart = static_cast<int64_t>(level.bytes.size());
    const auto a = encodeModelPart(edition, first);
    level.bytes.insert(level.bytes.end(), a.begin(), a.end());
    if (second) {
        level.bytes.insert(level.bytes.end(), 36, 0xCD);
        level.secondPart = static_cast<int64_t>(level.bytes.size());
        const auto b = encodeModelPart(edition, *second);
        level.bytes.insert(level.bytes.end(), b.begin(), b.end());
    }
    return level;
}

// A strip of `count` vertices with distinct positions, texture coordinates and colours.
inline std::vector<TestVertex> distinctStrip(int count, int16_t base = 0) {
    std::vector<TestVertex> strip;
    for (int i = 0; i < count; ++i) {
        strip.push_back({static_cast<int16_t>(base + i), static_cast<int16_t>(-3 * i), static_cast<int16_t>(i * 7 + 1),
                         static_cast<uint8_t>(i % 256), static_cast<uint8_t>((i * 5) % 256),
                         static_cast<uint16_t>(i * 33 % 0x8000)});
    }
    return strip;
}

inline const GameVersion kAllEditions[] = {GameVersion::LcsPs2, GameVersion::VcsPs2, GameVersion::LcsPsp,
                                           GameVersion::VcsPsp};

} // namespace veldrin::test
