#include "support/LevelBuilder.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <zlib.h>

#include "base/ByteWriter.h"
#include "base/FileIO.h"
#include "level/WorldTables.h"

namespace veldrin::test {

namespace {

struct Listing {
    int index;
    const TestResource* resource; // null: listed without bytes
};

std::vector<Listing> listingsFor(const LevelDescription& d, Where where, int container,
                                 const std::vector<int>& extraIndices) {
    std::vector<Listing> out;
    for (const auto& [index, resource] : d.resources)
        for (const Placement& p : resource.placements)
            if (p.where == where && p.container == container) out.push_back({index, &resource});
    for (int index : extraIndices) out.push_back({index, nullptr});
    return out;
}

void writeInstance(ByteWriter& w, GameVersion edition, const TestInstance& inst) {
    w.u16(static_cast<uint16_t>(inst.id));
    w.u16(static_cast<uint16_t>(inst.model));
    w.zeros(12);
    if (isPsp(edition)) {
        for (float v : inst.matrix) w.u32(packFloat(v));
        for (float v : inst.position) w.u32(packFloat(v));
    } else {
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) w.f32(inst.matrix[row * 3 + col]);
            w.f32(0);
        }
        for (float v : inst.position) w.f32(v);
    }
    w.zeros(4);
}

// Appends resources after a list, 16-aligned from the block start, and patches their list offsets.
void writeResources(ByteWriter& img, std::size_t blockStart, const std::vector<Listing>& listings,
                    const std::vector<std::size_t>& offsetFields) {
    for (std::size_t i = 0; i < listings.size(); ++i) {
        if (!listings[i].resource) continue;
        img.alignTo(16);
        const auto offset = static_cast<uint32_t>(img.size() - blockStart);
        img.patchU32(offsetFields[i], offset);
        img.bytes(listings[i].resource->encode(offset));
    }
}

// A cell or trailing block: resource list offset and count, instance list offsets, records, list, resources.
uint32_t writeCellBlock(ByteWriter& img, GameVersion edition, const std::vector<TestInstance>& instances,
                        const std::vector<Listing>& listings, int listTablePadding) {
    img.alignTo(2048);
    const std::size_t block = img.size();
    const WorldLayout layout = worldLayout(edition);
    img.text("DLRW");
    img.zeros(28);
    const std::size_t data = img.size();
    img.u32(0); // resource list offset, patched below
    img.u16(static_cast<uint16_t>(listings.size()));
    img.u16(0);
    const std::size_t listTable = img.size();
    img.zeros(4 * static_cast<std::size_t>(layout.instanceLists + 1));
    img.zeros(static_cast<std::size_t>(listTablePadding));
    for (int j = 0; j <= layout.instanceLists; ++j) {
        img.patchU32(listTable + 4 * j, static_cast<uint32_t>(img.size() - block));
        if (j == layout.instanceLists) break;
        for (const TestInstance& inst : instances)
            if (inst.list == j) writeInstance(img, edition, inst);
    }
    img.patchU32(data, static_cast<uint32_t>(img.size() - block));
    std::vector<std::size_t> offsetFields;
    for (const Listing& l : listings) {
        img.u32(static_cast<uint32_t>(l.index));
        offsetFields.push_back(img.size());
        img.u32(0);
    }
    writeResources(img, block, listings, offsetFields);
    return static_cast<uint32_t>(data);
}

uint32_t writeExtraBlock(ByteWriter& img, const std::vector<Listing>& listings) {
    img.alignTo(2048);
    const std::size_t block = img.size();
    img.zeros(32);
    img.u32(static_cast<uint32_t>(listings.size()));
    img.u32(48);
    img.zeros(8);
    std::vector<std::size_t> offsetFields;
    for (const Listing& l : listings) {
        img.u16(static_cast<uint16_t>(l.index));
        img.u16(0);
        offsetFields.push_back(img.size());
        img.u32(0);
    }
    writeResources(img, block, listings, offsetFields);
    return static_cast<uint32_t>(block);
}

void writeBlockHeader(ByteWriter& world, uint32_t dataPosition) {
    world.text("DLRW");
    world.zeros(20);
    world.u32(dataPosition);
    world.u32(0);
}

} // namespace

uint32_t packFloat(float value) { return std::bit_cast<uint32_t>(value) >> 8; }

std::vector<uint8_t> deflateBytes(const std::vector<uint8_t>& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), 6) != Z_OK)
        throw std::runtime_error("deflate failed");
    out.resize(size);
    return out;
}

