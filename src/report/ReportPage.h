#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "report/RunRecord.h"
#include "report/TextureSheet.h"

namespace veldrin {

// The pictures a report folder holds, as the page links them.
struct ReportPictures {
    struct Sheet {
        std::string name;             // textures/NAME.png and textures/NAME.json
        std::vector<SheetCell> cells; // in dictionary order
    };
    std::vector<Sheet> sheets;
    struct Thumbnail {
        std::string name;
        std::string sheet; // models/SHEET.png
        int x = 0, y = 0;  // its cell there
    };
    std::vector<Thumbnail> thumbnails;
    bool map = false; // map.png
    int mapPoints = 0;
    // Where each drawn placement lies on map.png, naming an entry of mapNames: what the pointer finds.
    struct MapSpot {
        int x = 0, y = 0;
        int name = 0;
    };
    std::vector<MapSpot> mapSpots;
    std::vector<std::string> mapNames;
    // The level's files relative to the report folder ("../../INDUST.lvz"), "" for none.
    std::string outputLink, lvzLink, imgLink;
    // The 3D view's section (report/ViewerSection), "" without scene.js; and the models the page draws
    // itself: an element with data-preview="NAME" gets a picture of that model once it scrolls into view.
    std::string viewer;
    bool previews = false; // the page draws a preview of each model
};

// index.html: one page that needs nothing but the folder it lies in (inline style, scripts from files of
// the folder (page.js, map.js), relative links only): contents, summary, the 3D view when there is one,
// the target game and every recorded option (those set marked), warnings grouped by kind with what to
// do, a sortable models table, each dictionary's textures, the map naming what is under the pointer, and
// the files. Model and texture names are listed in natural order (report/NaturalOrder).
// Every count of the summary carries data-count="KEY" with the manifest's key in `counts`.
std::string reportPage(const RunRecord& record, const ReportPictures& pictures);

// map.js: the map's spots for page.js, window.veldrinMap = {names: [...], spots: [x, y, name, ...]}.
std::string mapScript(const ReportPictures& pictures);

// Text made safe for HTML content and attribute values.
std::string escapeHtml(const std::string& text);
void appendEscapedHtml(std::string& out, std::string_view text);
// A file name made safe as one segment of a relative URL (every byte but letters, digits and "-._~"
// percent-encoded).
std::string urlSegment(const std::string& name);
// A relative path as a URL: each segment made safe, joined by "/".
std::string urlPath(const std::string& relativePath);

} // namespace veldrin
