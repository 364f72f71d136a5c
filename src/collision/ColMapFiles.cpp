#include "collision/ColMapFiles.h"

#include <optional>
#include <vector>

#include "base/Error.h"
#include "base/FileIO.h"
#include "collision/ColConv.h"

namespace veldrin {

std::filesystem::path colMapOutputFolder(const ColMapPaths& paths) {
    const std::filesystem::path base = paths.outputBase.empty() ? paths.dtz.parent_path() : paths.outputBase;
    return base / kColMapFolder;
}

ColMapSummary runColMapConverter(const ColMapPaths& paths, const ColMapOptions& options, const ColCallbacks& callbacks) {
    std::optional<std::vector<uint8_t>> blankDff;
    int warnings = 0;
    if (!paths.blankDff.empty()) {
        if (std::filesystem::is_regular_file(paths.blankDff)) {
            blankDff = readWholeFile(paths.blankDff);
        } else {
            ++warnings;
            if (callbacks.warning)
                callbacks.warning("The blank DFF " + paths.blankDff.string() + " is not a file: no COLMAP.IMG is built");
        }
    }
    if (!std::filesystem::is_regular_file(paths.dtz)) throw VeldrinError(kInvalidDtzMessage, paths.dtz.string() + " is not a file");
    if (!std::filesystem::is_regular_file(paths.img)) throw VeldrinError(kInvalidImgMessage, paths.img.string() + " is not a file");

    ColMapInputs inputs;
    const std::vector<uint8_t> dtz = readWholeFile(paths.dtz);
    const std::vector<uint8_t> img = readWholeFile(paths.img);
    inputs.dtz = dtz;
    inputs.dtzName = paths.dtz.filename().string();
    inputs.img = img;
    if (blankDff) inputs.blankDff = std::span<const uint8_t>(*blankDff);

    ColMapResult result = convertColMap(inputs, options, callbacks);
    result.summary.warnings += warnings;
    const std::filesystem::path folder = colMapOutputFolder(paths);
    ensureFolder(folder);
    for (const ColMapFile& file : result.files) writeWholeFile(folder / file.name, file.bytes);
    if (callbacks.status) callbacks.status(kColDoneMessage);
    return result.summary;
}

} // namespace veldrin
