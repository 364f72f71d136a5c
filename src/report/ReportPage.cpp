#include "report/ReportPage.h"

#include <cstdio>

#include "report/WarningKinds.h"

namespace veldrin {
namespace {

constexpr const char* kStyle = R"(
body { font: 14px/1.4 system-ui, sans-serif; margin: 24px; color: #222; background: #fafafa; }
h1 { font-size: 22px; margin: 0 0 4px; } h2 { font-size: 17px; margin: 28px 0 8px; border-bottom: 1px solid #ccc; }
table { border-collapse: collapse; } td, th { padding: 2px 10px 2px 0; text-align: left; vertical-align: top; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
.files { max-height: 420px; overflow: auto; border: 1px solid #ddd; background: #fff; }
.warn { background: #fff8e6; border-left: 4px solid #e0a000; padding: 6px 10px; margin: 8px 0; }
.warn ul { margin: 4px 0; max-height: 200px; overflow: auto; }
.checker { display: inline-block; border: 1px solid #bbb;
  background: conic-gradient(#ccc 25%, #fff 0 50%, #ccc 0 75%, #fff 0) 0 0 / 16px 16px; }
.checker img { display: block; image-rendering: pixelated; }
figure { display: inline-block; margin: 0 12px 12px 0; vertical-align: top; }
figcaption { font-size: 12px; color: #555; max-width: 160px; overflow-wrap: anywhere; }
.thumbs figure .checker img { width: 128px; height: 128px; object-fit: none; }
code { font-size: 13px; }
)";

std::string optionText(const RunRecord::OptionValue& value) {
    if (const bool* b = std::get_if<bool>(&value)) return *b ? "on" : "off";
    if (const int64_t* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
    return std::get<std::string>(value);
}

std::string countRow(const char* label, const char* key, int value) {
    return std::string("<tr><th>") + label + "</th><td class=\"n\" data-count=\"" + key + "\">" + std::to_string(value) +
           "</td></tr>\n";
}

} // namespace

std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string urlSegment(const std::string& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
            c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string reportPage(const RunRecord& r, const ReportPictures& pictures) {
    const std::string level = escapeHtml(r.level.name);
    std::string h;
    h += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    h += "<title>" + level + (r.converted ? " - conversion report" : " - level pictures") + "</title>\n";
    h += std::string("<style>") + kStyle + "</style>\n</head>\n<body>\n";
    h += "<h1>" + level + "</h1>\n<p>";
    h += r.converted ? "Converted by Veldrin " : "Pictures of the level before converting, by Veldrin ";
    h += escapeHtml(veldrinVersion());
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", r.seconds);
    h += std::string(" in ") + seconds + " s. Edition " + escapeHtml(r.level.edition) +
         (r.level.editionDetected ? " (detected)" : " (chosen)") + ".</p>\n";

    h += "<h2>Summary</h2>\n<table>\n";
    h += countRow(r.converted ? "Models converted" : "Models placed", "models", r.counts.models);
    h += countRow("Models skipped", "models_skipped", r.counts.modelsSkipped);
    h += countRow("Texture dictionaries", "dictionaries", r.counts.dictionaries);
    h += countRow("Textures", "textures", r.counts.textures);
    h += countRow(r.converted ? "Placements written" : "Placements", "placements", r.counts.placements);
    h += countRow("Warnings", "warnings", r.counts.warnings);
    h += "</table>\n<table>\n";
    h += "<tr><th>Level</th><td><code>" + escapeHtml(r.level.lvz) + "</code></td></tr>\n";
    h += "<tr><th>Archive</th><td><code>" + escapeHtml(r.level.img) + "</code></td></tr>\n";
    if (r.converted) h += "<tr><th>Output</th><td><code>" + escapeHtml(r.output) + "</code></td></tr>\n";
    h += "</table>\n";

    if (!r.options.empty()) {
        h += "<h2>Options</h2>\n<table>\n";
        for (const auto& [name, value] : r.options)
            h += "<tr><th><code>--" + escapeHtml(name) + "</code></th><td>" + escapeHtml(optionText(value)) + "</td></tr>\n";
        h += "</table>\n";
    }

    h += "<h2>Warnings</h2>\n";
    if (r.warnings.empty()) h += "<p>None.</p>\n";
    for (const WarningGroup& g : groupWarnings(r.warnings)) {
        h += "<div class=\"warn\" data-kind=\"" + escapeHtml(std::string(g.kind->id)) + "\"><b>" +
             escapeHtml(std::string(g.kind->title)) + " (" + std::to_string(g.texts.size()) + ")</b><br>" +
             escapeHtml(std::string(g.kind->meaning)) + " " + escapeHtml(std::string(g.kind->advice)) + "\n<ul>\n";
        for (const std::string& text : g.texts) h += "<li>" + escapeHtml(text) + "</li>\n";
        h += "</ul></div>\n";
    }

    if (r.converted) {
        h += "<h2>Files (" + std::to_string(r.files.size()) + ")</h2>\n<div class=\"files\"><table>\n";
        h += "<tr><th>Name</th><th>Bytes</th><th>In</th><th>SHA-256</th></tr>\n";
        for (const RecordedFile& f : r.files) {
            h += "<tr><td>" + escapeHtml(f.name) + "</td><td class=\"n\">" + std::to_string(f.bytes) + "</td><td>" +
                 escapeHtml(f.archive ? *f.archive : std::string("folder")) + "</td><td><code>" + f.sha256 +
                 "</code></td></tr>\n";
        }
        h += "</table></div>\n";
    }

    h += pictures.viewer;

    h += "<h2>Textures</h2>\n";
    if (pictures.sheets.empty()) h += "<p>No texture dictionary.</p>\n";
    for (const ReportPictures::Sheet& s : pictures.sheets) {
        const std::string file = "textures/" + urlSegment(s.name);
        h += "<figure><div class=\"checker\"><img src=\"" + file + ".png\" alt=\"" + escapeHtml(s.name) +
             "\"></div><figcaption>" + escapeHtml(s.name) + ": " + std::to_string(s.textures) +
             " texture(s), <a href=\"" + file + ".json\">cells</a></figcaption></figure>\n";
    }

    // The page draws its own previews when it has the scene; the thumbnail sheets stay files.
    const bool drawn = !pictures.previews.empty();
    h += "<h2>Models (" + std::to_string(drawn ? pictures.previews.size() : pictures.thumbnails.size()) + ")</h2>\n<div class=\"thumbs\">\n";
    for (const std::string& name : pictures.previews)
        h += "<figure><div class=\"checker\"><canvas width=\"128\" height=\"128\" data-preview=\"" + escapeHtml(name) +
             "\"></canvas></div><figcaption>" + escapeHtml(name) + "</figcaption></figure>\n";
    for (const ReportPictures::Thumbnail& t : drawn ? std::vector<ReportPictures::Thumbnail>{} : pictures.thumbnails) {
        // Each picture is one cell of a sheet, shown by placing the sheet behind a 128 x 128 window.
        h += "<figure><div class=\"checker\"><img src=\"models/" + urlSegment(t.sheet) + ".png\" style=\"object-position: -" +
             std::to_string(t.x) + "px -" + std::to_string(t.y) + "px\" alt=\"" + escapeHtml(t.name) +
             "\"></div><figcaption>" + escapeHtml(t.name) + "</figcaption></figure>\n";
    }
    h += "</div>\n";

    if (pictures.map) {
        h += "<h2>Map</h2>\n<p>" + std::to_string(pictures.mapPoints) +
             " placement(s) seen from above, north up, in world units" + (r.converted ? " after the map offset" : "") +
             ": <span style=\"color:#1e64c8\">&#9632; model</span> <span style=\"color:#eb8214\">&#9632; LOD</span> "
             "<span style=\"color:#8c32aa\">&#9632; MegaLOD</span> <span style=\"color:#28963c\">&#9633; zone</span>.</p>\n";
        h += "<figure><img src=\"map.png\" alt=\"placement map\"><figcaption><a href=\"map.json\">bounds</a>"
             "</figcaption></figure>\n";
    }
    h += "<p><a href=\"manifest.json\">manifest.json</a></p>\n</body>\n</html>\n";
    return h;
}

} // namespace veldrin
