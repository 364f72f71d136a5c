#include "level/WorldReader.h"

#include <cmath>
#include <string>
#include <string_view>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "level/Rotation.h"

namespace veldrin {

namespace {

constexpr int64_t kReadAllowance = 64 * 1024;

std::string cellName(int row, int column) {
    return "cell (row " + std::to_string(row) + ", column " + std::to_string(column) + ")";
}

class WorldReaderPass {
public:
    WorldReaderPass(const LevelBuffer& level, GameVersion edition)
        : level_(level), world_(level.world(), "world resource"), img_(level.img(), level.imgName),
          layout_(worldLayout(edition)) {
        tables_.edition = edition;
        readBudget_ = (layout_.instanceLists + 2) * static_cast<int64_t>(level.img().size()) + kReadAllowance;
        cellWidth_ = static_cast<float>(4000 / layout_.cellCount);
        const double w = cellWidth_;
        rowPitch_ = static_cast<float>(std::sqrt(w * w - (w / 2) * (w / 2)));
    }

    WorldTables run() {
        readResourceTable();
        try {
            readGrid();
            if (layout_.hasExtraBlocks) readExtraBlocks();
        } catch (const VeldrinError& e) {
            // The world points into the IMG: a read past its end means the IMG is cut short or is
            // another level's, not that the LVZ is wrong, so the message names the IMG first.
            const std::string prefix = img_.what() + ": ";
            if (std::string_view(e.what()).starts_with(prefix)) {
                throw VeldrinError(img_.what() + " is shorter than the level's world needs (" +
                                   std::string(e.what() + prefix.size()) + "); the IMG is truncated, or belongs to another level");
            }
            throw;
        }
        return std::move(tables_);
    }

private:
    // Steps 1 and 2: the resource table, sized by ResourceCount.
    void readResourceTable() {
        const uint32_t tableOffset = world_.u32(32, "resource table offset");
        const int64_t countOffset = 36 + 8 * static_cast<int64_t>(layout_.rowCount);
        const uint32_t count = world_.u32(countOffset, "resource count");
        world_.require(tableOffset, static_cast<int64_t>(count) * layout_.resourceEntrySize,
                       "resource table (" + std::to_string(count) + " entries)");
        tables_.resourceCount = static_cast<int>(count);
        tables_.resources.assign(count, ResourceEntry{});
        tables_.models.assign(count, ModelRecord{});
        tables_.instances.clear();
        for (uint32_t i = 0; i < count; ++i) {
            const int64_t entry = tableOffset + static_cast<int64_t>(i) * layout_.resourceEntrySize;
            const uint32_t offset = world_.u32(entry);
            if (offset == 0) continue;
            const uint32_t index = layout_.resourceEntrySize == 12 ? world_.u32(entry + 8) : i;
            if (index >= count) {
                ++tables_.stats.skippedResourceIndices;
                continue;
            }
            ResourceEntry& r = tables_.resources[index];
            r.position = level_.worldBase + offset;
            r.fromWorldTable = true;
            r.base = level_.worldBase;
            ++tables_.stats.locatedByWorldTable;
        }
    }

    // Steps 3 to 5: the rows of cells, the last row's extra cells, then the trailing block headers.
    void readGrid() {
        const uint32_t extraCount = world_.u32(layout_.extraCellTable, "extra cell count");
        const uint32_t extraTable = world_.u32(layout_.extraCellTable + 4, "extra cell table offset");
        world_.require(extraTable, 6 * static_cast<int64_t>(extraCount), "extra cell table");
        int64_t lastRowOffset = 0;
        for (int r = 0; r < layout_.rowCount; ++r) {
            const int64_t rowEntry = 36 + 8 * static_cast<int64_t>(r);
            const uint32_t rowOffset = world_.u32(rowEntry, "row table");
            const int32_t rowStart = world_.i32(rowEntry + 4, "row table");
            const bool last = r == layout_.rowCount - 1;
            int64_t cells;
            if (last) {
                cells = extraCount;
                lastRowOffset = rowOffset;
            } else {
                const int64_t next = world_.u32(rowEntry + 8, "row table");
                cells = std::max<int64_t>(0, (next - static_cast<int64_t>(rowOffset)) / 32);
            }
            world_.require(rowOffset, 32 * cells, "cells of row " + std::to_string(r));
            for (int64_t c = 0; c < cells; ++c) {
                CellPlace place;
                if (last) {
                    const int64_t e = extraTable + 6 * c;
                    place.column = world_.u8(e + 0);
                    place.row = world_.u8(e + 1) + 1;
                    place.rowStart = 0;
                    ++tables_.stats.extraCells;
                } else {
                    place.row = r + 1;
                    place.column = static_cast<int>(c);
                    place.rowStart = rowStart;
                }
                ++tables_.stats.cells;
                readCell(rowOffset + 32 * c, place);
            }
        }
        // Trailing block headers carry resource lists only; the run ends at the first header without "DLRW".
        for (int64_t h = lastRowOffset + 32 * static_cast<int64_t>(extraCount);
             world_.contains(h, 32) && world_.u32(h) == kWorldIdent; h += 32) {
            ++tables_.stats.trailingBlocks;
            const int64_t data = world_.u32(h + 24);
            const std::string what = "trailing block " + std::to_string(tables_.stats.trailingBlocks);
            img_.require(data, 8, what + " data");
            readResourceList(data - 32, img_.u32(data), img_.u16(data + 4), what,
                             tables_.stats.locatedByTrailingBlocks);
        }
    }

