#include "app/install/ColMapInstall.h"

#include "app/install/InstallText.h"
#include "base/Error.h"
#include "base/FileIO.h"

namespace veldrin {

namespace fs = std::filesystem;

namespace {

ColMapOptions colMapOptions(StoriesEdition game, const InstallRequest& request, TargetGame target) {
    ColMapOptions o;
    o.edition = game;
    o.target = target;
    // The levels' offset, so the collision lands under the models it belongs to.
    const MapOffset& m = request.options.mapOffset;
    o.mapOffset = {m.xyz[0], m.xyz[1], m.xyz[2]};
    return o;
}

struct Inputs {
    std::vector<uint8_t> dtz, img;
    ColMapInputs view(const fs::path& dtzPath) const {
        ColMapInputs in;
        in.dtz = dtz;
        in.dtzName = dtzPath.filename().string();
        in.img = img;
        return in;
    }
};

Inputs readInputs(const fs::path& dtz, const fs::path& img) { return {readWholeFile(dtz), readWholeFile(img)}; }

} // namespace

ColMapPlan planColMap(const fs::path& dtz, const fs::path& img, const InstallRequest& request,
                      std::optional<StoriesEdition> levelsGame, LevelNamePlanner& planner, const fs::path& folder) {
    const Inputs inputs = readInputs(dtz, img);
    ColMapPlan plan;
    plan.dtz = dtz;
    plan.img = img;
    std::optional<ColMapSummary> read;
    if (request.colMapGame) {
        plan.game = *request.colMapGame;
        read = convertColMap(inputs.view(dtz), colMapOptions(plan.game, request, TargetGame::Gta3)).summary;
    } else {
        // The two games lay their collision headers out differently: read under the wrong one, the
        // counts and offsets mostly point outside the files and the reading is refused.
        std::vector<std::pair<StoriesEdition, ColMapSummary>> readings;
        std::string refusal;
        for (StoriesEdition game : {StoriesEdition::LCS, StoriesEdition::VCS}) {
            try {
                readings.emplace_back(game, convertColMap(inputs.view(dtz), colMapOptions(game, request, TargetGame::Gta3)).summary);
            } catch (const std::exception& e) {
                refusal = errorText(e);
            }
        }
        if (readings.empty()) throw VeldrinError(installText::colMapUnreadable(dtz, refusal));
        if (readings.size() > 1) {
            if (!levelsGame) throw VeldrinError(installText::colMapAmbiguous(dtz));
            readings.erase(readings.begin() + (*levelsGame == StoriesEdition::LCS ? 1 : 0));
        }
        plan.game = readings.front().first;
        plan.gameDetected = true;
        read = readings.front().second;
    }
    plan.models = read->models;
    plan.placements = read->instances;
    const LevelNamePlanner::ModelsPlaced placed = planner.placeModels("the collision map", plan.modelPrefix, read->modelIndices, folder, plan.fileName);
    plan.modelPrefix = placed.prefix;
    plan.fileName = placed.fileName;
    plan.firstId = placed.firstId;
    return plan;
}

ColMapResult convertPlannedColMap(const ColMapPlan& plan, const InstallRequest& request, TargetGame target,
                                  const std::string& dictionary, const ColCallbacks& callbacks) {
    const Inputs inputs = readInputs(plan.dtz, plan.img);
    ColMapOptions o = colMapOptions(plan.game, request, target);
    o.idOffset = plan.firstId;
    o.modelPrefix = plan.modelPrefix;
    o.dictionary = dictionary;
    return convertColMap(inputs.view(plan.dtz), o, callbacks);
}

} // namespace veldrin
