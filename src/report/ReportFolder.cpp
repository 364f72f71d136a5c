#include "report/ReportFolder.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <map>
#include <set>

#include <nlohmann/json.hpp>

#include "base/Error.h"
#include "base/FileIO.h"
#include "base/ParallelFor.h"
#include "report/PngFile.h"
#include "report/ReportPage.h"
#include "report/ReportPageScript.h"
#include "report/TextureSheet.h"
#include "report/Thumbnail.h"
#include "report/ViewerSection.h"
#include "report/WarningKinds.h"

namespace veldrin {
namespace {

// Runs work(i) on the jobs' threads; a failure to read becomes a message, a failure to write ends the
// report after every index below it is done, so the folder is the same for any thread count.
template <typename Work>
std::vector<std::string> forEachPicture(std::size_t count, int jobs, Work&& work) {
    std::vector<std::string> problems(count);
    std::vector<std::exception_ptr> errors;
    parallelFor(count, jobs, [&](std::size_t i) { work(i, problems[i]); }, errors);
    rethrowFirst(errors);
    return problems;
}

struct ThumbnailSheet {
    std::string file;
    std::vector<SheetCell> cells;
};

std::string thumbnailSheetJson(const std::vector<SheetCell>& cells) {
    nlohmann::ordered_json models = nlohmann::ordered_json::array();
    for (const SheetCell& c : cells)
        models.push_back({{"name", c.name}, {"x", c.x}, {"y", c.y}, {"width", c.width}, {"height", c.height}});
    return nlohmann::ordered_json{{"models", models}}.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

// Reading untrusted data fails with a VeldrinError (the readers' and the image core's); it becomes a message.
template <typename Read>
auto readOrExplain(Read&& read, std::string& problem) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const VeldrinError& e) {
        problem = e.what();
        return std::nullopt;
    }
}

// A path relative to the report folder; "" when there is none (another drive).
std::string linkFrom(const std::filesystem::path& folder, const std::string& path) {
    if (path.empty()) return "";
    std::error_code error;
    const std::filesystem::path from = std::filesystem::absolute(folder, error).lexically_normal();
    const std::filesystem::path to = std::filesystem::absolute(path, error).lexically_normal();
    if (error) return "";
    const std::filesystem::path relative = to.lexically_relative(from);
    return relative.generic_string();
}

} // namespace

std::filesystem::path reportFolderFor(const std::filesystem::path& outputFolder, const std::string& levelName) {
    return outputFolder / (levelName + "-report");
}

