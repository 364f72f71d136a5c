// The whole-buffer inflater against zlib's streaming one: the same bytes for every kind of stream (its
// room guessed too small, once and many times over), the same refusal with the same message.
#include "level/Inflate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <zlib.h>

#include "base/Error.h"
#include "internal/ZlibInflate.h"

namespace veldrin::test {
namespace {

std::vector<uint8_t> deflateAt(const std::vector<uint8_t>& bytes, int level) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> out(size);
    EXPECT_EQ(compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), level), Z_OK);
    out.resize(size);
    return out;
}

std::vector<uint8_t> noise(std::size_t size) {
    std::vector<uint8_t> bytes(size);
    uint32_t seed = 7;
    for (uint8_t& b : bytes) b = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    return bytes;
}

// What inflating gives: the bytes, or the refusal's message.
std::string outcome(const auto& inflate) {
    try {
        const auto bytes = inflate();
        return std::string(bytes.begin(), bytes.end());
    } catch (const VeldrinError& e) {
        return std::string("refused: ") + e.what();
    }
}

TEST(Inflate, GivesWhatZlibGivesForEveryStream) {
    std::vector<uint8_t> pattern;
    for (int i = 0; i < 40000; ++i) pattern.push_back(static_cast<uint8_t>("abcabd"[i % 6] + i / 4000));
    std::vector<uint8_t> trailing = deflateAt(pattern, 6);
    trailing.insert(trailing.end(), {1, 2, 3, 4});
    std::vector<uint8_t> badChecksum = deflateAt(pattern, 6);
    badChecksum.back() ^= 1;
    std::vector<uint8_t> badData = deflateAt(noise(5000), 9);
    badData[2] = 0xFF; // a block type no stream has
    const std::vector<uint8_t> whole = deflateAt(pattern, 9);

    struct Case {
        const char* what;
        std::vector<uint8_t> stream;
        std::size_t maxSize = kMaxInflatedSize;
    };
    const std::vector<Case> cases{
        {"stored noise", deflateAt(noise(70000), 0)},
        {"compressed noise", deflateAt(noise(5000), 9)},
        {"a pattern, past the first room", deflateAt(pattern, 9)},
        {"zeros, to the most a stream holds", deflateAt(std::vector<uint8_t>(2000000, 0), 9)},
        {"nothing", deflateAt({}, 6)},
        {"bytes after the stream", trailing},
        {"at its limit", whole, pattern.size()},
        {"one byte past its limit", whole, pattern.size() - 1},
        {"a wrong checksum", badChecksum},
        {"a bad block", badData},
        {"truncated", std::vector<uint8_t>(whole.begin(), whole.end() - 9)},
        {"no header", {'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'}},
        {"empty", {}},
    };
    for (const Case& c : cases) {
        const std::string zlib = outcome([&] { return inflateWithZlib(c.stream, "GAME.DTZ", c.maxSize); });
        const std::string vector = outcome([&] { return inflateStream(c.stream, "GAME.DTZ", c.maxSize); });
        const std::string whole = outcome([&] {
            const InflatedBytes inflated = inflateWhole(c.stream, "GAME.DTZ", c.maxSize);
            return std::vector<uint8_t>(inflated.bytes().begin(), inflated.bytes().end());
        });
        // Compared whole, shown by their openings: the streams inflate to megabytes.
        EXPECT_TRUE(vector == zlib) << c.what << ": " << vector.substr(0, 80) << " / zlib: " << zlib.substr(0, 80);
        EXPECT_TRUE(whole == zlib) << c.what << ": " << whole.substr(0, 80) << " / zlib: " << zlib.substr(0, 80);
    }
}

} // namespace
} // namespace veldrin::test
