#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veldrin::inspect {

struct CollSphere {
    float radius = 0;
    std::array<float, 3> centre{};
    std::array<uint8_t, 4> surface{};
};
struct CollBox {
    std::array<float, 3> min{}, max{};
    std::array<uint8_t, 4> surface{};
};
struct CollFace {
    std::array<uint32_t, 3> corners{};
    uint32_t surface = 0; // version 1: the 4-byte surface; later versions: material | light << 8
};

// One record of a PC collision file: "COLL" (version 1), "COL2" or "COL3".
struct CollRecord {
    std::string format; // the four bytes that open it
    std::size_t offset = 0;
    uint32_t size = 0;  // bytes after the 8-byte header
    std::string name;   // up to the first zero of the 22-byte name field
    uint16_t modelId = 0;
    std::string modelTag; // the 4 bytes from the 21st byte of the name field on, as version 1 writers fill them
    float radius = 0;
    std::array<float, 3> centre{}, min{}, max{};
    std::vector<CollSphere> spheres;
    uint32_t lineCount = 0; // the section between spheres and boxes that no game fills
    std::vector<CollBox> boxes;
    std::vector<std::array<float, 3>> vertices; // later versions: those up to the largest face corner
    std::vector<CollFace> faces;
    uint32_t shadowFaceCount = 0; // COL3
};

// Every record of a collision file, back to back. A record's sections must lie inside the size its
// header gives, and version 1 records must end exactly there. With `padded`, zero bytes after the last
// record (an archive entry's sector padding) end the file. Refusals are VeldrinError naming `what`,
// the record and its offset.
// Safe for untrusted input: every count is checked against the record's bytes before anything is kept.
std::vector<CollRecord> readCollisionFile(std::span<const uint8_t> file, const std::string& what, bool padded = false);

// True when `bytes` open with one of the record tags above.
bool startsCollisionRecord(std::span<const uint8_t> bytes);

} // namespace veldrin::inspect
