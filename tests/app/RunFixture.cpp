#include "RunFixture.h"

#include <algorithm>

#include "base/FileIO.h"
#include "inspect/ImgRead.h"
#include "support/ModelEncoder.h"
#include "support/TextureEncoder.h"

namespace veldrin::test {

LevelDescription SmallLevel::describe() const {
    LevelDescription d;
    d.edition = edition;
    d.resourceCount = textures + static_cast<int>(models.size());
    for (int t = 0; t < textures; ++t) {
        TestTexture tex;
        tex.width = 16;
        tex.height = 16;
        tex.depth = 8;
        tex.texels.assign(256, static_cast<uint8_t>(t));
        for (int e = 0; e < 256; ++e)
            tex.palette.push_back({static_cast<uint8_t>(e), static_cast<uint8_t>(t * 40), 7, isPsp(edition) ? uint8_t{255} : uint8_t{128}});
        d.resources[t].encode = [ed = edition, tex](uint32_t off) { return encodeTexture(ed, tex, off); };
    }
    TestCell cell;
    for (std::size_t m = 0; m < models.size(); ++m) {
        TestModelPart part;
        if (!models[m].noMaterials) {
            for (int id : models[m].textureIds) {
                TestMaterial mat;
                mat.textureId = static_cast<int16_t>(id);
                mat.strip = {{0, 0, 0, 0, 0, 0x7FFF}, {1000, 0, 0, 128, 0, 0x001F}, {0, 1000, 0, 0, 128, 0x03E0},
                             {1000, 1000, 500, 128, 128, 0x7C00}};
                part.materials.push_back(mat);
            }
        }
        d.resources[modelIndex(static_cast<int>(m))].encode = [ed = edition, part](uint32_t) { return encodeModelPart(ed, part); };
        d.resources[modelIndex(static_cast<int>(m))].placements = {{Where::Cell, 0}};
    }
    for (const Instance& i : instances) {
        TestInstance inst;
        inst.id = i.id;
        inst.model = modelIndex(i.model);
        inst.list = models[static_cast<std::size_t>(i.model)].list;
        inst.position = i.position;
        cell.instances.push_back(inst);
    }
    cell.row = 20;
    cell.column = 20;
    d.cells = {cell};
    return d;
}

ConversionOptions optionsFor(const std::filesystem::path& lvz, GameVersion edition) {
    ConversionOptions o;
    applyLevelPick(o, lvz);
    o.edition = edition;
    return o;
}

RunResult runAndCollect(const ConversionOptions& options) {
    RunResult r;
    RunCallbacks cb;
    cb.status = [&](const std::string& s) { r.statuses.push_back(s); };
    cb.warning = [&](WarningKind, const std::string& s) { r.warnings.push_back(s); };
    cb.progress = [&](int position, int maximum) { r.progress.emplace_back(position, maximum); };
    r.summary = runConversion(options, cb);
    return r;
}

std::vector<std::string> readLines(const std::filesystem::path& file) {
    const std::vector<uint8_t> bytes = readWholeFile(file);
    const std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no CRLF>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> sectionLines(const std::vector<std::string>& lines, const std::string& section) {
    std::vector<std::string> out;
    bool inside = false;
    for (const std::string& l : lines) {
        if (!inside && l == section) inside = true;
        else if (inside && l == "end") break;
        else if (inside) out.push_back(l);
    }
    return out;
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = line.find(", ", start);
        out.push_back(line.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
        if (sep == std::string::npos) return out;
        start = sep + 2;
    }
}

std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(folder)) return names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::string, std::vector<uint8_t>> filesOnDisk(const std::filesystem::path& folder, const std::string& level,
                                                         TargetGame target, bool archive) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const std::string& name : filesIn(folder)) files[name] = readWholeFile(folder / name);
    if (!archive) return files;
    const std::vector<uint8_t>& img = files.at(level + ".IMG");
    const std::vector<inspect::ImgEntry> entries = target == TargetGame::GtaSa ? inspect::readVer2Entries(img, level + ".IMG")
                                                                                : inspect::readDirEntries(files.at(level + ".DIR"), level + ".DIR");
    for (const inspect::ImgEntry& e : entries) {
        const auto bytes = inspect::entryBytes(img, e, level + ".IMG");
        files[level + ".IMG/" + e.name] = std::vector<uint8_t>(bytes.begin(), bytes.end());
    }
    return files;
}

} // namespace veldrin::test
