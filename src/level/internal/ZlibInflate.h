#pragma once
// zlib's streaming inflater: the reference the whole-buffer one must match, and the reader whose
// refusals every inflation reports.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace veldrin {

// inflateStream's contract, by zlib's inflater fed 64 KB at a time into a growing buffer.
std::vector<uint8_t> inflateWithZlib(std::span<const uint8_t> input, const std::string& what, std::size_t maxSize);

} // namespace veldrin