BuiltLevel buildLevel(const LevelDescription& d) {
    const WorldLayout layout = worldLayout(d.edition);
    ByteWriter img;

    // IMG: one block per described cell, a shared empty block for filler cells, then trailing and extra blocks.
    std::vector<uint32_t> cellData;
    for (std::size_t c = 0; c < d.cells.size(); ++c) {
        cellData.push_back(writeCellBlock(img, d.edition, d.cells[c].instances,
                                          listingsFor(d, Where::Cell, static_cast<int>(c), d.cells[c].listedResources),
                                          d.listTablePadding));
    }
    const uint32_t emptyData = writeCellBlock(img, d.edition, {}, {}, d.listTablePadding);
    std::vector<uint32_t> trailingData;
    for (int t = 0; t < d.trailingBlocks; ++t) {
        const auto extra = d.trailingListed.count(t) ? d.trailingListed.at(t) : std::vector<int>{};
        trailingData.push_back(writeCellBlock(img, d.edition, {}, listingsFor(d, Where::TrailingBlock, t, extra), d.listTablePadding));
    }
    std::vector<uint32_t> extraStarts;
    for (int e = 0; e < d.extraBlocks; ++e) extraStarts.push_back(writeExtraBlock(img, listingsFor(d, Where::ExtraBlock, e, {})));

    // World resource: header and fixed fields, then cells, trailing headers, tables and world-table resources.
    ByteWriter world;
    world.text("DLRW");
    world.zeros(832 - 4);
    const int regularRows = layout.rowCount - 1;
    std::vector<int> rowCells(regularRows, 0);
    std::vector<const TestCell*> extraCells;
    std::map<std::pair<int, int>, std::size_t> cellAt;
    for (std::size_t c = 0; c < d.cells.size(); ++c) {
        const TestCell& cell = d.cells[c];
        if (cell.extra) {
            extraCells.push_back(&cell);
            continue;
        }
        if (cell.row < 0 || cell.row >= regularRows) throw std::runtime_error("cell row outside the row table");
        rowCells[cell.row] = std::max(rowCells[cell.row], cell.column + 1);
        cellAt[{cell.row, cell.column}] = c;
    }
    for (int r = 0; r < regularRows; ++r) {
        world.patchU32(36 + 8 * r, static_cast<uint32_t>(world.size()));
        const auto start = d.rowStarts.count(r) ? d.rowStarts.at(r) : 0;
        world.patchU32(40 + 8 * r, static_cast<uint32_t>(start));
        for (int col = 0; col < rowCells[r]; ++col) {
            const auto it = cellAt.find({r, col});
            writeBlockHeader(world, it == cellAt.end() ? emptyData : cellData[it->second]);
        }
    }
    world.patchU32(36 + 8 * regularRows, static_cast<uint32_t>(world.size()));
    std::vector<std::size_t> extraCellIndex;
    for (std::size_t c = 0; c < d.cells.size(); ++c) {
        if (d.cells[c].extra) {
            writeBlockHeader(world, cellData[c]);
            extraCellIndex.push_back(c);
        }
    }
    for (uint32_t data : trailingData) writeBlockHeader(world, data);
    world.zeros(32); // ends the run of trailing headers

    const auto extraTable = static_cast<uint32_t>(world.size());
    for (std::size_t c : extraCellIndex) {
        world.u8(static_cast<uint8_t>(d.cells[c].column));
        world.u8(static_cast<uint8_t>(d.cells[c].row));
        world.zeros(4);
    }
    world.patchU32(layout.extraCellTable, static_cast<uint32_t>(extraCellIndex.size()));
    world.patchU32(layout.extraCellTable + 4, extraTable);

    if (layout.hasExtraBlocks) {
        world.alignTo(16);
        world.patchU32(752, static_cast<uint32_t>(extraStarts.size()));
        world.patchU32(756, static_cast<uint32_t>(world.size()));
        for (uint32_t s : extraStarts) {
            world.u32(0);
            world.u32(s);
            world.zeros(8);
        }
    }

    // Resource table; VCS entries are written in reverse order so their index word matters.
    world.alignTo(16);
    const auto table = static_cast<uint32_t>(world.size());
    world.patchU32(32, table);
    world.patchU32(36 + 8 * layout.rowCount, static_cast<uint32_t>(d.resourceCount));
    world.zeros(static_cast<std::size_t>(d.resourceCount) * layout.resourceEntrySize);
    for (const auto& [index, resource] : d.resources) {
        const bool inTable = std::any_of(resource.placements.begin(), resource.placements.end(),
                                         [](const Placement& p) { return p.where == Where::WorldTable; });
        if (!inTable || index < 0 || index >= d.resourceCount) continue;
        world.alignTo(16);
        const auto offset = static_cast<uint32_t>(world.size());
        const int slot = layout.resourceEntrySize == 12 ? d.resourceCount - 1 - index : index;
        const std::size_t entry = table + static_cast<std::size_t>(slot) * layout.resourceEntrySize;
        world.patchU32(entry, offset);
        if (layout.resourceEntrySize == 12) world.patchU32(entry + 8, static_cast<uint32_t>(index));
        world.bytes(resource.encode(offset));
    }

    BuiltLevel built;
    built.world = world.take();
    built.img = img.take();
    built.lvz = deflateBytes(built.world);
    return built;
}

LevelBuffer BuiltLevel::buffer() const { return buildLevelBuffer(lvz, img); }

std::filesystem::path BuiltLevel::write(const std::filesystem::path& folder, const std::string& name) const {
    ensureFolder(folder);
    writeWholeFile(folder / (name + ".lvz"), lvz);
    writeWholeFile(folder / (name + ".IMG"), img);
    return folder / (name + ".lvz");
}

} // namespace veldrin::test
