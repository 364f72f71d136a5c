#pragma once
#include <filesystem>

#include "collision/ColMapConverter.h"

namespace veldrin {

struct ColMapPaths {
    std::filesystem::path dtz;        // GAME.DTZ
    std::filesystem::path img;        // the game's IMG archive
    std::filesystem::path blankDff;   // empty, or a path that names no file: no archive is built
    std::filesystem::path outputBase; // the files go into outputBase/colmap; empty: the folder of the DTZ
};

// One whole collision map run over files: checks the offsets and the inputs ("Invalid DTZ file",
// "Invalid IMG file"), reads them, converts, then writes every output file whole into the colmap
// folder and reports "Done!". Throws VeldrinError with the user's message; a run that fails before
// the writing leaves earlier output untouched.
ColMapSummary runColMapConverter(const ColMapPaths& paths, const ColMapOptions& options,
                                 const ColCallbacks& callbacks = {});

// The folder the files of a run go into.
std::filesystem::path colMapOutputFolder(const ColMapPaths& paths);

} // namespace veldrin
