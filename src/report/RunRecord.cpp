#include "report/RunRecord.h"

#include <nlohmann/json.hpp>

#include "base/Version.h"

namespace veldrin {

const char* veldrinVersion() { return kVeldrinVersion; }

std::string manifestJson(const RunRecord& r) {
    using Json = nlohmann::ordered_json;
    Json options = Json::object();
    for (const auto& option : r.options) {
        std::visit([&](const auto& v) { options[option.first] = v; }, option.second);
    }
    Json files = Json::array();
    for (const RecordedFile& f : r.files) {
        files.push_back({{"name", f.name}, {"bytes", f.bytes}, {"sha256", f.sha256},
                         {"archive", f.archive ? Json(*f.archive) : Json(nullptr)}});
    }
    Json warnings = Json::array();
    for (const auto& [kind, text] : r.warnings) warnings.push_back({{"kind", kind}, {"text", text}});
    const Json j{
        {"tool", "veldrin"},
        {"version", veldrinVersion()},
        {"level",
         {{"name", r.level.name}, {"lvz", r.level.lvz}, {"img", r.level.img}, {"edition", r.level.edition},
          {"edition_detected", r.level.editionDetected}}},
        {"converted", r.converted},
        {"options", options},
        {"output", r.output},
        {"files", files},
        {"counts",
         {{"models", r.counts.models}, {"models_skipped", r.counts.modelsSkipped}, {"dictionaries", r.counts.dictionaries},
          {"textures", r.counts.textures}, {"placements", r.counts.placements}, {"warnings", r.counts.warnings}}},
        {"warnings", warnings},
        {"seconds", r.seconds},
    };
    return j.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace veldrin
