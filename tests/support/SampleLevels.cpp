#include "support/SampleLevels.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "level/WorldTables.h"
#include "support/ModelEncoder.h"
#include "support/TextureEncoder.h"

namespace veldrin::test {

namespace {

class Dice {
public:
    explicit Dice(uint32_t seed) : rng_(seed) {}
    int below(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::mt19937 rng_; // its output sequence is fixed by the standard; distributions are not
};

TestTexture makeTexture(Dice& dice, GameVersion edition, int index) {
    TestTexture t;
    const int sizes[] = {16, 32, 64};
    t.width = sizes[1 + dice.below(2)];
    t.height = sizes[dice.below(3)];
    t.depth = dice.chance(40) ? 4 : 8;
    if (isPsp(edition)) {
        t.depth = dice.chance(80) ? 4 : 8;
        if (t.depth == 4 && dice.chance(20)) t.width = 16; // one block wide: the narrow path
    } else {
        t.swizzled = !dice.chance(20);
        t.mipCount = 1 + dice.below(3);
    }
    const int entries = t.depth == 4 ? 16 : 256;
    const bool alpha = dice.chance(25);
    const int opaque = isPsp(edition) ? 255 : 128;
    for (int e = 0; e < entries; ++e) {
        const auto shade = static_cast<uint8_t>((e * 255) / (entries - 1));
        t.palette.push_back({static_cast<uint8_t>((shade + index * 37) & 0xFF), shade,
                             static_cast<uint8_t>(255 - shade),
                             static_cast<uint8_t>(alpha && e < entries / 4 ? e * 4 : opaque)});
    }
    t.texels.resize(static_cast<std::size_t>(t.width) * t.height);
    for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x)
            t.texels[static_cast<std::size_t>(y) * t.width + x] =
                static_cast<uint8_t>(((x / 4 + y / 4 + index) % 2 ? x * entries / t.width : y * entries / t.height) % entries);
    return t;
}

// A box-like building: each material is one wall strip going round part of the footprint.
TestModelPart makeModel(Dice& dice, int textures, int firstTexture) {
    TestModelPart part;
    const int materials = 1 + dice.below(3);
    const int16_t half = static_cast<int16_t>(8000 + dice.below(16000));
    const int16_t height = static_cast<int16_t>(10000 + dice.below(20000));
    const int16_t corners[5][2] = {{static_cast<int16_t>(-half), static_cast<int16_t>(-half)},
                                   {half, static_cast<int16_t>(-half)},
                                   {half, half},
                                   {static_cast<int16_t>(-half), half},
                                   {static_cast<int16_t>(-half), static_cast<int16_t>(-half)}};
    for (int m = 0; m < materials; ++m) {
        TestMaterial mat;
        mat.textureId = static_cast<int16_t>(firstTexture + (dice.below(textures)));
        mat.uScale = 1.0f + static_cast<float>(dice.below(4));
        mat.vScale = 1.0f;
        const int segments = 2 + dice.below(20);
        for (int s = 0; s <= segments; ++s) {
            const double t = static_cast<double>(s) / segments * 4.0;
            const int edge = std::min(3, static_cast<int>(t));
            const double f = t - edge;
            const auto x = static_cast<int16_t>(corners[edge][0] + (corners[edge + 1][0] - corners[edge][0]) * f);
            const auto y = static_cast<int16_t>(corners[edge][1] + (corners[edge + 1][1] - corners[edge][1]) * f);
            const auto u = static_cast<uint8_t>((s * 128 / segments) & 0xFF);
            const auto colour = static_cast<uint16_t>(dice.below(0x8000));
            mat.strip.push_back({x, y, static_cast<int16_t>(-height / 2), u, 0, colour});
            mat.strip.push_back({x, y, static_cast<int16_t>(height / 2), u, 127, static_cast<uint16_t>(colour ^ 0x1CE7)});
        }
        part.materials.push_back(mat);
    }
    return part;
}

ResourceEncoder modelEncoder(GameVersion edition, TestModelPart part) {
    return [edition, part = std::move(part)](uint32_t) { return encodeModelPart(edition, part); };
}

ResourceEncoder textureEncoder(GameVersion edition, TestTexture texture) {
    return [edition, texture = std::move(texture)](uint32_t offset) { return encodeTexture(edition, texture, offset); };
}

} // namespace

SampleShape cityShape() {
    SampleShape s;
    s.textures = 2500;
    s.models = 4000;
    s.instances = 10000;
    s.pairs = 40;
    s.seed = 4000;
    return s;
}

SampleShape scaledShape(SampleShape shape, int times) {
    shape.textures *= times;
    shape.models *= times;
    shape.pairs *= times;
    shape.instances = std::min(shape.instances * times, kInstanceSlots - 1);
    return shape;
}

LevelDescription sampleTown(GameVersion edition, const SampleShape& shape) {
    Dice dice(shape.seed);
    const WorldLayout layout = worldLayout(edition);
    LevelDescription d;
    d.edition = edition;
    d.resourceCount = shape.textures + shape.models + 3; // a few unused indices at the end
    d.trailingBlocks = 2;
    d.extraBlocks = isVcs(edition) ? 2 : 0;

    // Cells: a block of the grid around its middle, plus the extra cells of the last row.
    const int cellRows = std::max(2, static_cast<int>(std::sqrt(shape.instances / 12.0)));
    const int firstRow = std::max(0, layout.rowCount / 2 - cellRows / 2);
    const int cellsPerRow = std::min(layout.cellCount, cellRows);
    for (int r = 0; r < cellRows && firstRow + r < layout.rowCount - 1; ++r) {
        for (int c = 0; c < cellsPerRow; ++c) {
            TestCell cell;
            cell.row = firstRow + r;
            cell.column = layout.cellCount / 2 - cellsPerRow / 2 + c;
            d.cells.push_back(cell);
        }
        d.rowStarts[firstRow + r] = (r % 3 == 0) ? 1 : 0;
    }
    for (int e = 0; e < 3; ++e) {
        TestCell cell;
        cell.extra = true;
        cell.row = static_cast<int>(d.cells.back().row) + 1 + e;
        cell.column = 2 + e;
        d.cells.push_back(cell);
    }
    const int cellCount = static_cast<int>(d.cells.size());

    // Textures: world table, cell blocks, trailing blocks and extra blocks.
    for (int t = 0; t < shape.textures; ++t) {
        TestResource res;
        res.encode = textureEncoder(edition, makeTexture(dice, edition, t));
        const int where = dice.below(isVcs(edition) ? 4 : 3);
        if (where == 0) res.placements = {{Where::WorldTable, 0}};
        else if (where == 1) res.placements = {{Where::Cell, dice.below(cellCount)}};
        else if (where == 2) res.placements = {{Where::TrailingBlock, dice.below(d.trailingBlocks)}};
        else res.placements = {{Where::ExtraBlock, dice.below(d.extraBlocks)}};
        d.resources[t] = std::move(res);
    }

    // Models, each with a scale that every instance of it shares.
    const int firstModel = shape.textures;
    std::vector<float> scale(static_cast<std::size_t>(shape.models));
    for (int m = 0; m < shape.models; ++m) {
        TestResource res;
        res.encode = modelEncoder(edition, makeModel(dice, shape.textures, 0));
        res.placements = {dice.chance(15) ? Placement{Where::WorldTable, 0} : Placement{Where::Cell, dice.below(cellCount)}};
        d.resources[firstModel + m] = std::move(res);
        scale[static_cast<std::size_t>(m)] = 4.0f + static_cast<float>(dice.below(40));
    }

    // Instances: every model at least once, then random extra copies; some ids shared by two models.
    auto place = [&](int id, int model, int list) {
        TestInstance inst;
        inst.id = id;
        inst.model = firstModel + model;
        inst.list = list;
        const float s = scale[static_cast<std::size_t>(model)];
        const double angle = dice.below(360) * 3.14159265358979 / 180.0;
        const auto c = static_cast<float>(std::cos(angle)), sn = static_cast<float>(std::sin(angle));
        inst.matrix = {c * s, sn * s, 0, -sn * s, c * s, 0, 0, 0, s};
        inst.position = {static_cast<float>(dice.below(100)) + 0.25f, static_cast<float>(dice.below(80)) + 0.5f,
                         static_cast<float>(dice.below(20))};
        d.cells[static_cast<std::size_t>(dice.below(cellCount))].instances.push_back(inst);
    };
    std::vector<int> listOf(static_cast<std::size_t>(shape.models));
    for (int m = 0; m < shape.models; ++m) listOf[static_cast<std::size_t>(m)] = dice.below(layout.instanceLists);
    int id = 1;
    for (int m = 0; m < shape.models && id < shape.instances; ++m) place(id++, m, listOf[static_cast<std::size_t>(m)]);
    for (int p = 0; p < shape.pairs && p * 2 + 1 < shape.models; ++p) {
        // The same id under two models: the second becomes the first one's second geometry part.
        const int a = p * 2, b = p * 2 + 1;
        place(id, a, listOf[static_cast<std::size_t>(a)]);
        place(id, b, listOf[static_cast<std::size_t>(b)]);
        ++id;
    }
    while (id < shape.instances) {
        const int m = dice.below(shape.models);
        place(id++, m, listOf[static_cast<std::size_t>(m)]);
    }
    return d;
}

} // namespace veldrin::test
