#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Editions.h"
#include "base/Error.h"
#include "level/LevelInput.h"
#include "level/WorldTables.h"

namespace veldrin {

// How well a level reads under one edition. Nothing here is written anywhere: a reading only looks.
struct EditionReading {
    GameVersion edition = GameVersion::LcsPs2;
    std::string worldRefusal;  // set when the world tables do not read at all under this edition
    int instances = 0;         // placed instance slots
    int models = 0;            // located, instanced models that are not second parts
    int modelsRead = 0;        // of those, whose geometry header, records and batches read
    int modelFaults = 0;       // whose geometry does not read
    int textures = 0;          // distinct texture ids named by the models that read
    int texturesRead = 0;      // located, with a usable raster record and data inside the level
    int textureFaults = 0;     // out of range, not in the level, or with an unusable record
    int skippedIndices = 0;    // resource indices at or above the resource count
    int cells = 0;             // cell blocks read
    int cellsFitting = 0;      // whose instance lists start right where this edition's list table ends
    int wholeLists = 0;        // non-empty instance lists holding a whole number of this edition's records
    std::string firstFault;    // the first fault met, in the converter's own words
    int64_t score = 0;         // what reads and fits, less what fails; meaningless when !readable()
    uint64_t fingerprint = 0;  // of everything the converters would be handed under this edition
    std::shared_ptr<WorldTables> tables; // the world as read under this edition; empty when refused

    // The world tables read and at least one model reads: an empty reading is not a good one.
    bool readable() const { return worldRefusal.empty() && modelsRead > 0; }
    int faults() const { return modelFaults + textureFaults + skippedIndices; }
    // Why this edition does not read at all, or the first fault it meets; empty when it reads cleanly.
    std::string trouble() const;
};

struct EditionDetection {
    std::vector<EditionReading> ranked; // all four editions, best first

    const EditionReading& best() const { return ranked.front(); }
    const EditionReading& reading(GameVersion edition) const;
    // Editions that read about as well as the best one and would hand the converters something
    // different: more than one means the level is ambiguous.
    std::vector<GameVersion> candidates() const;
};

// Reads the level under each of the four editions and ranks them: the world tables without refusal, how
// the cells' instance lists fit the edition's list table and record size, every located model's
// geometry, every texture its models name, resource indices in range. Faults lower a reading's score;
// they do not rule an edition out. Safe for untrusted input.
// `jobs` threads share the four readings; the result does not depend on it.
EditionDetection detectEdition(const LevelBuffer& level, int jobs = 1);

// True when `stronger` reads clearly better than `weaker`: a little better is not enough.
bool readsClearlyBetter(const EditionReading& stronger, const EditionReading& weaker);

// Why `weaker` fell behind `stronger`, in a few words ("finds 3 models where vcs-psp finds 36").
std::string whyBehind(const EditionReading& weaker, const EditionReading& stronger);

// One line for each edition but `used`: why it does not fit ("lcs-psp does not fit: texture 0 is not in
// the level"), or that it reads the same or about as well, in rank order.
std::vector<std::string> otherEditionLines(const EditionDetection& detection, GameVersion used);

// "LCS PS2", "VCS PSP": the editions as the window names them.
std::string editionTitle(GameVersion edition);

// Why no edition was chosen: data, so each front end says what to do in its own words.
enum class EditionRefusal {
    None,
    NamedReadsWorse, // the named edition reads clearly worse than candidates[0]
    NoEditionReads,  // no edition reads the level: the LVZ and its IMG may not belong together
    Ambiguous,       // several editions read it about as well: candidates
};

// The edition a run uses: the detected one when `named` is empty, else `named` unless another edition
// reads clearly better. A refusal states the facts, naming the level file and the editions.
struct EditionChoice {
    std::optional<GameVersion> edition; // empty when refused
    bool detected = false;
    EditionRefusal reason = EditionRefusal::None;
    std::string refusal;                 // the facts: "town.lvz reads as vcs-psp, not lcs-ps2 (...)"
    std::vector<GameVersion> candidates; // of an ambiguous level, or the better edition of a wrong one
    std::shared_ptr<WorldTables> tables; // the chosen edition's world as detection read it, so a run
                                         // need not read it again; empty when refused or unreadable
};
EditionChoice chooseEdition(const EditionDetection& detection, std::optional<GameVersion> named,
                            const std::string& levelFile);

// A refused choice as the run throws it: the message is the refusal's facts; a front end that catches
// it adds what to do in its own words from the choice.
class EditionRefused : public VeldrinError {
public:
    explicit EditionRefused(EditionChoice choice);
    const EditionChoice& choice() const { return choice_; }

private:
    EditionChoice choice_;
};

// Detects and chooses at once: the chosen edition, or EditionRefused.
EditionChoice settleEdition(const LevelBuffer& level, std::optional<GameVersion> named, const std::string& levelFile,
                            int jobs = 1);

} // namespace veldrin