    struct CellPlace {
        int row = 0;
        int column = 0;
        int rowStart = 0;
    };

    void readCell(int64_t header, const CellPlace& place) {
        const std::string what = cellName(place.row - 1, place.column);
        const int64_t data = world_.u32(header + 24, "block header of " + what);
        const int64_t block = data - 32;
        const int lists = layout_.instanceLists;
        img_.require(data, 8 + 4 * static_cast<int64_t>(lists + 1), "block data of " + what);
        const uint32_t listOffset = img_.u32(data);
        const uint16_t listCount = img_.u16(data + 4);
        if (img_.u32(data + 8) == 32 + 8 + 4 * static_cast<int64_t>(lists + 1)) ++tables_.stats.cellsWithListsAfterTable;
        for (int j = 0; j < lists; ++j) {
            const int64_t from = img_.u32(data + 8 + 4 * j);
            const int64_t to = img_.u32(data + 12 + 4 * j);
            if (to > from && (to - from) % layout_.instanceRecordSize == 0) ++tables_.stats.wholeRecordLists;
            const int64_t records = std::max<int64_t>(0, (to - from) / layout_.instanceRecordSize);
            img_.require(block + from, records * layout_.instanceRecordSize,
                         "instance list " + std::to_string(j) + " of " + what);
            spend(records * layout_.instanceRecordSize);
            for (int64_t k = 0; k < records; ++k) {
                placeRecord(block + from + k * layout_.instanceRecordSize, j, place);
            }
        }
        readResourceList(block, listOffset, listCount, what, tables_.stats.locatedByBlocks);
    }

    // A block's resource list: the first location found for a resource wins.
    void readResourceList(int64_t block, int64_t listOffset, int64_t count, const std::string& what, int& located) {
        img_.require(block + listOffset, 8 * count, "resource list of " + what);
        spend(8 * count);
        for (int64_t e = 0; e < count; ++e) {
            const int64_t entry = block + listOffset + 8 * e;
            locate(img_.u32(entry), block, img_.u32(entry + 4), located);
        }
    }

    void locate(uint32_t index, int64_t base, uint32_t offset, int& located) {
        if (index >= static_cast<uint32_t>(tables_.resourceCount)) {
            ++tables_.stats.skippedResourceIndices;
            return;
        }
        ResourceEntry& r = tables_.resources[index];
        if (r.position != 0) return;
        r.position = base + offset;
        r.fromWorldTable = false;
        r.base = base;
        ++located;
    }

    // Step 6 (VCS): extra blocks hold resource lists with the count before the offset.
    void readExtraBlocks() {
        const uint32_t count = world_.u32(752, "extra block count");
        const uint32_t table = world_.u32(756, "extra block table offset");
        world_.require(table, 16 * static_cast<int64_t>(count), "extra block table");
        for (uint32_t b = 0; b < count; ++b) {
            ++tables_.stats.extraBlocks;
            const int64_t start = world_.u32(table + 16 * static_cast<int64_t>(b) + 4);
            const std::string what = "extra block " + std::to_string(b);
            img_.require(start + 32, 8, what);
            const uint32_t entries = img_.u32(start + 32);
            const uint32_t listOffset = img_.u32(start + 36);
            img_.require(start + listOffset, 8 * static_cast<int64_t>(entries), "resource list of " + what);
            spend(8 * static_cast<int64_t>(entries));
            for (uint32_t e = 0; e < entries; ++e) {
                const int64_t entry = start + listOffset + 8 * static_cast<int64_t>(e);
                locate(img_.u16(entry), start, img_.u32(entry + 4), tables_.stats.locatedByExtraBlocks);
            }
        }
    }

