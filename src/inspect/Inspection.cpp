#include "inspect/Inspection.h"

#include <fstream>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"

namespace veldrin::inspect {

namespace {

constexpr std::size_t kHeadSize = 4096;

std::vector<uint8_t> readHead(const std::filesystem::path& path, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes(size);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (in.bad()) throw VeldrinError(path.string() + ": cannot be read");
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::optional<FileKind> kindOfText(std::span<const uint8_t> head) {
    for (const TextSection& s : readTextSections(head, "")) {
        if (isDefinitionKeyword(s.keyword)) return FileKind::Ide;
        if (isPlacementKeyword(s.keyword)) return FileKind::Ipl;
    }
    return std::nullopt;
}

std::filesystem::path directoryBeside(const std::filesystem::path& img) {
    for (const char* extension : {".dir", ".DIR", ".Dir"}) {
        std::filesystem::path dir = img;
        dir.replace_extension(extension);
        if (std::filesystem::is_regular_file(dir)) return dir;
    }
    return {};
}

} // namespace

std::string kindName(FileKind kind) {
    switch (kind) {
    case FileKind::Dff: return "DFF";
    case FileKind::Txd: return "TXD";
    case FileKind::Chunks: return "chunk stream";
    case FileKind::Col: return "COL";
    case FileKind::ImgVer2:
    case FileKind::ImgWithDir: return "IMG";
    case FileKind::Dir: return "DIR";
    case FileKind::Ide: return "IDE";
    case FileKind::Ipl: return "IPL";
    }
    return "";
}

std::optional<FileKind> detectKind(const std::filesystem::path& path, std::span<const uint8_t> head) {
    const std::string extension = toLower(path.extension().string());
    if (startsCollisionRecord(head)) return FileKind::Col;
    if (startsVer2(head)) return FileKind::ImgVer2;
    // A headerless archive opens with its first entry, so only its name tells it.
    if (extension == ".img") return FileKind::ImgWithDir;
    if (head.size() >= 12) {
        const uint32_t type = loadU32(head.data());
        if (type == chunk_type::Clump) return FileKind::Dff;
        if (type == chunk_type::TextureDictionary) return FileKind::Txd;
    }
    if (looksLikeText(head)) {
        // Cut at the last line end: the head may stop inside a line.
        const std::size_t end = std::string_view(reinterpret_cast<const char*>(head.data()), head.size()).rfind('\n');
        if (const auto kind = kindOfText(head.first(end == std::string_view::npos ? head.size() : end))) return kind;
    }
    if (extension == ".dff") return FileKind::Dff;
    if (extension == ".txd") return FileKind::Txd;
    if (extension == ".col") return FileKind::Col;
    if (extension == ".img") return FileKind::ImgWithDir;
    if (extension == ".dir") return FileKind::Dir;
    if (extension == ".ide") return FileKind::Ide;
    if (extension == ".ipl") return FileKind::Ipl;
    if (head.size() >= 12 && holdsChunks(loadU32(head.data()))) return FileKind::Chunks;
    return std::nullopt;
}

Inspection inspectFile(const std::filesystem::path& path) {
    requireInputFile(path);
    const std::string what = path.string();
    Inspection out;
    out.path = path;
    out.size = static_cast<int64_t>(std::filesystem::file_size(path));
    const std::vector<uint8_t> head = readHead(path, kHeadSize);
    const std::optional<FileKind> kind = detectKind(path, head);
    if (!kind) {
        throw VeldrinError(what + ": cannot tell what this file holds; it reads as none of DFF, TXD, COL, IMG, DIR, IDE or IPL "
                                  "and its extension names none of them");
    }
    out.kind = *kind;
    switch (*kind) {
    case FileKind::ImgVer2: {
        const int64_t headerSize = ver2HeaderSize(head);
        if (headerSize > out.size) {
            throw VeldrinError(what + ": its directory of " + std::to_string((headerSize - 8) / kEntrySize) +
                               " entries runs past the file's " + std::to_string(out.size) + " bytes");
        }
        out.entries = readVer2Entries(readHead(path, static_cast<std::size_t>(headerSize)), what);
        checkEntriesInside(out.entries, out.size, what);
        return out;
    }
    case FileKind::ImgWithDir: {
        out.directory = directoryBeside(path);
        if (out.directory.empty()) {
            throw VeldrinError(what + ": does not open with VER2 and has no .DIR of the same name beside it; inspect the .DIR, "
                                      "or put it beside the IMG");
        }
        out.entries = readDirEntries(readWholeFile(out.directory), out.directory.string());
        checkEntriesInside(out.entries, out.size, what);
        return out;
    }
    default: break;
    }
    const std::vector<uint8_t> bytes = readWholeFile(path);
    switch (*kind) {
    case FileKind::Dff:
    case FileKind::Chunks: out.chunks = readChunkTree(bytes, what, true); break;
    case FileKind::Txd: {
        TxdDictionary txd = readTxd(bytes, what);
        out.chunks.push_back(std::move(txd.root));
        out.textures = std::move(txd.textures);
        break;
    }
    case FileKind::Col: out.records = readCollisionFile(bytes, what, true); break;
    case FileKind::Dir: out.entries = readDirEntries(bytes, what); break;
    case FileKind::Ide:
    case FileKind::Ipl:
        if (bytes.size() >= 4 && std::string(bytes.begin(), bytes.begin() + 4) == "bnry")
            throw VeldrinError(what + ": is a binary IPL, which inspect does not read");
        if (!looksLikeText(bytes)) throw VeldrinError(what + ": holds bytes that are not text, so it is no " + kindName(*kind));
        out.sections = readTextSections(bytes, what);
        break;
    default: break;
    }
    return out;
}

} // namespace veldrin::inspect
