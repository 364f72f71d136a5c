#pragma once

namespace veldrin {

// The page's own script, inline: tables of class "sortable" sort by a column when its heading is
// clicked (numbers by data-v), and the image #map-img names the placements under the pointer from the
// global veldrinMap = {names: [...], spots: [x, y, name index, ...]} in the image's pixels.
extern const char* const kReportPageScript;

} // namespace veldrin
