#include "support/GameFolderBuilder.h"

#include <algorithm>
#include <fstream>

namespace veldrin::test {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kSector = 2048;

void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void writeText(const fs::path& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void putU32(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
}

// Directory entries for entries laid out one after another from sector `first`.
std::vector<uint8_t> directory(const std::vector<ArchiveEntry>& entries, uint32_t first) {
    std::vector<uint8_t> dir(entries.size() * 32, 0);
    uint32_t sector = first;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const uint32_t sectors = uint32_t((entries[i].bytes.size() + kSector - 1) / kSector);
        putU32(dir, i * 32, sector);
        putU32(dir, i * 32 + 4, sectors);
        std::copy_n(entries[i].name.begin(), std::min<std::size_t>(entries[i].name.size(), 24), dir.begin() + long(i * 32 + 8));
        sector += sectors;
    }
    return dir;
}

std::vector<uint8_t> data(const std::vector<ArchiveEntry>& entries) {
    std::vector<uint8_t> img;
    for (const ArchiveEntry& e : entries) {
        img.insert(img.end(), e.bytes.begin(), e.bytes.end());
        img.resize((img.size() + kSector - 1) / kSector * kSector, 0);
    }
    return img;
}

// One definition line of an IDE section, and what it defines.
struct Definition {
    std::string section;
    int id;
    std::string model;
    std::string dictionary;
    std::string rest; // the section's further fields
};

std::vector<std::string> ideLines(const std::vector<Definition>& definitions, const std::vector<std::string>& otherSections,
                                  GameFolderContents& contents) {
    std::vector<std::string> lines{"# made up for the tests"};
    std::vector<std::string> sections;
    for (const Definition& d : definitions)
        if (std::find(sections.begin(), sections.end(), d.section) == sections.end()) sections.push_back(d.section);
    for (const std::string& section : sections) {
        lines.push_back(section);
        for (const Definition& d : definitions) {
            if (d.section != section) continue;
            lines.push_back(std::to_string(d.id) + ", " + d.model + ", " + d.dictionary + d.rest);
            contents.ids.insert(d.id);
            contents.modelNames.insert(d.model);
            if (d.dictionary != "null") contents.dictionaryNames.insert(d.dictionary);
        }
        lines.push_back("end");
    }
    // Sections whose lines name ids without defining them.
    lines.insert(lines.end(), otherSections.begin(), otherSections.end());
    ++contents.ideFiles;
    return lines;
}

std::vector<uint8_t> filler(std::size_t size, uint8_t seed) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = uint8_t(seed + i * 7);
    return bytes;
}

void addArchive(const fs::path& root, const std::string& imgPath, TargetGame target, const std::vector<ArchiveEntry>& entries,
                GameFolderContents& contents) {
    if (target == TargetGame::GtaSa) {
        writeFile(root / imgPath, ver2Archive(entries));
    } else {
        auto [dir, img] = dirArchive(entries);
        writeFile(root / imgPath, img);
        writeFile(root / fs::path(imgPath).replace_extension(".dir"), dir);
    }
    ++contents.archives;
    for (const ArchiveEntry& e : entries) {
        contents.archiveEntries.insert(e.name);
        if (e.name.size() > 4 && e.name.substr(e.name.size() - 4) == ".txd") contents.dictionaryNames.insert(e.name.substr(0, e.name.size() - 4));
        if (e.name.size() > 4 && e.name.substr(e.name.size() - 4) == ".col") ++contents.collisionFiles;
    }
}

} // namespace

std::pair<std::vector<uint8_t>, std::vector<uint8_t>> dirArchive(const std::vector<ArchiveEntry>& entries) {
    return {directory(entries, 0), data(entries)};
}