void writeReportFolder(const std::filesystem::path& folder, RunRecord record, const ReportContent& content) {
    ensureFolder(folder / "textures");
    if (!content.thumbnails.empty()) ensureFolder(folder / "models");
    ReportPictures pictures;
    // The view's scene is read and packed beside the sheets: neither needs the other until scene.js,
    // and the page needs only what the reading left out. Its models are freed once packed, on a thread
    // of their own while scene.js is written, not at the end of the run.
    struct ViewRead {
        std::vector<std::string> problems;
        bool models = false;
    };
    struct ViewPack {
        Scene scene; // without its models
        PackedScene packed;
        std::future<void> modelsFreed;
    };
    std::promise<ViewRead> read;
    std::future<ViewRead> viewRead = read.get_future();
    std::future<ViewPack> packed;
    if (content.scene) packed = std::async(std::launch::async, [&] {
        ViewPack out;
        try {
            ViewScene view = content.scene();
            read.set_value({std::move(view.problems), !view.scene.models.empty()});
            out.scene = std::move(view.scene);
        } catch (...) {
            read.set_exception(std::current_exception());
            throw;
        }
        out.packed = packScene(out.scene);
        out.modelsFreed = std::async(std::launch::async, [models = std::move(out.scene.models)]() mutable { std::vector<SceneModel>().swap(models); });
        return out;
    });

    struct SheetDraft {
        SheetTextures textures;
        SheetLayout layout;
    };
    std::vector<std::optional<SheetDraft>> sheets(content.sheets.size());
    const std::vector<std::string> sheetProblems =
        forEachPicture(content.sheets.size(), content.jobs, [&](std::size_t i, std::string& problem) {
            auto textures = readOrExplain(content.sheets[i].textures, problem);
            if (!textures) return;
            SheetLayout layout = layOutSheet(textures->textures);
            sheets[i] = SheetDraft{std::move(*textures), std::move(layout)};
        });
    std::vector<SceneAtlas> atlases(content.sheets.size()); // the sheets again, as the 3D view's atlases
    // Several sheets are made side by side, one sheet in pieces side by side. A texture that cannot be
    // drawn after all leaves its sheet out, as one whose dictionary cannot be read.
    const std::shared_future<std::vector<std::string>> sheetFiles = std::async(std::launch::async, [&] {
        return forEachPicture(content.sheets.size(), content.jobs, [&](std::size_t i, std::string& problem) {
            if (!sheets[i]) return;
            const SheetDraft& sheet = *sheets[i];
            const std::string& name = content.sheets[i].name;
            const int jobs = content.sheets.size() == 1 ? content.jobs : 1;
            const auto png = readOrExplain([&] { return sheetPng(sheet.textures, sheet.layout, jobs); }, problem);
            if (!png) return;
            writeWholeFile(folder / "textures" / (name + ".png"), *png);
            writeWholeFile(folder / "textures" / (name + ".json"), sheetJson(sheet.layout.cells));
            if (content.scene) atlases[i] = {name, sheet.layout.width, sheet.layout.height, std::move(*png), sheet.layout.cells};
        });
    }).share();
    const auto noSheet = [&](std::size_t i, const std::string& problem) {
        record.warn(std::string(describeWarning(WarningKind::Report).id), "no texture sheet for " + content.sheets[i].name + ": " + problem);
    };
    for (std::size_t i = 0; i < content.sheets.size(); ++i) {
        if (sheets[i]) pictures.sheets.push_back({content.sheets[i].name, sheets[i]->layout.cells});
        else noSheet(i, sheetProblems[i]);
    }

    // Thumbnails go kThumbnailsPerSheet to a file: a folder of thousands of small files costs more to
    // create than the pictures cost to draw. Geometry is read a window of sheets at a time, so only a
    // window's meshes are held at once; each texture the thumbnails use is decoded once.
    std::map<int, std::optional<RgbaImage>> textures;
    const std::size_t window = static_cast<std::size_t>(std::max(1, content.jobs)) * kThumbnailsPerSheet;
    for (std::size_t start = 0; start < content.thumbnails.size(); start += window) {
        const std::size_t count = std::min(window, content.thumbnails.size() - start);
        std::vector<std::optional<ModelPreview>> previews(count);
        const std::vector<std::string> problems = forEachPicture(count, content.jobs, [&](std::size_t i, std::string& problem) {
            previews[i] = readOrExplain(content.thumbnails[start + i].read, problem);
        });
        std::vector<int> wanted;
        for (const auto& preview : previews) {
            if (!preview) continue;
            for (int id : preview->textureIds)
                if (textures.emplace(id, std::nullopt).second) wanted.push_back(id);
        }
        std::vector<std::optional<RgbaImage>> decoded(wanted.size());
        forEachPicture(wanted.size(), content.jobs, [&](std::size_t i, std::string& problem) {
            if (!content.levelTexture) return;
            auto image = readOrExplain([&] { return content.levelTexture(wanted[i]); }, problem);
            if (image) decoded[i] = std::move(*image);
        });
        for (std::size_t i = 0; i < wanted.size(); ++i) textures[wanted[i]] = std::move(decoded[i]);

        std::vector<RgbaImage> drawn(count);
        forEachPicture(count, content.jobs, [&](std::size_t i, std::string&) {
            if (!previews[i]) return;
            ModelPreview& preview = *previews[i];
            for (std::size_t m = 0; m < preview.textureIds.size(); ++m) {
                const std::optional<RgbaImage>& image = textures.at(preview.textureIds[m]);
                preview.mesh.textures[m] = image ? &*image : nullptr;
            }
            drawn[i] = renderThumbnail(preview.mesh);
        });

        const std::size_t sheets = (count + kThumbnailsPerSheet - 1) / kThumbnailsPerSheet;
        std::vector<ThumbnailSheet> placed(sheets);
        forEachPicture(sheets, content.jobs, [&](std::size_t s, std::string&) {
            const std::size_t first = s * kThumbnailsPerSheet, last = std::min(count, first + kThumbnailsPerSheet);
            ThumbnailSheet& sheet = placed[s];
            sheet.file = "sheet-" + std::to_string((start + first) / kThumbnailsPerSheet + 1);
            const int columns = static_cast<int>(std::min<std::size_t>(last - first, kThumbnailColumns));
            const int rows = static_cast<int>((last - first + kThumbnailColumns - 1) / kThumbnailColumns);
            RgbaImage image(columns * kThumbnailSize, rows * kThumbnailSize);
            for (std::size_t i = first; i < last; ++i) {
                if (!previews[i]) continue;
                const int cell = static_cast<int>(i - first);
                const int x = cell % kThumbnailColumns * kThumbnailSize, y = cell / kThumbnailColumns * kThumbnailSize;
                for (int row = 0; row < kThumbnailSize; ++row)
                    std::memcpy(image.at(x, y + row), drawn[i].at(0, row), std::size_t(kThumbnailSize) * 4);
                sheet.cells.push_back({content.thumbnails[start + i].name, x, y, kThumbnailSize, kThumbnailSize, true});
            }
            writeWholeFile(folder / "models" / (sheet.file + ".png"), encodePng(image));
            writeWholeFile(folder / "models" / (sheet.file + ".json"), thumbnailSheetJson(sheet.cells));
        });
        for (std::size_t i = 0; i < count; ++i) {
            if (!previews[i]) record.warn(std::string(describeWarning(WarningKind::Report).id), "no thumbnail for " + content.thumbnails[start + i].name + ": " + problems[i]);
        }
        for (const ThumbnailSheet& sheet : placed)
            for (const SheetCell& cell : sheet.cells) pictures.thumbnails.push_back({cell.name, sheet.file, cell.x, cell.y});
    }

    if (content.mapPoints) {
        const PlacementMap map = renderPlacementMap(*content.mapPoints, content.zones);
        writeWholeFile(folder / "map.png", encodePng(map.image));
        writeWholeFile(folder / "map.json", mapJson(map, *content.mapPoints));
        pictures.map = true;
        pictures.mapPoints = map.points;
        std::map<std::string, int> names;
        for (std::size_t i = 0; i < map.pixels.size(); ++i) {
            if (map.pixels[i][0] < 0) continue;
            const auto [at, added] = names.emplace((*content.mapPoints)[i].name, static_cast<int>(pictures.mapNames.size()));
            if (added) pictures.mapNames.push_back(at->first);
            pictures.mapSpots.push_back({map.pixels[i][0], map.pixels[i][1], at->second});
        }
    }
    pictures.lvzLink = linkFrom(folder, record.level.lvz);
    pictures.imgLink = linkFrom(folder, record.level.img);
    if (record.converted) pictures.outputLink = linkFrom(folder, record.output);
    if (packed.valid()) {
        const ViewRead view = viewRead.get();
        for (const std::string& problem : view.problems)
            record.warn(std::string(describeWarning(WarningKind::Report).id), "the 3D view leaves out " + problem);
        pictures.viewer = viewerSection();
        pictures.previews = view.models;
    }
    // scene.js is written beside the page once the scene is packed: its arrays at once, its atlases
    // once the sheets are made.
    std::future<void> viewerFiles;
    if (packed.valid()) viewerFiles = std::async(std::launch::async, [&] {
        const ViewPack view = packed.get();
        writeViewerFiles(folder, view.scene, view.packed, [&]() -> const std::vector<SceneAtlas>& {
            sheetFiles.wait();
            std::erase_if(atlases, [](const SceneAtlas& a) { return a.png.empty(); });
            return atlases;
        });
    });
    if (content.completeRecord) content.completeRecord(record);
    const auto pageTexts = [&] { return std::pair{manifestJson(record), reportPage(record, pictures)}; };
    auto [manifest, page] = pageTexts();
    if (pictures.map) writeWholeFile(folder / "map.js", mapScript(pictures));
    writeWholeFile(folder / "page.js", std::string_view(kReportPageScript));
    const std::vector<std::string>& lateProblems = sheetFiles.get();
    bool late = false;
    for (std::size_t i = 0; i < lateProblems.size(); ++i) {
        if (lateProblems[i].empty()) continue;
        noSheet(i, lateProblems[i]);
        std::erase_if(pictures.sheets, [&](const auto& s) { return s.name == content.sheets[i].name; });
        late = true;
    }
    if (late) std::tie(manifest, page) = pageTexts();
    writeWholeFile(folder / "manifest.json", manifest);
    writeWholeFile(folder / "index.html", page);
    if (viewerFiles.valid()) viewerFiles.get();
}

} // namespace veldrin
