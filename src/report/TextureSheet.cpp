#include "report/TextureSheet.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "report/JsonText.h"

#include "base/ParallelFor.h"
#include "report/PngFile.h"

namespace veldrin {

TextureSheet composeSheet(std::vector<DictionaryTexture> textures, int jobs) {
    return composeSheet(SheetTextures{std::move(textures), {}}, jobs);
}

SheetLayout layOutSheet(const std::vector<DictionaryTexture>& textures) {
    SheetLayout layout;
    if (textures.empty()) {
        layout.shelfEnds = {1};
        return layout;
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

    layout.cells.resize(textures.size());
    int x = 0, y = 0, rowHeight = 0, sheetWidth = 0;
    for (std::size_t i : order) {
        const DictionaryTexture& t = textures[i];
        if (x > 0 && x + t.width > rowWidth) {
            x = 0;
            y += rowHeight + kSheetGap;
            layout.shelfEnds.push_back(y);
            rowHeight = 0;
        }
        layout.cells[i] = {t.name, x, y, t.width, t.height, t.hasAlpha, t.format, t.levels};
        sheetWidth = std::max(sheetWidth, x + t.width);
        rowHeight = std::max(rowHeight, t.height);
        x += t.width + kSheetGap;
    }
    layout.width = sheetWidth;
    layout.height = y + rowHeight;
    if (layout.shelfEnds.empty() || layout.shelfEnds.back() < layout.height) layout.shelfEnds.push_back(layout.height);
    return layout;
}

void drawSheetRows(const SheetTextures& source, const SheetLayout& layout, int first, int last, uint8_t* rows, int jobs) {
    const std::vector<DictionaryTexture>& textures = source.textures;
    const std::size_t rowBytes = static_cast<std::size_t>(layout.width) * 4;
    std::vector<std::size_t> inside;
    for (std::size_t i = 0; i < layout.cells.size(); ++i)
        if (layout.cells[i].y >= first && layout.cells[i].y + layout.cells[i].height <= last) inside.push_back(i);
    std::vector<std::exception_ptr> errors;
    parallelFor(inside.size(), jobs, [&](std::size_t k) {
        const std::size_t i = inside[k];
        const DictionaryTexture& t = textures[i];
        const SheetCell& c = layout.cells[i];
        uint8_t* cell = rows + std::size_t(c.y - first) * rowBytes + std::size_t(c.x) * 4;
        if (source.draw) {
            source.draw(i, cell, rowBytes);
            return;
        }
        const std::size_t textureRow = static_cast<std::size_t>(t.width) * 4;
        if (t.rgba.size() < textureRow * static_cast<std::size_t>(t.height)) return;
        for (int row = 0; row < t.height; ++row)
            std::memcpy(cell + std::size_t(row) * rowBytes, t.rgba.data() + static_cast<std::size_t>(row) * textureRow, textureRow);
    }, errors);
    rethrowFirst(errors);
}

TextureSheet composeSheet(const SheetTextures& source, int jobs) {
    const SheetLayout layout = layOutSheet(source.textures);
    TextureSheet sheet{RgbaImage(layout.width, layout.height), layout.cells};
    drawSheetRows(source, layout, 0, layout.height, sheet.image.pixels.data(), jobs);
    return sheet;
}

std::vector<uint8_t> sheetPng(const SheetTextures& source, const SheetLayout& layout, int jobs) {
    return encodePngInBands(layout.width, layout.height, layout.shelfEnds,
                            [&](int first, int last, uint8_t* rows) { drawSheetRows(source, layout, first, last, rows, jobs); }, jobs);
}

std::string sheetJson(const std::vector<SheetCell>& sheetCells) {
    // Written as the JSON library indents it, without building its document: a dictionary may hold
    // thousands of textures.
    std::string text = "{\n \"textures\": ";
    if (sheetCells.empty()) text += "[]";
    for (std::size_t i = 0; i < sheetCells.size(); ++i) {
        const SheetCell& c = sheetCells[i];
        text += i ? ",\n  {\n   \"name\": " : "[\n  {\n   \"name\": ";
        appendJsonString(text, c.name);
        text += ",\n   \"x\": " + std::to_string(c.x) + ",\n   \"y\": " + std::to_string(c.y) + ",\n   \"width\": " +
                std::to_string(c.width) + ",\n   \"height\": " + std::to_string(c.height) +
                (c.alpha ? ",\n   \"alpha\": true" : ",\n   \"alpha\": false") + ",\n   \"format\": ";
        appendJsonString(text, c.format);
        text += ",\n   \"levels\": " + std::to_string(c.levels) + "\n  }";
        if (i + 1 == sheetCells.size()) text += "\n ]";
    }
    return text + "\n}\n";
}

} // namespace veldrin
