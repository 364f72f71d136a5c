#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "inspect/ChunkTree.h"
#include "inspect/CollisionRead.h"
#include "inspect/ImgRead.h"
#include "inspect/ItemText.h"
#include "inspect/TxdRead.h"

namespace veldrin::inspect {

enum class FileKind { Dff, Txd, Chunks, Col, ImgVer2, ImgWithDir, Dir, Ide, Ipl };

// "DFF", "TXD", "chunk stream", "COL", "IMG", "DIR", "IDE", "IPL".
std::string kindName(FileKind kind);

// What a file holds, told by its first bytes where they tell it (chunk, collision and archive tags,
// the section keywords of text files), else by its extension; nothing when neither does.
std::optional<FileKind> detectKind(const std::filesystem::path& path, std::span<const uint8_t> head);

// What one file holds, as the inspect command lists it.
struct Inspection {
    FileKind kind = FileKind::Dff;
    std::filesystem::path path;
    int64_t size = 0;
    std::vector<ChunkNode> chunks;     // DFF, TXD, chunk stream
    std::vector<TxdTexture> textures;  // TXD
    std::filesystem::path directory;   // IMG: the .DIR read beside it
    std::vector<ImgEntry> entries;     // IMG, DIR
    std::vector<CollRecord> records;   // COL
    std::vector<TextSection> sections; // IDE, IPL
};

// Reads the file and what it holds. An IMG without "VER2" is read through the .DIR of the same name
// beside it; of an IMG only the directory is read, and its entries are checked against the file's size.
// Refusals are VeldrinError naming the file ("town.img: ..."), and for damaged data the record and offset.
Inspection inspectFile(const std::filesystem::path& path);

} // namespace veldrin::inspect
