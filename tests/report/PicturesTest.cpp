// The report's pictures: thumbnails, texture sheets and the placement map, checked pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "report/PlacementMap.h"
#include "report/TextureSheet.h"
#include "report/Thumbnail.h"
#include "report/WarningKinds.h"

namespace veldrin {
namespace {

using Colour = std::array<uint8_t, 4>;

Colour pixel(const RgbaImage& image, int x, int y) {
    const uint8_t* p = image.at(x, y);
    return {p[0], p[1], p[2], p[3]};
}

// A horizontal square at height z, two triangles, one colour, texture 0 when `textured`.
void addSquare(ThumbnailMesh& mesh, float z, Colour colour, int texture) {
    const auto first = static_cast<uint32_t>(mesh.positions.size());
    for (const auto& [x, y] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
        mesh.positions.push_back({x, y, z});
        mesh.coordinates.push_back({(x + 1) / 2, (y + 1) / 2});
        mesh.colours.push_back(colour);
    }
    mesh.triangles.push_back({first, first + 1, first + 2, texture});
    mesh.triangles.push_back({first, first + 2, first + 3, texture});
}

std::set<Colour> opaqueColours(const RgbaImage& image) {
    std::set<Colour> colours;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (pixel(image, x, y)[3] != 0) colours.insert(pixel(image, x, y));
    return colours;
}

TEST(Thumbnail, NearestSurfaceWinsWhateverTheOrder) {
    const Colour red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    for (bool topFirst : {true, false}) {
        ThumbnailMesh mesh;
        addSquare(mesh, topFirst ? 1.0f : 0.0f, topFirst ? red : blue, -1);
        addSquare(mesh, topFirst ? 0.0f : 1.0f, topFirst ? blue : red, -1);
        const RgbaImage image = renderThumbnail(mesh);
        ASSERT_EQ(image.width, kThumbnailSize);
        EXPECT_EQ(pixel(image, 64, 64), red) << "seen from above, the upper square covers the lower";
        EXPECT_EQ(pixel(image, 0, 0)[3], 0) << "the background stays transparent";
        EXPECT_TRUE(opaqueColours(image).count(blue)) << "the lower square shows below the upper one's edge";
    }
}

TEST(Thumbnail, VertexColoursAreMultipliedByTheTexture) {
    // Three texels of one colour and one transparent texel, which leaves a quarter of the square undrawn.
    RgbaImage texture(2, 2);
    for (int i = 0; i < 4; ++i) texture.set(i % 2, i / 2, i == 3 ? Colour{0, 0, 0, 0} : Colour{255, 128, 0, 255});
    struct Case {
        Colour vertex;
        bool textured;
        Colour expected;
    };
    const Case cases[] = {
        {{255, 255, 255, 255}, true, {255, 128, 0, 255}},
        {{128, 255, 64, 255}, true, {128, 128, 0, 255}},
        {{128, 255, 64, 255}, false, {128, 255, 64, 255}},
    };
    auto covered = [](const RgbaImage& image) {
        int n = 0;
        for (std::size_t i = 3; i < image.pixels.size(); i += 4) n += image.pixels[i] != 0;
        return n;
    };
    ThumbnailMesh plain;
    addSquare(plain, 0, {255, 255, 255, 255}, -1);
    const int whole = covered(renderThumbnail(plain));
    for (const Case& c : cases) {
        ThumbnailMesh mesh;
        addSquare(mesh, 0, c.vertex, c.textured ? 0 : -1);
        mesh.textures = {&texture};
        const RgbaImage image = renderThumbnail(mesh);
        EXPECT_EQ(opaqueColours(image), std::set<Colour>{c.expected});
        const double share = double(covered(image)) / whole;
        if (c.textured) EXPECT_NEAR(share, 0.75, 0.05);
        else EXPECT_EQ(share, 1.0);
    }
}

TEST(Thumbnail, AModelWithTrianglesIsNotOneFlatColourAndDamageDrawsNothing) {
    ThumbnailMesh box;
    addSquare(box, 1, {200, 60, 60, 255}, -1);
    addSquare(box, -1, {60, 200, 60, 255}, -1);
    box.positions[0][0] = -2; // a slanted corner shows part of the lower square
    const RgbaImage image = renderThumbnail(box);
    EXPECT_GE(opaqueColours(image).size(), 2u);

    ThumbnailMesh damaged = box;
    damaged.triangles = {{0, 1, 99, -1}, {0, 1, 2, 5}};
    EXPECT_TRUE(opaqueColours(renderThumbnail(damaged)).empty());
    EXPECT_TRUE(opaqueColours(renderThumbnail(ThumbnailMesh{})).empty());
}

DictionaryTexture solid(const std::string& name, int w, int h, uint8_t shade) {
    DictionaryTexture t{name, w, h, shade % 2 == 1, {}};
    for (int i = 0; i < w * h; ++i) t.rgba.insert(t.rgba.end(), {shade, uint8_t(i), uint8_t(255 - shade), 255});
    return t;
}

TEST(TextureSheet, CellsHoldEachTextureOnceWithoutOverlap) {
    const std::vector<std::vector<DictionaryTexture>> dictionaries = {
        {},
        {solid("a", 4, 4, 1)},
        {solid("a", 64, 32, 1), solid("b", 8, 8, 2), solid("c", 256, 4, 3), solid("d", 16, 128, 4), solid("e", 4, 4, 5)},
    };
    for (const auto& textures : dictionaries) {
        const TextureSheet sheet = composeSheet(textures);
        ASSERT_EQ(sheet.cells.size(), textures.size());
        ASSERT_GE(sheet.image.width, 1);
        for (std::size_t i = 0; i < textures.size(); ++i) {
            const SheetCell& c = sheet.cells[i];
            EXPECT_EQ(c.name, textures[i].name);
            EXPECT_EQ(c.alpha, textures[i].hasAlpha);
            ASSERT_LE(c.x + c.width, sheet.image.width);
            ASSERT_LE(c.y + c.height, sheet.image.height);
            for (std::size_t j = 0; j < i; ++j) {
                const SheetCell& o = sheet.cells[j];
                EXPECT_TRUE(c.x >= o.x + o.width || o.x >= c.x + c.width || c.y >= o.y + o.height || o.y >= c.y + c.height)
                    << c.name << " overlaps " << o.name;
            }
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x)
                    ASSERT_EQ(0, std::memcmp(sheet.image.at(c.x + x, c.y + y), &textures[i].rgba[(y * c.width + x) * 4], 4));
        }
    }
}

TEST(PlacementMap, EveryPointIsDrawnInItsKindsColourInsideTheBounds) {
    const std::vector<MapPoint> points = {{-500, 300, PlacementKind::Model, "a"}, {1200, -800, PlacementKind::Lod, "b"},
                                          {0, 0, PlacementKind::MegaLod, "c"}, {400, 400, PlacementKind::Model, "d"},
                                          {std::nanf(""), 0, PlacementKind::Model, "e"}};
    const std::vector<MapZone> zones = {{"town", -1600, -200, -1000, 600}};
    const PlacementMap map = renderPlacementMap(points, zones);
    EXPECT_EQ(map.points, 4) << "a point without a position is not drawn";
    EXPECT_LE(map.minX, -1600);
    EXPECT_GE(map.maxX, 1200);
    EXPECT_LE(map.minY, -800);
    EXPECT_GE(map.maxY, 600);
    EXPECT_DOUBLE_EQ(map.maxX - map.minX, map.maxY - map.minY) << "north-south and east-west at one scale";

    // Each point's pixel, which the page names under the pointer, shows its kind's colour; east is
    // right and north up.
    ASSERT_EQ(map.pixels.size(), points.size());
    const std::map<PlacementKind, Colour> kindColours = {{PlacementKind::Model, {30, 100, 200, 255}},
                                                         {PlacementKind::Lod, {235, 130, 20, 255}},
                                                         {PlacementKind::MegaLod, {140, 50, 170, 255}}};
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const uint8_t* p = map.image.at(map.pixels[i][0], map.pixels[i][1]);
        EXPECT_EQ((Colour{p[0], p[1], p[2], p[3]}), kindColours.at(points[i].kind)) << points[i].name;
    }
    EXPECT_GT(map.pixels[1][0], map.pixels[0][0]);
    EXPECT_GT(map.pixels[1][1], map.pixels[0][1]);
    EXPECT_EQ(map.pixels[4][0], -1) << "a point without a position has no pixel";

