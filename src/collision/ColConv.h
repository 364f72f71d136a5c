#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "collision/ColCallbacks.h"
#include "collision/StoriesColModel.h"

namespace veldrin {

inline constexpr const char* kInvalidCol2Message = "Invalid COL2 file";
inline constexpr const char* kColDoneMessage = "Done!";

struct Col2Summary {
    int records = 0;  // "COLL" records written
    int skipped = 0;  // index entries left out
    int warnings = 0;
};

struct Col2Conversion {
    std::vector<uint8_t> col; // the PC collision file: the records back to back
    Col2Summary summary;
};

// Converts a standalone Stories collision file: one "COLL" record per index table entry, in table
// order, named "col" followed by the entry's place in the table. Section offsets count from the
// start of the file. Refuses a file without "2loc" (kInvalidCol2Message) and any model that lies
// outside the file; an entry with a negative model index other than the closing -1 is skipped with
// a warning.
Col2Conversion convertCol2(std::span<const uint8_t> col2, StoriesEdition edition, const ColCallbacks& callbacks = {});

// Reads `input`, converts it and writes `output` whole; nothing is written when the conversion fails.
Col2Summary convertCol2File(const std::filesystem::path& input, const std::filesystem::path& output,
                            StoriesEdition edition, const ColCallbacks& callbacks = {});

// The default output: the input path with ".col" appended (x.col2 gives x.col2.col).
std::filesystem::path col2OutputPath(const std::filesystem::path& input);

} // namespace veldrin
