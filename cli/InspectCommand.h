#pragma once
#include <filesystem>
#include <string>

#include "inspect/Inspection.h"

namespace CLI {
class App;
}

namespace veldrin::cli {

// veldrin-cli inspect FILE [--json]
struct InspectCommand {
    std::filesystem::path file;
    bool json = false;
};

CLI::App* addInspectCommand(CLI::App& root, InspectCommand& cmd);

// Lists what the file holds on standard output: 0, or 1 with the refusal on standard error.
int runInspectCommand(const InspectCommand& cmd);

// The listing as text, and as one JSON document.
std::string inspectionText(const inspect::Inspection& in);
std::string inspectionJson(const inspect::Inspection& in);

} // namespace veldrin::cli