    // Each kind's colour appears; the zone's outline too.
    std::set<Colour> colours = opaqueColours(map.image);
    for (const Colour c : {Colour{30, 100, 200, 255}, Colour{235, 130, 20, 255}, Colour{140, 50, 170, 255},
                           Colour{40, 150, 60, 255}})
        EXPECT_TRUE(colours.count(c));

    const PlacementMap empty = renderPlacementMap({}, {});
    EXPECT_EQ(empty.points, 0);
    EXPECT_LT(empty.minX, 0);
    EXPECT_GT(empty.maxX, 0);
}

// A manifest names kinds by id: each kind reads back as itself, and grouping keeps the order kinds first
// appear in, whatever the words of the messages.
TEST(WarningKinds, IdsReadBackAndGroupsKeepFirstAppearance) {
    std::set<std::string_view> ids;
    for (int k = 0; k <= static_cast<int>(WarningKind::Other); ++k) {
        const WarningKindText& text = describeWarning(static_cast<WarningKind>(k));
        EXPECT_TRUE(ids.insert(text.id).second) << text.id;
        EXPECT_EQ(&warningKindById(text.id), &text);
    }
    EXPECT_EQ(warningKindById("no-such-kind").id, "other");
    const std::vector<RunWarning> raised{{WarningKind::TextureMissing, "a"},
                                         {WarningKind::IdleOption, "b"},
                                         {WarningKind::TextureMissing, "reworded entirely"}};
    const std::vector<WarningGroup> groups = groupWarnings(raised);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].kind->id, "texture-missing");
    EXPECT_EQ(groups[0].texts, (std::vector<std::string>{"a", "reworded entirely"}));
    EXPECT_EQ(groups[1].kind->id, "idle-option");
}

} // namespace
} // namespace veldrin
