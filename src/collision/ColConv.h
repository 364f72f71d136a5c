#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "base/ByteSink.h"
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
// order, named "col" followed by the entry's place in the table, each written to `out` as soon as it
// is made. Section offsets count from the start of the file. Refuses a file without "2loc"
// (kInvalidCol2Message), any model that lies outside the file and output past collOutputBound; an
// entry with a negative model index other than the closing -1 is skipped with a warning.
// Safe for untrusted input: time and output are linear in the file's size, and memory holds one
// record at a time.
Col2Summary writeCol2Records(std::span<const uint8_t> col2, StoriesEdition edition, ByteSink& out,
                             const ColCallbacks& callbacks = {});

// The same, the records collected in memory.
Col2Conversion convertCol2(std::span<const uint8_t> col2, StoriesEdition edition, const ColCallbacks& callbacks = {});

// Reads `input`, converts it and writes `output` whole; nothing is written when the conversion fails.
Col2Summary convertCol2File(const std::filesystem::path& input, const std::filesystem::path& output,
                            StoriesEdition edition, const ColCallbacks& callbacks = {});

// True when every model of the file reads as `edition`: a file refused under one edition that reads
// under the other was most likely given the wrong one.
bool col2ReadsAs(std::span<const uint8_t> col2, StoriesEdition edition);

// The default output: the input path with ".col" appended (x.col2 gives x.col2.col).
std::filesystem::path col2OutputPath(const std::filesystem::path& input);

} // namespace veldrin
