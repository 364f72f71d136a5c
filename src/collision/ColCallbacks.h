#pragma once
#include <functional>
#include <string>

namespace veldrin {

// How a collision tool reports back to its front end (a window or the terminal). Every member may
// be empty; they are called on the thread that runs the tool.
struct ColCallbacks {
    std::function<void(const std::string&)> status;  // "Unpacking ...", "Processing ...", "Done!"
    std::function<void(int position, int maximum)> progress;
    std::function<void(const std::string&)> warning; // something skipped; the run goes on
};

} // namespace veldrin
