#include "inspect/ChunkTree.h"

#include <algorithm>
#include <cstdio>

#include "base/ByteReader.h"
#include "base/Error.h"

namespace veldrin::inspect {

namespace {

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

ChunkNode readChunk(const ByteReader& file, std::size_t at, std::size_t limit, int depth) {
    const std::string where = " at offset " + std::to_string(at);
    if (at + 12 > limit) {
        throw VeldrinError(file.what() + ": chunk header" + where + " runs past its parent (ends at " + std::to_string(limit) + ")");
    }
    ChunkNode node;
    node.offset = at;
    node.type = file.u32(static_cast<int64_t>(at), "chunk type");
    node.size = file.u32(static_cast<int64_t>(at + 4), "chunk size");
    node.stamp = file.u32(static_cast<int64_t>(at + 8), "chunk stamp");
    node.content = at + 12;
    if (node.size > limit - node.content) {
        throw VeldrinError(file.what() + ": " + describeType(node.type) + where + " declares " + std::to_string(node.size) +
                           " bytes, past its parent's end at " + std::to_string(limit));
    }
    if (!holdsChunks(node.type)) return node;
    if (depth >= kMaxChunkDepth) {
        throw VeldrinError(file.what() + ": " + describeType(node.type) + where + " nests deeper than " +
                           std::to_string(kMaxChunkDepth) + " chunks");
    }
    // A container holds whole chunks and nothing else, so its size is the sum of theirs.
    std::size_t child = node.content;
    while (child < node.end()) {
        node.children.push_back(readChunk(file, child, node.end(), depth + 1));
        child = node.children.back().end();
    }
    return node;
}

} // namespace

std::string describeType(uint32_t type) {
    const std::string name = chunkTypeName(type);
    return name.empty() ? "chunk " + hex(type) : name + " (" + hex(type) + ")";
}

std::string describeChunk(const ChunkNode& node) { return describeType(node.type) + " at offset " + std::to_string(node.offset); }

const ChunkNode& ChunkNode::child(std::size_t i) const {
    if (i >= children.size()) {
        throw VeldrinError(describeChunk(*this) + " has no child " + std::to_string(i));
    }
    return children[i];
}

const ChunkNode& ChunkNode::find(uint32_t wanted) const {
    for (const ChunkNode& c : children) {
        if (c.type == wanted) return c;
    }
    throw VeldrinError(describeChunk(*this) + " holds no " + describeType(wanted));
}

bool ChunkNode::has(uint32_t wanted) const {
    for (const ChunkNode& c : children) {
        if (c.type == wanted) return true;
    }
    return false;
}

std::vector<ChunkNode> readChunkTree(std::span<const uint8_t> bytes, const std::string& what, bool padded) {
    const ByteReader file(bytes, what);
    std::vector<ChunkNode> roots;
    std::size_t at = 0;
    if (bytes.empty()) throw VeldrinError(what + ": the file is empty");
    while (at < bytes.size()) {
        if (padded && !roots.empty() && std::all_of(bytes.begin() + at, bytes.end(), [](uint8_t b) { return b == 0; })) break;
        roots.push_back(readChunk(file, at, bytes.size(), 0));
        at = roots.back().end();
    }
    return roots;
}

ChunkNode readRootChunk(std::span<const uint8_t> bytes, const std::string& what) {
    std::vector<ChunkNode> roots = readChunkTree(bytes, what);
    if (roots.size() != 1) {
        throw VeldrinError(what + ": " + std::to_string(roots.size() - 1) + " chunk(s) follow the root chunk, which ends at offset " +
                           std::to_string(roots[0].end()));
    }
    return std::move(roots[0]);
}

bool holdsChunks(uint32_t type) {
    switch (type) {
    case chunk_type::Extension:
    case chunk_type::Texture:
    case chunk_type::Material:
    case chunk_type::MaterialList:
    case chunk_type::FrameList:
    case chunk_type::Geometry:
    case chunk_type::Clump:
    case chunk_type::Atomic:
    case chunk_type::TextureNative:
    case chunk_type::TextureDictionary:
    case chunk_type::GeometryList:
    case 0x05: // camera
    case 0x12: // light
        return true;
    default: return false;
    }
}

std::string chunkTypeName(uint32_t type) {
    switch (type) {
    case chunk_type::Struct: return "Struct";
    case chunk_type::String: return "String";
    case chunk_type::Extension: return "Extension";
    case 0x05: return "Camera";
    case chunk_type::Texture: return "Texture";
    case chunk_type::Material: return "Material";
    case chunk_type::MaterialList: return "Material List";
    case chunk_type::FrameList: return "Frame List";
    case chunk_type::Geometry: return "Geometry";
    case chunk_type::Clump: return "Clump";
    case 0x12: return "Light";
    case chunk_type::Atomic: return "Atomic";
    case chunk_type::TextureNative: return "Texture Native";
    case chunk_type::TextureDictionary: return "Texture Dictionary";
    case chunk_type::GeometryList: return "Geometry List";
    case 0x11E: return "Hierarchy Animation";
    case 0x116: return "Skin";
    case 0x11F: return "User Data";
    case 0x120: return "Material Effects";
    case chunk_type::BinMesh: return "Bin Mesh";
    case 0x0253F2F3: return "Pipeline Set";
    case 0x0253F2F6: return "Specular Material";
    case 0x0253F2F8: return "2d Effect";
    case chunk_type::NightColours: return "Night Vertex Colours";
    case 0x0253F2FA: return "Collision Model";
    case chunk_type::Reflection: return "Reflection Material";
    case 0x0253F2FD: return "Mesh Extension";
    case chunk_type::FrameName: return "Frame Name";
    default: return "";
    }
}

uint32_t libraryVersionNumber(uint32_t stamp) {
    // Newer stamps pack the version (less 3.0.0.0) in their upper bits beside a build number.
    if ((stamp & 0xFFFF0000u) != 0) return (((stamp >> 14) & 0x3FF00u) + 0x30000u) | ((stamp >> 16) & 0x3Fu);
    return stamp << 8;
}

std::string libraryVersion(uint32_t stamp) {
    const uint32_t version = libraryVersionNumber(stamp);
    return std::to_string(version >> 16) + "." + std::to_string((version >> 12) & 0xF) + "." +
           std::to_string((version >> 8) & 0xF) + "." + std::to_string(version & 0xFF);
}

bool stampsAgree(const ChunkNode& root) {
    const auto agree = [stamp = root.stamp](const ChunkNode& node, const auto& self) -> bool {
        if (node.stamp != stamp) return false;
        for (const ChunkNode& c : node.children) {
            if (!self(c, self)) return false;
        }
        return true;
    };
    return agree(root, agree);
}

} // namespace veldrin::inspect
