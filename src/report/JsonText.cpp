#include "report/JsonText.h"

#include <algorithm>

#include <nlohmann/json.hpp>

namespace veldrin {

void appendJsonString(std::string& out, std::string_view text) {
    // Plain printable ASCII, nearly every name, needs no escaping; the library quotes the rest.
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; })) {
        out += '"';
        out += text;
        out += '"';
        return;
    }
    out += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void appendJsonStrings(std::string& out, const std::vector<std::string>& texts) {
    out += '[';
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i) out += ',';
        appendJsonString(out, texts[i]);
    }
    out += ']';
}

} // namespace veldrin
