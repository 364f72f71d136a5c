#pragma once
#include <cstddef>
#include <string>

namespace veldrin {

// A texture's name in models and dictionaries: the texture prefix followed by its id in decimal, never
// shortened. A dictionary's native header holds 32 bytes of name with one kept for the terminator, so
// the mask name (the name followed by "a") still fits: names are limited to 31 characters.
inline constexpr std::size_t kMaxTextureNameLength = 31;

std::string textureName(const std::string& prefix, int textureId);

// Refuses a name over kMaxTextureNameLength with VeldrinError, advising a shorter prefix.
void requireTextureNameLength(const std::string& name);

} // namespace veldrin
