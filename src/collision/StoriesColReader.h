#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "collision/StoriesColModel.h"

namespace veldrin {

// Bytes of a model header that are read: the LCS header takes 96 bytes but its last 12 are unused.
inline constexpr int64_t kLcsColHeaderRead = 84;
inline constexpr int64_t kVcsColHeaderRead = 80;

// True when the model whose header lies at `headerOffset` has no spheres, boxes or faces.
// `what` names the model in the message of a header that lies outside the stream.
bool isEmptyColModelLcs(std::span<const uint8_t> stream, int64_t headerOffset, const std::string& what = "collision model");
bool isEmptyColModelVcs(std::span<const uint8_t> stream, int64_t headerOffset, const std::string& what = "collision model");
bool isEmptyColModel(std::span<const uint8_t> stream, int64_t headerOffset, StoriesEdition edition, const std::string& what);

// Decodes the model whose header lies at `headerOffset`; every section lies at `sectionBase` plus
// the section's offset from the header. The vertex section carries no count: the vertices read are
// those up to the largest face corner (one at least, so a model without faces still has one).
// A header or section outside the stream is refused with VeldrinError naming `what`.
// Safe for untrusted input: each section is checked whole inside the stream before it is read, so a
// model never holds more records than its sections' bytes.
StoriesColModel readStoriesColModel(std::span<const uint8_t> stream, int64_t headerOffset, int64_t sectionBase,
                                    StoriesEdition edition, const std::string& what = "collision model");

} // namespace veldrin
