#include "collision/ColConv.h"

#include <algorithm>
#include <cstdint>

#include "base/Error.h"
#include "base/FileIO.h"
#include "collision/Col2Index.h"
#include "collision/ColWriter.h"
#include "collision/StoriesColReader.h"

namespace veldrin {

namespace {

void warn(const ColCallbacks& callbacks, Col2Summary& summary, const std::string& text) {
    ++summary.warnings;
    if (callbacks.warning) callbacks.warning(text);
}

} // namespace

Col2Conversion convertCol2(std::span<const uint8_t> col2, StoriesEdition edition, const ColCallbacks& callbacks) {
    if (!startsCol2(col2, 0)) throw VeldrinError(kInvalidCol2Message);
    Col2Conversion result;
    const std::vector<Col2IndexEntry> entries = readCol2Index(col2, 0, "COL2 file");
    const int maximum = static_cast<int>(std::min<std::size_t>(entries.size(), INT32_MAX));
    for (const Col2IndexEntry& entry : entries) {
        const std::string name = "col" + std::to_string(entry.position);
        if (callbacks.progress) callbacks.progress(static_cast<int>(std::min<int64_t>(entry.position, INT32_MAX)), maximum);
        if (entry.modelIndex < 0) {
            ++result.summary.skipped;
            warn(callbacks, result.summary,
                 "COL2 index entry " + std::to_string(entry.position) + " has the model index " +
                     std::to_string(entry.modelIndex) + ": skipped, no record " + name);
            continue;
        }
        const StoriesColModel model =
            readStoriesColModel(col2, entry.headerOffset, 0, edition, "Collision model " + name + " of the COL2 file");
        if (model.skippedFaces > 0) {
            warn(callbacks, result.summary,
                 name + ": " + std::to_string(model.skippedFaces) + " face(s) with a corner before the vertex section left out");
        }
        writeCOL(result.col, name, model);
        ++result.summary.records;
    }
    if (callbacks.progress) callbacks.progress(maximum, maximum);
    return result;
}

Col2Summary convertCol2File(const std::filesystem::path& input, const std::filesystem::path& output,
                            StoriesEdition edition, const ColCallbacks& callbacks) {
    const std::vector<uint8_t> bytes = readWholeFile(input);
    const Col2Conversion result = convertCol2(bytes, edition, callbacks);
    writeWholeFile(output, result.col);
    if (callbacks.status) callbacks.status(kColDoneMessage);
    return result.summary;
}

std::filesystem::path col2OutputPath(const std::filesystem::path& input) {
    std::filesystem::path output = input;
    output += ".col";
    return output;
}

} // namespace veldrin