    // Cells, blocks and lists may all name the same bytes, so the records and list entries a level
    // may have read are bounded by the IMG's size: an honest level reads each of them once.
    void spend(int64_t bytes) {
        readSoFar_ += bytes;
        if (readSoFar_ > readBudget_) {
            throw VeldrinError("world resource: its cells and blocks name the same IMG records over and over, more than " +
                               std::to_string(readBudget_) + " bytes of records for a " +
                               std::to_string(level_.img().size()) + "-byte IMG; the level is damaged");
        }
    }

    std::array<float, 9> readMatrix(int64_t record) const {
        std::array<float, 9> m{};
        if (layout_.instanceRecordSize == 80) {
            for (int row = 0; row < 3; ++row)
                for (int col = 0; col < 3; ++col) m[row * 3 + col] = img_.f32(record + 16 + row * 16 + col * 4);
        } else {
            for (int i = 0; i < 9; ++i) m[i] = unpackFloat(img_.u32(record + 16 + 4 * i));
        }
        return m;
    }

    std::array<float, 3> readPosition(int64_t record) const {
        std::array<float, 3> p{};
        for (int i = 0; i < 3; ++i) {
            p[i] = layout_.instanceRecordSize == 80 ? img_.f32(record + 64 + 4 * i)
                                                    : unpackFloat(img_.u32(record + 52 + 4 * i));
        }
        return p;
    }

    void placeRecord(int64_t record, int list, const CellPlace& place) {
        ++tables_.stats.instanceRecords;
        const int id = img_.u16(record) & 0x7FFF;
        const int m = img_.u16(record + 2);
        if (m >= tables_.resourceCount) {
            ++tables_.stats.skippedResourceIndices;
            return;
        }
        ModelRecord& model = tables_.models[m];
        model.instanced = true;
        model.lists = static_cast<uint8_t>(model.lists | (1u << list));
        const bool vcs = layout_.hasExtraBlocks;
        const bool far = vcs ? (list == 0 || list == 2) : (list == 0 || list == 1);
        model.drawDistance = far ? 3000 : 299;
        if (list == 0) model.megaLod = true;
        if (vcs ? list >= 6 : list >= 4) model.drawLast = true;

        const DecodedMatrix decoded = decodeMatrix(readMatrix(record));
        model.scale = decoded.scale;
        // Slots grow to the highest id met, so a level placing a few records reads a few slots.
        if (static_cast<std::size_t>(id) >= tables_.instances.size()) tables_.instances.resize(id + 1);
        PlacedInstance& slot = tables_.instances[id];
        slot.rotation = decoded.rotation;
        if (slot.defined) {
            if (slot.model != m) {
                slot.pairModel = m;
                model.isPairModel = true;
            }
            return;
        }
        slot.model = m;
        slot.defined = true;
        slot.row = place.row;
        slot.column = place.column;
        slot.rowStart = place.rowStart;
        const std::array<float, 3> p = readPosition(record);
        const double w = cellWidth_;
        double x = (2000.0 + p[0]) + (w / 2) * (place.row % 2) + place.column * w -
                   (layout_.cellCount - static_cast<double>(place.rowStart)) * w; // a damaged row start is any int32
        x += layout_.xShift;
        const double y = place.row * static_cast<double>(rowPitch_) + p[1] - 2000.0 - rowPitch_ / 2.0;
        slot.position = {static_cast<float>(x), static_cast<float>(y), p[2]};
    }

    const LevelBuffer& level_;
    ByteReader world_;
    ByteReader img_;
    WorldLayout layout_;
    WorldTables tables_;
    float cellWidth_ = 0;
    float rowPitch_ = 0;
    int64_t readBudget_ = 0;
    int64_t readSoFar_ = 0;
};

} // namespace

WorldTables readWorld(const LevelBuffer& level, GameVersion edition) { return WorldReaderPass(level, edition).run(); }

} // namespace veldrin
