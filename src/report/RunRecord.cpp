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
    // The large arrays are built in place and moved into the document: a JSON initializer list copies.
    Json files = Json::array();
    files.get_ref<Json::array_t&>().reserve(r.files.size());
    for (const RecordedFile& f : r.files) {
        Json& file = files.emplace_back(Json::object());
        file["name"] = f.name;
        file["bytes"] = f.bytes;
        file["sha256"] = f.sha256;
        file["archive"] = f.archive ? Json(*f.archive) : Json(nullptr);
    }
    Json warnings = Json::array();
    for (const auto& [kind, text] : r.warnings) warnings.push_back({{"kind", kind}, {"text", text}});
    Json j = Json::object();
    j["tool"] = "veldrin";
    j["version"] = veldrinVersion();
    j["level"] = {{"name", r.level.name}, {"lvz", r.level.lvz}, {"img", r.level.img}, {"edition", r.level.edition},
                  {"edition_detected", r.level.editionDetected}};
    j["converted"] = r.converted;
    j["options"] = std::move(options);
    j["output"] = r.output;
    j["files"] = std::move(files);
    j["counts"] = {{"models", r.counts.models}, {"models_skipped", r.counts.modelsSkipped}, {"dictionaries", r.counts.dictionaries},
                   {"textures", r.counts.textures}, {"placements", r.counts.placements}, {"warnings", r.counts.warnings}};
    j["warnings"] = std::move(warnings);
    j["seconds"] = r.seconds;
    return j.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace veldrin
