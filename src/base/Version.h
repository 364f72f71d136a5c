#pragma once

// The program's version comes from the one in CMakeLists.txt (project(... VERSION)), passed down as
// VELDRIN_VERSION to everything that links the base library. The window's title, the head line of
// every IDE and IPL, the command line's --version and the run records all name it from here.
#ifndef VELDRIN_VERSION
#error "VELDRIN_VERSION comes from the build (CMakeLists.txt)"
#endif

namespace veldrin {

inline constexpr const char* kVeldrinVersion = VELDRIN_VERSION;      // "1.2"
inline constexpr const char* kVeldrinTitle = "Veldrin v" VELDRIN_VERSION; // "Veldrin v1.2"

} // namespace veldrin