std::vector<uint8_t> ver2Archive(const std::vector<ArchiveEntry>& entries) {
    const uint32_t headerSectors = uint32_t((8 + entries.size() * 32 + kSector - 1) / kSector);
    std::vector<uint8_t> out(headerSectors * kSector, 0);
    std::copy_n("VER2", 4, out.begin());
    putU32(out, 4, uint32_t(entries.size()));
    const std::vector<uint8_t> dir = directory(entries, headerSectors);
    std::copy(dir.begin(), dir.end(), out.begin() + 8);
    const std::vector<uint8_t> body = data(entries);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

BuiltGameFolder buildGameFolder(const fs::path& root, TargetGame target) {
    BuiltGameFolder built;
    built.root = root;
    GameFolderContents& c = built.contents;
    const bool sa = target == TargetGame::GtaSa;
    const bool vc = target == TargetGame::GtaVc;
    const std::string dataName = sa ? "gta.dat" : vc ? "gta_vc.dat" : "gta3.dat";
    built.gameDataFile = root / "data" / dataName;

    // default.dat and its IDE: vehicles, peds, weapons, cutscene objects.
    writeText(root / "data" / "Default.IDE",
              ideLines({{"cars", 90, "landstal", "landstal", ", car, LANDSTAL, LANDSTK, null, richfamily, 10, 7, 0, 250, 0.8"},
                        {"cars", 91, "idaho", "idaho", ", car, IDAHO, IDAHO, null, normal, 10, 7, 0, 250, 0.8"},
                        {"peds", 1, "cop", "cop", ", COP, STAT_COP, man, 0, 0"},
                        {"weap", 172, "colt45", "colt45", ", colt45, 1, 30, 0"},
                        {"hier", 295, "cs_ped", "generic", ""},
                        {"objs", 200, "wheel_sport", "generic", ", 1, 20, 0"}},
                       {"txdp", "end"}, c));
    writeFile(root / "models" / "coll" / "Generic.col", filler(300, 1));
    writeText(root / "data" / "default.dat",
              {"#", "# default data file, made up for the tests", "#", "", "IDE DATA\\DEFAULT.IDE", "TEXDICTION MODELS\\GENERIC.TXD",
               "COLFILE 0 MODELS\\COLL\\GENERIC.COL", "SPLASH loadsc0"});
    c.dictionaryNames.insert("generic");
    ++c.collisionFiles; // the generic slot

    // The map: two IDE files, one IPL each, a collision line, a zone file.
    const std::vector<std::string> paths3 = {"path", "ped, 800, -1", "0, 0, 0, 0, 10, 0, 1, 1", "end", "2dfx",
                                             "800, 1.0, 2.0, 3.0, 255, 255, 255, 200, 0, \"coronastar\", \"shad_exp\", 100, 0, 0, 0, 0, 0", "end"};
    std::vector<Definition> indust{{"objs", 800, "indust_a", "indust", ", 1, 120, 0"},
                                   {"objs", 801, "indust_b", "indust", ", 1, 120, 4"},
                                   {"objs", 802, "lod_indust", "indust_lod", ", 1, 1500, 0"},
                                   {"tobj", 805, "nightwin", "indust", ", 1, 100, 0, 20, 6"}};
    std::vector<Definition> generic{{"objs", 1200, "bench", "generic", ", 1, 50, 0"},
                                    {"objs", 1201, "lamppost", "generic", ", 1, 80, 0"}};
    if (vc || sa) indust.push_back({"anim", 806, "crane_arm", "indust", ", crane_arm, 120, 0"});
    if (sa) indust.push_back({"tanm", 807, "flag_wave", "indust", ", flag_wave, 100, 0, 20, 6"});
    writeText(root / "data" / "maps" / "indust" / "Indust.ide", ideLines(indust, sa ? std::vector<std::string>{"txdp", "indust, generic", "end"} : paths3, c));
    writeText(root / "data" / "maps" / "Generic.ide", ideLines(generic, {}, c));
    const std::vector<std::string> inst = sa ? std::vector<std::string>{"inst", "800, indust_a, 0, 10.0, 20.0, 5.0, 0, 0, 0, 1, -1",
                                                                       "801, indust_b, 0, 12.0, 20.0, 5.0, 0, 0, 0, 1, -1",
                                                                       "802, lod_indust, 0, 11.0, 20.0, 5.0, 0, 0, 0, 1, -1", "end"}
                                         : vc ? std::vector<std::string>{"inst", "800, indust_a, 0, 10.0, 20.0, 5.0, 1, 1, 1, 0, 0, 0, 1",
                                                                         "801, indust_b, 0, 12.0, 20.0, 5.0, 1, 1, 1, 0, 0, 0, 1",
                                                                         "802, lod_indust, 0, 11.0, 20.0, 5.0, 1, 1, 1, 0, 0, 0, 1", "end"}
                                              : std::vector<std::string>{"inst", "800, indust_a, 10.0, 20.0, 5.0, 1, 1, 1, 0, 0, 0, 1",
                                                                         "801, indust_b, 12.0, 20.0, 5.0, 1, 1, 1, 0, 0, 0, 1",
                                                                         "802, lod_indust, 11.0, 20.0, 5.0, 1, 1, 1, 0, 0, 0, 1", "end"};
    std::vector<std::string> ipl{"# placements"};
    ipl.insert(ipl.end(), inst.begin(), inst.end());
    ipl.insert(ipl.end(), {"cull", "end", "pick", "end"});
    writeText(root / "data" / "maps" / "indust" / "INDUST.IPL", ipl);
    writeText(root / "data" / "maps" / "Generic.ipl", {"inst", "1200, bench, " + std::string(sa || vc ? "0, " : "") +
                                                                   "1.0, 2.0, 3.0, " + (sa ? "" : "1, 1, 1, ") + "0, 0, 0, 1" + (sa ? ", -1" : ""),
                                                       "end"});
    writeText(root / "data" / "Map.zon", {"zone", "INDUST, 0, -100, -100, -50, 100, 100, 50, 1", "end"});
    writeFile(root / "models" / "coll" / "Indust.col", filler(500, 3));
    c.placements += 4;
    c.iplFiles += sa || vc ? 3 : 2; // GTA 3 names its zone file by MAPZONE

    // The game's own archive, and one more named by a line.
    std::vector<ArchiveEntry> own{{"indust_a.dff", filler(3000, 5)}, {"indust_b.dff", filler(2048, 6)},
                                  {"lod_indust.dff", filler(100, 7)}, {"indust.txd", filler(5000, 8)},
                                  {"landstal.dff", filler(700, 9)}, {"cop.dff", filler(10, 10)}};
    if (vc || sa) own.push_back({"indust.col", filler(400, 11)});
    if (sa) own.push_back({"indust_stream0.ipl", filler(64, 12)});
    addArchive(root, "models/gta3.img", target, own, c);
    addArchive(root, "models/Extra.img", target, {{"extra_prop.dff", filler(900, 13)}, {"extra.txd", filler(1200, 14)}}, c);
    ++c.archiveLines;
    if (sa) addArchive(root, "models/gta_int.img", target, {{"int_kitchen.dff", filler(800, 15)}}, c);

    const std::string archiveKeyword = sa ? "IMG" : "CDIMAGE";
    std::vector<std::string> lines{"#", "# Object types (made up for the tests)", "#", archiveKeyword + " MODELS\\EXTRA.IMG",
                                   "IDE DATA\\MAPS\\generic.ide", "IDE DATA\\MAPS\\INDUST\\INDUST.IDE", "",
                                   "# collision", "COLFILE 1 MODELS\\COLL\\INDUST.COL", "SPLASH loadsc1", ""};
    if (!sa && !vc) lines.push_back("MAPZONE DATA\\MAP.ZON");
    else lines.push_back("IPL DATA\\MAP.ZON");
    lines.insert(lines.end(), {"IPL DATA\\MAPS\\generic.ipl", "IPL DATA\\MAPS\\INDUST\\INDUST.IPL", "SPLASH loadsc2"});
    writeText(built.gameDataFile, lines);
    return built;
}

} // namespace veldrin::test

namespace veldrin::test {

std::vector<std::pair<std::string, std::vector<uint8_t>>> folderSnapshot(const std::filesystem::path& root) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string relative = entry.path().lexically_relative(root).generic_string();
        // A link is listed with what it names, never followed; a huge (sparse) file by its size alone.
        if (entry.is_symlink()) {
            files.push_back({relative + " -> " + std::filesystem::read_symlink(entry.path()).string(), {}});
            continue;
        }
        if (entry.is_directory()) {
            files.push_back({relative + "/", {}});
            continue;
        }
        if (entry.file_size() > (16u << 20)) {
            files.push_back({relative + " of " + std::to_string(entry.file_size()) + " bytes", {}});
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        files.push_back({relative, std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})});
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace veldrin::test
