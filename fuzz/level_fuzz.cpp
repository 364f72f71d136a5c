// The whole level path in memory: inflation, edition detection (when the input asks for it: it reads
// the level four times over), the world reader under the edition the input picks, then the model and
// texture conversion of the first models the world places, as a run would do them, after the run's plan
// and its name checks. The texture target covers mip-maps; here they are left out to keep the runs fast.
#include <memory>
#include <set>

#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "app/EditionDetection.h"
#include "app/RunPlan.h"
#include "level/LevelInput.h"
#include "level/WorldReader.h"
#include "model/ModelConverter.h"
#include "texture/TextureDictionary.h"

using namespace veldrin;

namespace {

constexpr std::size_t kMaxInput = 1 << 20;
constexpr int kModelsConverted = 4;
constexpr std::size_t kTexturesConverted = 2;

void convertFound(const LevelBuffer& level, const WorldTables& tables, TargetGame target) {
    ConversionOptions options;
    options.gameVersion = tables.edition;
    options.targetGame = target;
    options.buildImg = true;
    fuzz::refusalsAreFine([&] { checkOutputNames(options, planRun(level, tables, options, nullptr).models); });
    std::set<int> textureIds;
    int converted = 0;
    for (int i = 0; i < tables.resourceCount && converted < kModelsConverted; ++i) {
        if (!tables.models[i].instanced || tables.resources[i].position == 0) continue;
        ++converted;
        ModelParams params;
        params.edition = tables.edition;
        params.target = target;
        params.modelName = "m" + std::to_string(i);
        params.texturePrefix = "t";
        params.scale = tables.models[i].scale;
        params.nightPrelit = target == TargetGame::GtaSa;
        fuzz::refusalsAreFine([&] {
            const ModelOutput out = convertModel(level.all(), tables.resources[i].position, 0, params);
            textureIds.insert(out.textureIds.begin(), out.textureIds.end());
        });
    }
    std::vector<TextureRef> refs;
    for (int id : textureIds) {
        if (id < 0 || id >= tables.resourceCount || tables.resources[id].position == 0) continue;
        if (refs.size() == kTexturesConverted) break;
        refs.push_back(TextureRef{id, tables.resources[id].position, tables.resources[id].base});
    }
    const TxdParams params{target, tables.edition, "t"};
    fuzz::refusalsAreFine([&] { makeTxd(level.all(), refs, params); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    fuzz::FuzzInput in(data, size);
    const uint8_t options = in.byte();
    const GameVersion edition = fuzz::editionOf(options);
    const TargetGame target = fuzz::targetOf(options >> 2);
    const bool compressed = options & 0x10;
    std::vector<uint8_t> world = in.part();
    std::vector<uint8_t> img = in.rest();

    LevelBuffer level;
    if (compressed) {
        bool read = false;
        fuzz::refusalsAreFine([&] {
            level = buildLevelBuffer(world, std::move(img));
            read = true;
        });
        if (!read) return 0;
    } else {
        level.worldBase = static_cast<int64_t>(img.size());
        level.bytes = std::move(img);
        level.bytes.insert(level.bytes.end(), world.begin(), world.end());
        level.bytes.shrink_to_fit();
    }
    // As a run does: the world detection read under the edition is used, not read again.
    std::shared_ptr<WorldTables> detected;
    if (options & 0x20) {
        fuzz::refusalsAreFine([&] {
            const EditionDetection detection = detectEdition(level);
            otherEditionLines(detection, edition);
            detected = detection.reading(edition).tables;
        });
    }
    fuzz::refusalsAreFine([&] { convertFound(level, detected ? *detected : readWorld(level, edition), target); });
    return 0;
}
