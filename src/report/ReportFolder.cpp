#include "report/ReportFolder.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "base/FileIO.h"
#include "base/ParallelFor.h"
#include "report/PngFile.h"
#include "report/ReportPage.h"
#include "report/TextureSheet.h"
#include "report/Thumbnail.h"

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

// Reading untrusted data may fail with either of the program's error kinds; both become a message.
template <typename Read>
auto readOrExplain(Read&& read, std::string& problem) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const std::runtime_error& e) {
        problem = e.what();
        return std::nullopt;
    }
}

} // namespace

std::filesystem::path reportFolderFor(const std::filesystem::path& outputFolder, const std::string& levelName) {
    return outputFolder / (levelName + "-report");
}

void writeReportFolder(const std::filesystem::path& folder, RunRecord record, const ReportContent& content) {
    ensureFolder(folder / "textures");
    ensureFolder(folder / "models");
    ReportPictures pictures;

    std::vector<int> sheetSizes(content.sheets.size(), -1);
    const std::vector<std::string> sheetProblems =
        forEachPicture(content.sheets.size(), content.jobs, [&](std::size_t i, std::string& problem) {
            const SheetSource& source = content.sheets[i];
            const auto textures = readOrExplain(source.textures, problem);
            if (!textures) return;
            const TextureSheet sheet = composeSheet(*textures);
            writeWholeFile(folder / "textures" / (source.name + ".png"), encodePng(sheet.image));
            writeWholeFile(folder / "textures" / (source.name + ".json"), sheetJson(sheet));
            sheetSizes[i] = static_cast<int>(sheet.cells.size());
        });
    for (std::size_t i = 0; i < content.sheets.size(); ++i) {
        if (sheetSizes[i] >= 0) pictures.sheets.push_back({content.sheets[i].name, sheetSizes[i]});
        else record.warn("report", "no texture sheet for " + content.sheets[i].name + ": " + sheetProblems[i]);
    }

    // Each texture the thumbnails use is decoded once, before any model is drawn.
    std::vector<std::optional<ModelPreview>> previews(content.thumbnails.size());
    std::map<int, std::optional<RgbaImage>> textures;
    const std::size_t window = static_cast<std::size_t>(std::max(1, content.jobs)) * 32;
    for (std::size_t start = 0; start < content.thumbnails.size(); start += window) {
        // Geometry is read a window at a time so that only a window's meshes are held at once.
        const std::size_t count = std::min(window, content.thumbnails.size() - start);
        std::vector<std::string> problems = forEachPicture(count, content.jobs, [&](std::size_t i, std::string& problem) {
            previews[start + i] = readOrExplain(content.thumbnails[start + i].read, problem);
        });
        std::vector<int> wanted;
        for (std::size_t i = 0; i < count; ++i) {
            if (!previews[start + i]) continue;
            for (int id : previews[start + i]->textureIds)
                if (!textures.count(id)) wanted.push_back(id), textures[id];
        }
        std::vector<std::optional<RgbaImage>> decoded(wanted.size());
        forEachPicture(wanted.size(), content.jobs, [&](std::size_t i, std::string& problem) {
            if (!content.levelTexture) return;
            auto image = readOrExplain([&] { return content.levelTexture(wanted[i]); }, problem);
            if (image) decoded[i] = std::move(*image);
        });
        for (std::size_t i = 0; i < wanted.size(); ++i) textures[wanted[i]] = std::move(decoded[i]);

        forEachPicture(count, content.jobs, [&](std::size_t i, std::string&) {
            std::optional<ModelPreview>& preview = previews[start + i];
            if (!preview) return;
            for (std::size_t m = 0; m < preview->textureIds.size(); ++m) {
                const std::optional<RgbaImage>& image = textures.at(preview->textureIds[m]);
                preview->mesh.textures[m] = image ? &*image : nullptr;
            }
            const RgbaImage picture = renderThumbnail(preview->mesh);
            writeWholeFile(folder / "models" / (content.thumbnails[start + i].name + ".png"), encodePng(picture));
        });
        for (std::size_t i = 0; i < count; ++i) {
            const std::string& name = content.thumbnails[start + i].name;
            if (previews[start + i]) pictures.thumbnails.push_back(name);
            else record.warn("report", "no thumbnail for " + name + ": " + problems[i]);
            previews[start + i].reset();
        }
    }

    if (content.mapPoints) {
        const PlacementMap map = renderPlacementMap(*content.mapPoints, content.zones);
        writeWholeFile(folder / "map.png", encodePng(map.image));
        writeWholeFile(folder / "map.json", mapJson(map, *content.mapPoints));
        pictures.map = true;
        pictures.mapPoints = map.points;
    }
    writeWholeFile(folder / "manifest.json", manifestJson(record));
    writeWholeFile(folder / "index.html", reportPage(record, pictures));
}

} // namespace veldrin
