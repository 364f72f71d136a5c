#include "report/ViewerSection.h"

#include "base/FileIO.h"

namespace veldrin {
namespace {

// The view's controls; viewer.js finds them by id. The canvas is the page's largest.
constexpr const char* kSection = R"(<h2 id="view">3D view</h2>
<style>
#veldrin-view { position: relative; max-width: 1200px; }
#veldrin-canvas { width: 100%; height: 640px; display: block; background: #9fb6cc; cursor: grab; outline: none; }
#veldrin-bar { display: flex; flex-wrap: wrap; gap: 6px; align-items: center; margin: 6px 0; }
#veldrin-bar input[type=search] { width: 220px; }
#veldrin-info { position: absolute; top: 8px; left: 8px; background: rgba(255,255,255,.9); padding: 6px 10px;
  font-size: 13px; max-width: 360px; border: 1px solid #bbb; }
#veldrin-info:empty { display: none; }
#veldrin-status { color: #555; font-size: 13px; }
</style>
<div id="veldrin-bar">
<input type="search" id="veldrin-search" list="veldrin-names" placeholder="Model name, then Enter" aria-label="Fly to a model by name">
<datalist id="veldrin-names"></datalist>
<button type="button" id="veldrin-frame">Frame all</button>
<button type="button" id="veldrin-top">Top view</button>
<select id="veldrin-detail" aria-label="Which models to show"><option value="hd">HD</option><option value="lod">LOD</option><option value="both">HD and LOD</option></select>
<label><input type="checkbox" id="veldrin-night"> Night colours</label>
<span id="veldrin-status">Loading the scene...</span>
</div>
<div id="veldrin-view"><canvas id="veldrin-canvas" tabindex="0"></canvas><div id="veldrin-info"></div></div>
<p id="veldrin-colours">Colours: the textures times each model's prelight, the day vertex colours its DFF holds, or with
Night colours the night ones where the model has them. The game lights these further by its own time of day, so in the game
the level can look lighter or darker than here.</p>
<p>Drag to orbit, right-drag or shift-drag to pan, wheel to zoom; W A S D (Q E down and up) fly, shift flies faster. Click a model to see what it is.</p>
<script src="scene.js"></script>
<script src="viewer.js"></script>
)";

} // namespace

std::string viewerSection() { return kSection; }

void writeViewerFiles(const std::filesystem::path& folder, const Scene& scene, const PackedScene& packed,
                      const std::function<const std::vector<SceneAtlas>&()>& atlasesWhenMade) {
    writeWholeFileFrom(folder / "scene.js", [&](ByteSink& out) { writeSceneScript(out, scene, packed, atlasesWhenMade); });
    writeWholeFile(folder / "viewer.js", std::string_view(kViewerScript));
}

} // namespace veldrin
