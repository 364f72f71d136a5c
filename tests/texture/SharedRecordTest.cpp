#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "TextureLevel.h"
#include "TxdChecks.h"
#include "base/Error.h"
#include "texture/TextureDictionary.h"

using namespace veldrin;
using namespace veldrin::test;

// A record named by several textures is encoded once and written under each name: the dictionary
// must be the one that byte-identical copies of the record give, whether a raster is kept for its next
// showing or encoded again, and for any thread count.
TEST(TxdSharedRecords, ReadLikeCopiesOfTheRecord) {
    const std::vector<TestTexture> kinds = {patternTexture(16, 8, 4, 40), patternTexture(32, 32, 8),
                                            patternTexture(8, 8, 8, 128, 3)};
    // Kind 1 comes back at the end, further on than the writer keeps a raster for one thread.
    const int sequence[] = {0, 1, 0, 2, 0, 1, 0, 0, 2, 1, 0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    std::vector<TestTexture> copies;
    for (int k : sequence) copies.push_back(kinds[static_cast<std::size_t>(k)]);
    for (GameVersion edition : {GameVersion::LcsPs2, GameVersion::VcsPsp}) {
        const TextureLevel level = buildTextureLevel(edition, copies);
        // The same names, every texture pointing at the first copy of its kind.
        std::vector<TextureRef> shared = level.refs;
        std::map<int, TextureRef> first;
        for (std::size_t i = 0; i < shared.size(); ++i) {
            const auto [it, added] = first.emplace(sequence[i], level.refs[i]);
            shared[i].position = it->second.position;
            shared[i].base = it->second.base;
        }
        for (TargetGame target : {TargetGame::Gta3, TargetGame::GtaSa}) {
            TxdParams p{target, edition, "tex"};
            p.genMipMaps = true;
            const std::vector<uint8_t> expected = makeTxd(level.bytes, level.refs, p);
            ASSERT_EQ(readTxd(expected).count, 23);
            for (int jobs : {1, 2, 5}) {
                p.jobs = jobs;
                EXPECT_EQ(makeTxd(level.bytes, shared, p), expected) << editionName(edition) << " " << jobs << " threads";
            }
        }
    }
}

// One record under many ids asks for output the level cannot justify once its copies pass 16 bytes for
// every byte of the level (plus 16 MB); below that they are all written.
TEST(TxdSharedRecords, CopiesPastTheLevelsBoundAreRefused) {
    const TextureLevel level = buildTextureLevel(GameVersion::LcsPs2, {patternTexture(256, 256, 8)});
    const TxdParams p{TargetGame::GtaSa, GameVersion::LcsPs2, "tex"};
    const std::vector<TextureRef> two(2, level.refs[0]);
    const int64_t native = static_cast<int64_t>(makeTxd(level.bytes, two, p).size() - makeTxd(level.bytes, level.refs, p).size());
    const int64_t bound = kTxdBytesPerLevelByte * static_cast<int64_t>(level.bytes.size()) + kTxdAllowance;
    const int fits = static_cast<int>(bound / native) - 1;
    for (int copies : {fits, fits + 2}) {
        const std::vector<TextureRef> refs(static_cast<std::size_t>(copies), level.refs[0]);
        try {
            EXPECT_EQ(readTxd(makeTxd(level.bytes, refs, p)).count, copies);
            EXPECT_EQ(copies, fits) << "accepted past the bound";
        } catch (const VeldrinError& e) {
            EXPECT_EQ(copies, fits + 2) << e.what();
            EXPECT_NE(std::string(e.what()).find("its textures name the same raster records over and over"), std::string::npos)
                << e.what();
        }
    }
}
