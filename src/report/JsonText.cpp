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

} // namespace veldrin
