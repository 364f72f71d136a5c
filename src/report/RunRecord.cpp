#include "report/RunRecord.h"

#include <nlohmann/json.hpp>

#include "base/Version.h"
#include "report/JsonText.h"

namespace veldrin {

const char* veldrinVersion() { return kVeldrinVersion; }

std::string manifestJson(const RunRecord& r) {
    using Json = nlohmann::ordered_json;
    Json options = Json::object();
    for (const auto& option : r.options) {
        std::visit([&](const auto& v) { options[option.first] = v; }, option.second);
    }
    Json warnings = Json::array();
    for (const auto& [kind, text] : r.warnings) warnings.push_back({{"kind", kind}, {"text", text}});
    // The document around the files, in two parts; the files, thousands of them, are written between
    // them as text, as the JSON library would indent them.
    Json head = Json::object();
    head["tool"] = "veldrin";
    head["version"] = veldrinVersion();
    head["level"] = {{"name", r.level.name}, {"lvz", r.level.lvz}, {"img", r.level.img}, {"edition", r.level.edition},
                     {"edition_detected", r.level.editionDetected}};
    head["converted"] = r.converted;
    head["options"] = std::move(options);
    head["output"] = r.output;
    Json tail = Json::object();
    tail["counts"] = {{"models", r.counts.models}, {"models_skipped", r.counts.modelsSkipped}, {"dictionaries", r.counts.dictionaries},
                      {"textures", r.counts.textures}, {"placements", r.counts.placements}, {"warnings", r.counts.warnings}};
    tail["warnings"] = std::move(warnings);
    tail["seconds"] = r.seconds;
    std::string text = head.dump(1, ' ', false, Json::error_handler_t::replace);
    text.resize(text.size() - 2); // the closing "\n}"
    text += ",\n \"files\": ";
    if (r.files.empty()) text += "[]";
    for (std::size_t i = 0; i < r.files.size(); ++i) {
        const RecordedFile& f = r.files[i];
        text += i ? ",\n  {\n   \"name\": " : "[\n  {\n   \"name\": ";
        appendJsonString(text, f.name);
        text += ",\n   \"bytes\": " + std::to_string(f.bytes) + ",\n   \"sha256\": ";
        appendJsonString(text, f.sha256);
        text += ",\n   \"archive\": ";
        if (f.archive) appendJsonString(text, *f.archive);
        else text += "null";
        text += "\n  }";
        if (i + 1 == r.files.size()) text += "\n ]";
    }
    const std::string rest = tail.dump(1, ' ', false, Json::error_handler_t::replace);
    text += ",\n";
    text.append(rest, 2); // after the opening "{\n"
    return text + "\n";
}

} // namespace veldrin
