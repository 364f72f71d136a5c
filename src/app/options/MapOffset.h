#pragma once
#include <array>
#include <string>

#include "pcout/IdeIpl.h"

namespace veldrin {

inline constexpr const char* kInvalidMapOffsetMessage = "Invalid Map XYZ offset";

// Which window's words a refused offset is reported in.
enum class MapOffsetMessages {
    Conversion,   // "Invalid Map XYZ offset", followed by the axis and its text
    CollisionMap, // "Global map offset X error!" (Y, Z)
};

// The three axis texts of a global map offset (X, Y, Z), "." as the decimal separator whatever the
// locale. The front ends call it before a run starts, so a refused offset leaves nothing read or
// written. Refuses, with VeldrinError, the first text that is not a finite number (an empty text, "1,5",
// "inf" and "nan" included).
MapOffset parseMapOffset(const std::array<std::string, 3>& texts, MapOffsetMessages messages);

// The same for one text "X,Y,Z", as the command line and the manifest spell it; a missing axis is
// refused as an empty one.
MapOffset parseMapOffset(const std::string& xyz, MapOffsetMessages messages);
// "X,Y,Z" split at the commas; a missing part stays empty, so the parsers refuse it with its axis.
std::array<std::string, 3> splitMapOffsetText(const std::string& xyz);

// The collision map's offset: the same texts and refusals, kept in double precision as typed, the way
// its placements have always been moved.
std::array<double, 3> parseExactMapOffset(const std::array<std::string, 3>& texts, MapOffsetMessages messages);

// "X,Y,Z" with each axis in nine significant digits, as the manifest records it (parseMapOffset reads it
// back to the same floats).
std::string mapOffsetText(const MapOffset& offset);

} // namespace veldrin
