#include "report/TextureSheet.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <nlohmann/json.hpp>

#include "base/ParallelFor.h"

namespace veldrin {

TextureSheet composeSheet(std::vector<DictionaryTexture> textures, int jobs) {
    return composeSheet(SheetTextures{std::move(textures), {}}, jobs);
}

TextureSheet composeSheet(const SheetTextures& source, int jobs) {
    const std::vector<DictionaryTexture>& textures = source.textures;
    TextureSheet sheet;
    if (textures.empty()) {
        sheet.image = RgbaImage(1, 1);
        return sheet;
    }
    // Shelves filled tallest first: a row is as tall as its first texture, so little of the sheet stays
    // empty (in dictionary order, rows of mixed heights left the sheet a third empty, and every empty
    // pixel is still filtered and compressed).
    double area = 0;
    int widest = 0;
    for (const DictionaryTexture& t : textures) {
        area += double(t.width + kSheetGap) * double(t.height + kSheetGap);
        widest = std::max(widest, t.width);
    }
    const int rowWidth = std::max(widest, static_cast<int>(std::ceil(std::sqrt(area))));
    std::vector<std::size_t> order(textures.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return textures[a].height > textures[b].height; });

    sheet.cells.resize(textures.size());
    int x = 0, y = 0, rowHeight = 0, sheetWidth = 0;
    for (std::size_t i : order) {
        const DictionaryTexture& t = textures[i];
        if (x > 0 && x + t.width > rowWidth) {
            x = 0;
            y += rowHeight + kSheetGap;
            rowHeight = 0;
        }
        sheet.cells[i] = {t.name, x, y, t.width, t.height, t.hasAlpha, t.format, t.levels};
        sheetWidth = std::max(sheetWidth, x + t.width);
        rowHeight = std::max(rowHeight, t.height);
        x += t.width + kSheetGap;
    }
    sheet.image = RgbaImage(sheetWidth, y + rowHeight);
    std::vector<std::exception_ptr> errors;
    parallelFor(textures.size(), jobs, [&](std::size_t i) {
        const DictionaryTexture& t = textures[i];
        const SheetCell& c = sheet.cells[i];
        if (source.draw) {
            source.draw(i, sheet.image.at(c.x, c.y), static_cast<std::size_t>(sheet.image.width) * 4);
            return;
        }
        const std::size_t rowBytes = static_cast<std::size_t>(t.width) * 4;
        if (t.rgba.size() < rowBytes * static_cast<std::size_t>(t.height)) return;
        for (int row = 0; row < t.height; ++row) {
            std::memcpy(sheet.image.at(c.x, c.y + row), t.rgba.data() + static_cast<std::size_t>(row) * rowBytes, rowBytes);
        }
    }, errors);
    rethrowFirst(errors);
    return sheet;
}

std::string sheetJson(const TextureSheet& sheet) {
    nlohmann::ordered_json cells = nlohmann::ordered_json::array();
    for (const SheetCell& c : sheet.cells) {
        cells.push_back({{"name", c.name}, {"x", c.x}, {"y", c.y}, {"width", c.width}, {"height", c.height}, {"alpha", c.alpha},
                         {"format", c.format}, {"levels", c.levels}});
    }
    return nlohmann::ordered_json{{"textures", cells}}.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace veldrin
