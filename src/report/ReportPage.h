#pragma once
#include <string>
#include <vector>

#include "report/RunRecord.h"

namespace veldrin {

// The pictures a report folder holds, as the page links them.
struct ReportPictures {
    struct Sheet {
        std::string name; // textures/NAME.png and textures/NAME.json
        int textures = 0;
    };
    std::vector<Sheet> sheets;
    struct Thumbnail {
        std::string name;
        std::string sheet; // models/SHEET.png
        int x = 0, y = 0;  // its cell there
    };
    std::vector<Thumbnail> thumbnails;
    bool map = false;                    // map.png
    int mapPoints = 0;
    // The 3D view's section (report/ViewerSection), "" without scene.js; and the models the page draws
    // itself: an element with data-preview="NAME" gets a picture of that model once it scrolls into view.
    std::string viewer;
    std::vector<std::string> previews;
};

// index.html: one page that needs nothing but the folder it lies in (inline style, local scripts only,
// relative links only). Every count of the summary carries data-count="KEY" with the manifest's key in `counts`.
std::string reportPage(const RunRecord& record, const ReportPictures& pictures);

// Text made safe for HTML content and attribute values.
std::string escapeHtml(const std::string& text);
// A file name made safe as one segment of a relative URL (every byte but letters, digits and "-._~"
// percent-encoded).
std::string urlSegment(const std::string& name);

} // namespace veldrin
