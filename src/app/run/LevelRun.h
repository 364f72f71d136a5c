#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/options/ConversionOptions.h"
#include "app/detect/EditionDetection.h"
#include "app/run/RunPlan.h"
#include "level/LevelInput.h"
#include "level/WorldTables.h"
#include "level/ZonFile.h"
#include "pcout/OutputSink.h"
#include "report/WarningKinds.h"

namespace veldrin {

// One level run, the same for every entry point (a single conversion, a batch, info and its report, the
// window's pick and runs, the install): prepareLevel reads and checks everything before anything is
// written, convertLevel writes. Nothing here knows a terminal or a window: they watch through RunCallbacks.

// How a run reports back to its front end. Every member may be empty.
struct RunCallbacks {
    std::function<void(const std::string&)> status;   // "Loading ...", "Processing ...", "Building ...", "All done!"
    std::function<void(int position, int maximum)> progress;
    std::function<void(WarningKind, const std::string&)> warning; // something skipped; the run goes on
    std::function<bool()> stopRequested;              // polled between models; true ends the run early
    std::function<void(GameVersion, bool detected)> edition; // the edition in use, once the level is read
};

// What a level is prepared for: a conversion checks its output folders too; an inspection (info, the
// window's pick, a batch's plan) writes nothing and does not.
enum class PrepareFor { Conversion, Inspection };

// A level read and checked: its edition settled, its island chosen, its run planned and its names
// checked against the limits of where they go. Nothing has been written.
struct PreparedLevel {
    ConversionOptions options;          // as given, with the edition settled and the island chosen
    bool editionDetected = false;
    bool smallestIsland = false;        // the island was not named: the smallest of the zone file
    std::shared_ptr<const EditionDetection> detection; // how each edition read the level
    LevelBuffer level;
    WorldTables tables;
    std::optional<ZoneTable> zones;
    RunPlan plan;
    std::vector<DictionaryPlan> dictionaries; // plannedDictionaries of the plan
    std::vector<RunWarning> warnings;   // raised while preparing, already told to the callbacks
};

// What a convert --ide would write: the planned models, their placements, the textures they name.
struct PlannedCounts {
    int models = 0;
    int placements = 0;
    int textures = 0;
};
PlannedCounts plannedCounts(const PreparedLevel& level);

// Reads and checks a level for a run: the input files (the LVZ, its IMG, the zone file), the output
// folders (for a conversion), the edition (detected, or the named one unless another reads clearly
// better), the zone file and its island, the plan and the output names. Throws VeldrinError (an
// EditionRefused for the edition) with the user's message; warnings go to the callbacks as they are found.
PreparedLevel prepareLevel(const ConversionOptions& options, const RunCallbacks& callbacks,
                           PrepareFor purpose = PrepareFor::Conversion);
// The same for a level already in memory (the input files are not checked or read).
PreparedLevel prepareLoadedLevel(const ConversionOptions& options, LevelBuffer level, const RunCallbacks& callbacks,
                                 PrepareFor purpose = PrepareFor::Conversion);
// A conversion's preparation of a level an inspection has read already (`read`, of the same files;
// a batch's plan reads its levels first): the files are checked but not read again, the edition
// readings and world tables are reused, and the callbacks hear what prepareLevel would tell them.
PreparedLevel prepareReadLevel(const ConversionOptions& options, PreparedLevel read, const RunCallbacks& callbacks);

struct RunSummary {
    int modelsConverted = 0;
    int modelsSkipped = 0;
    int dictionaries = 0;
    int instancesWritten = 0;
    int warnings = 0;                   // those of the preparation included
    bool stopped = false;
    std::optional<int> island;          // the island kept, with the island filter on
    bool smallestIsland = false;
    std::size_t staleFiles = 0;         // files of the level folder the run did not write
    std::vector<WrittenFile> files;     // every file written, in order, as the output sink recorded them
    std::filesystem::path reportFolder; // the run's report, when one was written
};

inline constexpr const char* kAllDoneMessage = "All done!";

// Converts a prepared level: removes its old output first when `clean` is on, converts every planned
// model, writes every output file and the report, and warns about files of earlier runs left in the
// level folder. A stop request ends it between models, leaving no partial file. Throws VeldrinError
// when the run fails; a report that cannot be written is a warning (the game files are whole).
RunSummary convertLevel(PreparedLevel level, const RunCallbacks& callbacks);

// prepareLevel, then convertLevel.
RunSummary runConversion(const ConversionOptions& options, const RunCallbacks& callbacks);

// "Converted 3 model(s), 1 texture dictionary, 4 placement(s) into FOLDER": how both front ends sum up a
// run; without IDE files it says that no placements were written.
std::string convertedLine(const RunSummary& summary, const ConversionOptions& options);

} // namespace veldrin
