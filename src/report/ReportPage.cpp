#include "report/ReportPage.h"

#include <algorithm>
#include <cstdio>


#include "report/JsonText.h"
#include "report/NaturalOrder.h"
#include "report/WarningKinds.h"

namespace veldrin {
namespace {

constexpr const char* kStyle = R"(
body { font: 14px/1.4 system-ui, sans-serif; margin: 24px; color: #222; background: #fafafa; max-width: 1200px; }
h1 { font-size: 22px; margin: 0 0 4px; } h2 { font-size: 17px; margin: 28px 0 8px; border-bottom: 1px solid #ccc; }
h3 { font-size: 15px; margin: 18px 0 6px; }
nav ol { columns: 2; max-width: 480px; margin: 8px 0; }
table { border-collapse: collapse; } td, th { padding: 2px 10px 2px 0; text-align: left; vertical-align: top; }
td.n, th.n { text-align: right; font-variant-numeric: tabular-nums; }
.scroll { max-height: 420px; overflow: auto; border: 1px solid #ddd; background: #fff; }
.scroll thead th { position: sticky; top: 0; background: #eee; }
table.sortable th { cursor: pointer; user-select: none; }
th[data-sorted=asc]::after { content: " \25B2"; } th[data-sorted=desc]::after { content: " \25BC"; }
.warn { background: #fff8e6; border-left: 4px solid #e0a000; padding: 6px 10px; margin: 8px 0; }
.warn ul { margin: 4px 0; max-height: 200px; overflow: auto; }
.sheet { max-width: 100%; max-height: 640px; overflow: auto; border: 1px solid #bbb; display: inline-block;
  background: conic-gradient(#ccc 25%, #fff 0 50%, #ccc 0 75%, #fff 0) 0 0 / 16px 16px; }
.sheet img { display: block; max-width: none; image-rendering: pixelated; }
.textures { display: flex; flex-wrap: wrap; gap: 12px; align-items: flex-start; }
.checker { display: inline-block; border: 1px solid #bbb;
  background: conic-gradient(#ccc 25%, #fff 0 50%, #ccc 0 75%, #fff 0) 0 0 / 16px 16px; }
.checker img { display: block; image-rendering: pixelated; }
figure { display: inline-block; margin: 0 12px 12px 0; vertical-align: top; }
figcaption { font-size: 12px; color: #555; max-width: 160px; overflow-wrap: anywhere; }
.thumbs { max-height: 640px; overflow: auto; }
.thumbs figure .checker img { width: 128px; height: 128px; object-fit: none; }
.map { position: relative; display: inline-block; }
.map img { display: block; max-width: 100%; height: auto; cursor: crosshair; }
#map-tip { position: absolute; background: #222; color: #fff; padding: 2px 6px; font-size: 12px; border-radius: 3px;
  pointer-events: none; white-space: nowrap; }
code { font-size: 13px; }
)";

// A section of the page: its anchor, its heading in the contents, and its HTML (heading included).
struct PageSection {
    std::string id, title, html;
};

std::string optionText(const RunRecord::OptionValue& value) {
    if (const bool* b = std::get_if<bool>(&value)) return *b ? "on" : "off";
    if (const int64_t* i = std::get_if<int64_t>(&value)) return std::to_string(*i);
    return std::get<std::string>(value);
}

// The items in natural order of the names `nameOf` gives: the page lists models and textures as a modder
// counts them (ps2, ps20, ps21, ps210), whatever order the files hold them in.
template <typename T, typename NameOf>
std::vector<const T*> naturallySorted(const std::vector<T>& items, NameOf nameOf) {
    std::vector<const T*> sorted;
    sorted.reserve(items.size());
    for (const T& item : items) sorted.push_back(&item);
    std::stable_sort(sorted.begin(), sorted.end(), [&](const T* a, const T* b) { return naturalLess(nameOf(*a), nameOf(*b)); });
    return sorted;
}

const RunRecord::OptionValue* recordedOption(const RunRecord& r, std::string_view name) {
    for (const auto& option : r.options)
        if (option.first == name) return &option.second;
    return nullptr;
}

std::string countRow(const char* label, const char* key, int value) {
    return std::string("<tr><th>") + label + "</th><td class=\"n\" data-count=\"" + key + "\">" + std::to_string(value) +
           "</td></tr>\n";
}

// A number cell that sorts by its value; empty for an unknown (negative) one. Appended in place: the
// tables have a row per model and per file.
void appendNumberCell(std::string& h, int64_t value) {
    if (value < 0) {
        h += "<td class=\"n\" data-v=\"\"></td>";
        return;
    }
    const std::string digits = std::to_string(value);
    h += "<td class=\"n\" data-v=\"";
    h += digits;
    h += "\">";
    h += digits;
    h += "</td>";
}

// "<td>" text "</td>", the text escaped.
void appendTextCell(std::string& h, std::string_view text) {
    h += "<td>";
    appendEscapedHtml(h, text);
    h += "</td>";
}

// A path cell: the path as a link relative to the report folder, or as text without one.
std::string pathRow(const char* label, const std::string& path, const std::string& link) {
    std::string h = std::string("<tr><th>") + label + "</th><td><code>";
    h += link.empty() ? escapeHtml(path) : "<a href=\"" + escapeHtml(urlPath(link)) + "\">" + escapeHtml(path) + "</a>";
    return h + "</code></td></tr>\n";
}

std::string summarySection(const RunRecord& r, const ReportPictures& pictures) {
    std::string h = "<h2 id=\"summary\">Summary</h2>\n<table>\n";
    h += countRow(r.converted ? "Models converted" : "Models placed", "models", r.counts.models);
    h += countRow("Models skipped", "models_skipped", r.counts.modelsSkipped);
    h += countRow("Texture dictionaries", "dictionaries", r.counts.dictionaries);
    h += countRow("Textures", "textures", r.counts.textures);
    h += countRow(r.converted ? "Placements written" : "Placements", "placements", r.counts.placements);
    h += countRow("Warnings", "warnings", r.counts.warnings);
    h += "</table>\n<p>Paths are relative to this report's folder.</p>\n<table>\n";
    h += pathRow("Level", pictures.lvzLink.empty() ? r.level.lvz : pictures.lvzLink, pictures.lvzLink);
    h += pathRow("Archive", pictures.imgLink.empty() ? r.level.img : pictures.imgLink, pictures.imgLink);
    if (r.converted) h += pathRow("Output", pictures.outputLink.empty() ? r.output : pictures.outputLink, pictures.outputLink);
    return h + "</table>\n";
}

// Every option that shaped the files, the target game first, each marked as set or left at its default:
// what the files were made with, not only what was typed.
std::string optionsSection(const RunRecord& r) {
    std::string h = "<h2 id=\"options\">Options</h2>\n<p>";
    if (const RunRecord::OptionValue* target = recordedOption(r, "target"))
        h += "Written for <b id=\"target-game\">" + escapeHtml(optionText(*target)) + "</b>. ";
    h += r.optionsChanged.empty() ? "Every option at its default; " : "The options set for this run are marked; ";
    h += "the same list is in <a href=\"manifest.json\">manifest.json</a>.</p>\n";
    if (r.options.empty()) return h;
    std::vector<const std::pair<std::string, RunRecord::OptionValue>*> shown;
    for (const auto& option : r.options)
        if (option.first == "target") shown.insert(shown.begin(), &option);
        else shown.push_back(&option);
    h += "<table id=\"options-table\">\n<thead><tr><th>Option</th><th>Value</th><th>Given</th></tr></thead>\n<tbody>\n";
    for (const auto* option : shown) {
        const bool set = std::find(r.optionsChanged.begin(), r.optionsChanged.end(), option->first) != r.optionsChanged.end();
        h += "<tr data-option=\"" + escapeHtml(option->first) + "\"><th><code>--" + escapeHtml(option->first) + "</code></th><td>" +
             escapeHtml(optionText(option->second)) + "</td><td>" + (set ? "set" : "default") + "</td></tr>\n";
    }
    return h + "</tbody></table>\n";
}

std::string warningsSection(const RunRecord& r) {
    std::string h = "<h2 id=\"warnings\">Warnings (" + std::to_string(r.warnings.size()) + ")</h2>\n";
    if (r.warnings.empty()) return h + "<p>None.</p>\n";
    for (const WarningGroup& g : groupWarnings(r.warnings)) {
        h += "<div class=\"warn\" data-kind=\"" + escapeHtml(std::string(g.kind->id)) + "\"><b>" +
             escapeHtml(std::string(g.kind->title)) + " (" + std::to_string(g.texts.size()) + ")</b><br>" +
             escapeHtml(std::string(g.kind->meaning)) + "<br><b>What to do:</b> " + escapeHtml(std::string(g.kind->advice)) +
             "\n<ul>\n";
        for (const std::string& text : g.texts) h += "<li>" + escapeHtml(text) + "</li>\n";
        h += "</ul></div>\n";
    }
    return h;
}

std::string modelsSection(const RunRecord& r, const ReportPictures& pictures) {
    std::string h = "<h2 id=\"models\">Models (" + std::to_string(r.models.size()) + ")</h2>\n";
    // The page draws a model's preview as its row scrolls into view (the 3D view's code).
    const bool previews = pictures.previews;
    if (!r.models.empty()) {
        h += "<p>Click a heading to sort.</p>\n<div class=\"scroll\"><table class=\"sortable\" id=\"models-table\">\n"
             "<thead><tr>" + std::string(previews ? "<th>Preview</th>" : "") + "<th>Name</th><th class=\"n\">ID</th><th>Dictionary</th><th class=\"n\">Triangles</th>"
             "<th class=\"n\">Vertices</th><th class=\"n\">Bytes</th></tr></thead>\n<tbody>\n";
        for (const RunRecord::Model* model : naturallySorted(r.models, [](const RunRecord::Model& m) -> const std::string& { return m.name; })) {
            const RunRecord::Model& m = *model;
            h += "<tr>";
            if (previews) {
                h += "<td><canvas width=\"64\" height=\"64\" data-preview=\"";
                appendEscapedHtml(h, m.name);
                h += "\"></canvas></td>";
            }
            appendTextCell(h, m.name);
            appendNumberCell(h, m.id ? *m.id : -1);
            appendTextCell(h, m.dictionary);
            appendNumberCell(h, m.triangles);
            appendNumberCell(h, m.vertices);
            appendNumberCell(h, m.bytes);
            h += "</tr>\n";
        }
        h += "</tbody></table></div>\n";
    }
    if (!pictures.thumbnails.empty()) {
        h += "<h3 id=\"thumbnails\">Pictures</h3>\n<div class=\"thumbs\">\n";
        for (const ReportPictures::Thumbnail* thumbnail :
             naturallySorted(pictures.thumbnails, [](const ReportPictures::Thumbnail& t) -> const std::string& { return t.name; })) {
            const ReportPictures::Thumbnail& t = *thumbnail;
            // Each picture is one cell of a sheet, shown by placing the sheet behind a 128 x 128 window.
            h += "<figure><div class=\"checker\"><img src=\"models/" + urlSegment(t.sheet) +
                 ".png\" style=\"object-position: -" + std::to_string(t.x) + "px -" + std::to_string(t.y) + "px\" alt=\"" +
                 escapeHtml(t.name) + "\"></div><figcaption>" + escapeHtml(t.name) + "</figcaption></figure>\n";
        }
        h += "</div>\n";
    }
    return h;
}

std::string texturesSection(const ReportPictures& pictures) {
    std::string h = "<h2 id=\"textures\">Textures</h2>\n";
    if (pictures.sheets.empty()) return h + "<p>No texture dictionary.</p>\n";
    h += "<p>Each dictionary's textures at their own size (scroll the sheet), and the list of them; click a heading to sort.</p>\n";
    for (const ReportPictures::Sheet& s : pictures.sheets) {
        const std::string file = "textures/" + urlSegment(s.name);
        h += "<h3 id=\"txd-" + escapeHtml(urlSegment(s.name)) + "\">" + escapeHtml(s.name) + " (" + std::to_string(s.cells.size()) +
             " textures)</h3>\n<div class=\"textures\"><div class=\"sheet\"><img src=\"" + file + ".png\" alt=\"" +
             escapeHtml(s.name) + "\"></div>\n<div class=\"scroll\"><table class=\"sortable\">\n<thead><tr><th>Name</th>"
             "<th class=\"n\">Width</th><th class=\"n\">Height</th><th>Format</th><th>Alpha</th><th class=\"n\">Levels</th>"
             "</tr></thead>\n<tbody>\n";
        for (const SheetCell* cell : naturallySorted(s.cells, [](const SheetCell& c) -> const std::string& { return c.name; })) {
            const SheetCell& c = *cell;
            h += "<tr>";
            appendTextCell(h, c.name);
            appendNumberCell(h, c.width);
            appendNumberCell(h, c.height);
            appendTextCell(h, c.format);
            h += c.alpha ? "<td>yes</td>" : "<td>no</td>";
            appendNumberCell(h, *c.format ? c.levels : -1);
            h += "</tr>\n";
        }
        h += "</tbody></table></div></div>\n<p><a href=\"" + file + ".json\">" + escapeHtml(s.name) +
             ".json</a>: where each texture lies in the sheet.</p>\n";
    }
    return h;
}

} // namespace

std::string mapScript(const ReportPictures& pictures) {
    // {"names": [...], "spots": [x, y, name, ...]} as the JSON library writes it, without its document.
    std::string text = "window.veldrinMap = {\"names\":";
    appendJsonStrings(text, pictures.mapNames);
    text += ",\"spots\":[";
    for (std::size_t i = 0; i < pictures.mapSpots.size(); ++i) {
        const ReportPictures::MapSpot& s = pictures.mapSpots[i];
        if (i) text += ',';
        text += std::to_string(s.x) + ',' + std::to_string(s.y) + ',' + std::to_string(s.name);
    }
    return text + "]};\n";
}

namespace {

std::string mapSection(const RunRecord& r, const ReportPictures& pictures) {
    std::string h = "<h2 id=\"map\">Map</h2>\n<p>" + std::to_string(pictures.mapPoints) +
                    " placement(s) seen from above, north up, in world units" + (r.converted ? " after the map offset" : "") +
                    ": <span style=\"color:#1e64c8\">&#9632; model</span> <span style=\"color:#eb8214\">&#9632; LOD</span> "
                    "<span style=\"color:#8c32aa\">&#9632; MegaLOD</span> <span style=\"color:#28963c\">&#9633; zone</span>. "
                    "Point at a placement to see its model's name.</p>\n";
    h += "<div class=\"map\"><img id=\"map-img\" src=\"map.png\" alt=\"placement map\"><div id=\"map-tip\" hidden></div></div>\n"
         "<p><a href=\"map.json\">map.json</a>: the area the map covers.</p>\n";
    return h + "<script src=\"map.js\"></script>\n";
}

std::string filesSection(const RunRecord& r, const ReportPictures& pictures) {
    std::string h = "<h2 id=\"files\">Files (" + std::to_string(r.files.size()) + ")</h2>\n";
    h += "<div class=\"scroll\"><table class=\"sortable\">\n<thead><tr><th>Name</th><th class=\"n\">Bytes</th><th>In</th>"
         "<th>SHA-256</th></tr></thead>\n<tbody>\n";
    const std::string folder = pictures.outputLink.empty() ? "" : urlPath(pictures.outputLink) + "/";
    for (const RecordedFile& f : r.files) {
        if (!f.archive && !folder.empty()) {
            h += "<tr><td><a href=\"";
            appendEscapedHtml(h, folder + urlSegment(f.name));
            h += "\">";
            appendEscapedHtml(h, f.name);
            h += "</a></td>";
        } else {
            h += "<tr>";
            appendTextCell(h, f.name);
        }
        appendNumberCell(h, f.bytes);
        appendTextCell(h, f.archive ? std::string_view(*f.archive) : std::string_view("folder"));
        h += "<td><code>";
        h += f.sha256;
        h += "</code></td></tr>\n";
    }
    return h + "</tbody></table></div>\n";
}

} // namespace

void appendEscapedHtml(std::string& out, std::string_view text) {
    // Runs of plain characters are appended whole.
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* entity = nullptr;
        switch (text[i]) {
        case '&': entity = "&amp;"; break;
        case '<': entity = "&lt;"; break;
        case '>': entity = "&gt;"; break;
        case '"': entity = "&quot;"; break;
        case '\'': entity = "&#39;"; break;
        default: continue;
        }
        out.append(text.substr(plain, i - plain));
        out += entity;
        plain = i + 1;
    }
    out.append(text.substr(plain));
}

std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    appendEscapedHtml(out, text);
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

std::string urlPath(const std::string& relativePath) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = relativePath.find('/', start);
        out += urlSegment(relativePath.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
        if (slash == std::string::npos) return out;
        out += '/';
        start = slash + 1;
    }
}

std::string reportPage(const RunRecord& r, const ReportPictures& pictures) {
    std::vector<PageSection> sections;
    sections.push_back({"summary", "Summary", summarySection(r, pictures)});
    if (!pictures.viewer.empty()) sections.push_back({"view", "3D view", pictures.viewer});
    sections.push_back({"options", "Options", optionsSection(r)});
    sections.push_back({"warnings", "Warnings (" + std::to_string(r.warnings.size()) + ")", warningsSection(r)});
    sections.push_back({"models", "Models (" + std::to_string(r.models.size()) + ")", modelsSection(r, pictures)});
    sections.push_back({"textures", "Textures", texturesSection(pictures)});
    if (pictures.map) sections.push_back({"map", "Map", mapSection(r, pictures)});
    if (r.converted) sections.push_back({"files", "Files (" + std::to_string(r.files.size()) + ")", filesSection(r, pictures)});

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
    h += std::string(" in ") + seconds + " s";
    if (const RunRecord::OptionValue* target = recordedOption(r, "target")) h += " for " + escapeHtml(optionText(*target));
    h += ". Edition " + escapeHtml(r.level.edition) + (r.level.editionDetected ? " (detected)" : " (chosen)") + ".";
    if (r.converted) h += " <a href=\"#options\">Options</a> lists what shaped the files.";
    h += "</p>\n";
    h += "<nav id=\"contents\"><b>Contents</b><ol>\n";
    for (const PageSection& s : sections) h += "<li><a href=\"#" + escapeHtml(s.id) + "\">" + escapeHtml(s.title) + "</a></li>\n";
    h += "</ol></nav>\n";
    for (const PageSection& s : sections) h += s.html;
    h += "<p><a href=\"manifest.json\">manifest.json</a></p>\n";
    h += "<script src=\"page.js\"></script>\n</body>\n</html>\n";
    return h;
}

} // namespace veldrin
