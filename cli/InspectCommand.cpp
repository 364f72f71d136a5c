#include "cli/InspectCommand.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "base/Error.h"

namespace veldrin::cli {

namespace {

using inspect::ChunkNode;
using inspect::FileKind;
using Json = nlohmann::ordered_json;

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// A name as the file holds it, one byte to a character (Latin-1): the games' names are bytes in their own
// code page, not UTF-8, and this way each name prints as valid JSON and turns back into the same bytes,
// where replacing the bytes that are not UTF-8 would make different names read alike.
std::string latin1Text(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (b >> 6));
            text += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return text;
}

std::string typeText(uint32_t type) {
    const std::string name = inspect::chunkTypeName(type);
    return name.empty() ? "chunk " + hex(type) : name + " (" + hex(type) + ")";
}

// One line per chunk, indented by depth; the library version where it differs from the parent's.
void chunkLines(const ChunkNode& node, int depth, uint32_t parentStamp, std::string& out) {
    out += std::string(2 + 2 * depth, ' ') + typeText(node.type) + ", " + std::to_string(node.size) + " bytes at " +
           std::to_string(node.offset);
    if (node.stamp != parentStamp) out += ", version " + inspect::libraryVersion(node.stamp) + " (stamp " + hex(node.stamp) + ")";
    out += "\n";
    for (const ChunkNode& c : node.children) chunkLines(c, depth + 1, node.stamp, out);
}

Json chunkJson(const ChunkNode& node) {
    Json j{{"type", node.type}, {"name", inspect::chunkTypeName(node.type)}, {"offset", node.offset}, {"size", node.size},
           {"stamp", hex(node.stamp)}, {"version", inspect::libraryVersion(node.stamp)}};
    if (inspect::holdsChunks(node.type)) {
        Json children = Json::array();
        for (const ChunkNode& c : node.children) children.push_back(chunkJson(c));
        j["children"] = std::move(children);
    }
    return j;
}

std::string paddedRight(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string paddedLeft(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string headline(const inspect::Inspection& in) {
    std::string line = in.path.string() + ": " + inspect::kindName(in.kind) + ", " + std::to_string(in.size) + " bytes";
    if (!in.directory.empty()) line += ", directory " + in.directory.string();
    return line + "\n";
}

} // namespace

std::string inspectionText(const inspect::Inspection& in) {
    std::string out = headline(in);
    switch (in.kind) {
    case FileKind::Dff:
    case FileKind::Txd:
    case FileKind::Chunks:
        for (const ChunkNode& root : in.chunks) chunkLines(root, 0, 0, out);
        if (in.kind == FileKind::Txd) {
            out += std::to_string(in.textures.size()) + " texture(s):\n";
            for (const inspect::TxdTexture& t : in.textures) {
                if (t.platform != inspect::kPcPlatformD3d8 && t.platform != inspect::kPcPlatformD3d9) {
                    out += "  (platform " + hex(t.platform) + ", not a PC texture: not read)\n";
                    continue;
                }
                out += "  " + paddedRight(t.name, 32) + " " + std::to_string(t.width) + "x" + std::to_string(t.height) + ", " +
                       std::to_string(t.depth) + "-bit, " + std::to_string(t.levelCount) + " level(s), raster format " +
                       hex(t.rasterFormat) + "\n";
            }
        }
        break;
    case FileKind::ImgVer2:
    case FileKind::ImgWithDir:
    case FileKind::Dir:
        out += std::to_string(in.entries.size()) + " entr" + (in.entries.size() == 1 ? "y" : "ies") + " (offset and size in bytes):\n";
        for (const inspect::ImgEntry& e : in.entries) {
            out += "  " + paddedRight(e.name, 24) + " " + paddedLeft(std::to_string(int64_t(e.offset) * inspect::kSectorSize), 12) +
                   " " + paddedLeft(std::to_string(int64_t(e.sectors) * inspect::kSectorSize), 10) + "\n";
        }
        break;
    case FileKind::Col:
        out += std::to_string(in.records.size()) + " collision record(s):\n";
        for (const inspect::CollRecord& r : in.records) {
            out += "  " + r.format + " " + paddedRight(r.name, 22) + " " + std::to_string(r.spheres.size()) + " sphere(s), " +
                   std::to_string(r.boxes.size()) + " box(es), " + std::to_string(r.vertices.size()) + " vertices, " +
                   std::to_string(r.faces.size()) + " face(s)";
            if (r.format == "COL3") out += ", " + std::to_string(r.shadowFaceCount) + " shadow face(s)";
            out += "\n";
        }
        break;
    case FileKind::Ide:
    case FileKind::Ipl:
        out += std::to_string(in.sections.size()) + " section(s):\n";
        for (const inspect::TextSection& s : in.sections) {
            out += "  " + paddedRight(s.keyword, 6) + " " + std::to_string(s.lines) + " line(s), from line " + std::to_string(s.line) +
                   (s.closed ? "" : ", no \"end\"") + "\n";
        }
        break;
    }
    return out;
}

std::string inspectionJson(const inspect::Inspection& in) {
    Json j{{"file", in.path.string()}, {"kind", inspect::kindName(in.kind)}, {"bytes", in.size}};
    switch (in.kind) {
    case FileKind::Dff:
    case FileKind::Txd:
    case FileKind::Chunks: {
        Json chunks = Json::array();
        for (const ChunkNode& root : in.chunks) chunks.push_back(chunkJson(root));
        j["chunks"] = std::move(chunks);
        if (in.kind == FileKind::Txd) {
            Json textures = Json::array();
            for (const inspect::TxdTexture& t : in.textures) {
                Json texture{{"platform", t.platform}};
                if (t.platform == inspect::kPcPlatformD3d8 || t.platform == inspect::kPcPlatformD3d9) {
                    texture.update({{"name", latin1Text(t.name)}, {"mask", latin1Text(t.mask)}, {"width", t.width},
                                    {"height", t.height}, {"depth", t.depth},
                                    {"levels", t.levelCount}, {"rasterFormat", t.rasterFormat}});
                }
                textures.push_back(std::move(texture));
            }
            j["textures"] = std::move(textures);
        }
        break;
    }
    case FileKind::ImgVer2:
    case FileKind::ImgWithDir:
    case FileKind::Dir: {
        if (!in.directory.empty()) j["directory"] = in.directory.string();
        j["layout"] = in.kind == FileKind::ImgVer2 ? "VER2" : in.kind == FileKind::ImgWithDir ? "IMG with DIR" : "DIR";
        Json entries = Json::array();
        for (const inspect::ImgEntry& e : in.entries) {
            entries.push_back({{"name", latin1Text(e.name)}, {"offset", int64_t(e.offset) * inspect::kSectorSize},
                               {"size", int64_t(e.sectors) * inspect::kSectorSize}, {"sector", e.offset}, {"sectors", e.sectors}});
        }
        j["entries"] = std::move(entries);
        break;
    }
    case FileKind::Col: {
        Json records = Json::array();
        for (const inspect::CollRecord& r : in.records) {
            Json record{{"format", r.format}, {"name", latin1Text(r.name)}, {"offset", r.offset}, {"size", r.size},
                        {"spheres", r.spheres.size()}, {"boxes", r.boxes.size()}, {"vertices", r.vertices.size()},
                        {"faces", r.faces.size()}};
            if (r.format == "COL3") record["shadowFaces"] = r.shadowFaceCount;
            records.push_back(std::move(record));
        }
        j["records"] = std::move(records);
        break;
    }
    case FileKind::Ide:
    case FileKind::Ipl: {
        Json sections = Json::array();
        for (const inspect::TextSection& s : in.sections)
            sections.push_back({{"section", latin1Text(s.keyword)}, {"line", s.line}, {"lines", s.lines}, {"closed", s.closed}});
        j["sections"] = std::move(sections);
        break;
    }
    }
    // The paths are the user's: one that is not UTF-8 shows its odd bytes as U+FFFD rather than failing.
    return j.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

CLI::App* addInspectCommand(CLI::App& root, InspectCommand& c) {
    CLI::App* cmd = root.add_subcommand("inspect", "List what a DFF, TXD, COL, IMG, DIR, IDE or IPL file holds");
    cmd->footer("The kind is told by the file's content where it can be, else by its extension. An IMG without a\n"
                "VER2 header is read through the .DIR of the same name beside it.\n"
                "Examples:\n"
                "  veldrin-cli inspect indust/indust17.dff\n"
                "      the chunk tree: type names, sizes, offsets and library versions\n"
                "  veldrin-cli inspect indust/INDUST.IMG --json\n");
    cmd->add_option("file", c.file, "the file to list")->option_text("FILE")->required();
    cmd->add_flag("--json", c.json, "print the listing as JSON")->disable_flag_override();
    return cmd;
}

int runInspectCommand(const InspectCommand& cmd) {
    try {
        const inspect::Inspection in = inspect::inspectFile(cmd.file);
        const std::string text = cmd.json ? inspectionJson(in) : inspectionText(in);
        std::fputs(text.c_str(), stdout);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", errorText(e).c_str());
        return 1;
    }
}

} // namespace veldrin::cli
