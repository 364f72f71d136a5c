#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/Editions.h"
#include "pcout/IdeIpl.h"
#include "pcout/ImgArchive.h"
#include "collision/ColCallbacks.h"
#include "collision/StoriesColModel.h"

namespace veldrin {

inline constexpr const char* kInvalidDtzMessage = "Invalid DTZ file";
inline constexpr const char* kInvalidImgMessage = "Invalid IMG file";
inline constexpr const char* kColMapFolder = "colmap";

// The settings of one collision map run, as the window or the command line gathers them.
struct ColMapOptions {
    StoriesEdition edition = StoriesEdition::LCS;
    TargetGame target = TargetGame::Gta3;
    bool buildings = true;
    bool dynamicObjects = true;
    bool treadables = true; // read for LCS only
    int32_t idOffset = 1000; // 0 or more
    std::array<double, 3> mapOffset{}; // added to every placement, as typed (front ends: parseExactMapOffset)
    std::string modelPrefix = "colmap"; // the models' names: the prefix and the model index
    std::string dictionary = "generic"; // the texture dictionary every IDE line names
};

struct ColMapInputs {
    std::span<const uint8_t> dtz; // GAME.DTZ as stored: one zlib stream
    std::string dtzName = "GAME.DTZ"; // file name shown while unpacking
    std::span<const uint8_t> img;
    std::optional<std::span<const uint8_t>> blankDff; // one copy per object goes into COLMAP.IMG
};

// One output file, named as it goes into the colmap folder.
using ColMapFile = OutputFile;

struct ColMapSummary {
    int models = 0;    // collision records written
    int instances = 0; // placement lines written
    int warnings = 0;
    std::vector<int> modelIndices; // of the records written, in order: the names are the prefix and these
};

struct ColMapResult {
    std::vector<ColMapFile> files; // in the order they are to be written
    ColMapSummary summary;
};

// Converts the collision of a whole map: every model of GAME.DTZ's model table (or of a COL2 file in
// the IMG, which takes precedence) that a collected instance places and whose record is not empty
// becomes one "COLL" record "colmap<index>" (or another modelPrefix), one IDE object and the IPL lines of its instances.
// Files: ColMap.IDE, ColMap.IPL and ColMap.col; with a blank DFF also COLMAP.IMG, with COLMAP.DIR for
// GTA 3 and GTA VC, while for GTA SA the collision goes into the archive as COLMAP.COL instead of
// ColMap.col. Refuses damaged input with VeldrinError; nothing is returned then.
// Safe for untrusted input: tables and records are checked inside their files before use, the IMG is
// read at most twice (applyImgCollisions), and output past collOutputBound of GAME.DTZ (inflated) and
// the IMG together is refused: models that share one record are each written out in full.
ColMapResult convertColMap(const ColMapInputs& inputs, const ColMapOptions& options, const ColCallbacks& callbacks = {});

} // namespace veldrin
