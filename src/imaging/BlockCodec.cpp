// Whole images to blocks and back: the size checks and the walk over rows of blocks.
#include <algorithm>
#include <string>

#include "imaging/Imaging.h"
#include "internal/BlockRows.h"
#include "internal/Dxt.h"

namespace veldrin {

namespace {

int32_t blockBytesOf(TexelFormat format, const char* operation) {
    if (format == TexelFormat::DXT1) return 8;
    if (format == TexelFormat::DXT3) return 16;
    throw VeldrinError(std::string(operation) + ": format \"" + formatInfo(format).name +
                        "\" is not a block format.");
}

void requireBuffer(std::size_t have, int64_t need, const char* operation, const char* which) {
    if (static_cast<uint64_t>(need) > have)
        throw VeldrinError(std::string(operation) + ": the " + which + " holds " + std::to_string(have) +
                            " bytes but " + std::to_string(need) + " are needed.");
}

} // namespace

void encodeBlockRowScalar(const uint8_t* rows, int64_t pitch, int64_t count, bool dxt3, uint8_t* out) {
    uint8_t texels[64];
    for (int64_t bx = 0; bx < count; ++bx) {
        for (int row = 0; row < 4; ++row) std::copy_n(rows + row * pitch + bx * 16, 16, texels + 16 * row);
        if (dxt3) {
            const auto block = encodeBlockDxt3(texels);
            out = std::copy(block.begin(), block.end(), out);
        } else {
            const auto block = encodeBlockDxt1(texels);
            out = std::copy(block.begin(), block.end(), out);
        }
    }
}

std::vector<uint8_t> encodeBlocks(std::span<const uint8_t> texels, int32_t width, int32_t height, TexelFormat format,
                                  DxtQuality quality) {
    const char* operation = "Block encoding";
    const int32_t blockBytes = blockBytesOf(format, operation);
    if (width < 0 || height < 0) throw VeldrinError("Block encoding: negative image size.");
    const int64_t blocksAcross = width / 4, blocksDown = height / 4;
    requireBuffer(texels.size(), int64_t{width} * height * 4, operation, "source");

    std::vector<uint8_t> blocks(static_cast<std::size_t>(blocksAcross * blocksDown * blockBytes));
    const int64_t pitch = int64_t{width} * 4;
    const bool dxt3 = format == TexelFormat::DXT3;
    for (int64_t by = 0; by < blocksDown; ++by) {
        const uint8_t* rows = texels.data() + by * 4 * pitch;
        uint8_t* out = blocks.data() + by * blocksAcross * blockBytes;
        if (quality == DxtQuality::High)
            encodeBlockRowHigh(rows, pitch, blocksAcross, dxt3, out);
        else
            encodeBlockRowExact(rows, pitch, blocksAcross, dxt3, out);
    }
    return blocks;
}

std::vector<uint8_t> decodeBlocks(std::span<const uint8_t> blocks, int32_t width, int32_t height, TexelFormat format) {
    const char* operation = "Block decoding";
    const int32_t blockBytes = blockBytesOf(format, operation);
    if (width < 0 || height < 0) throw VeldrinError("Block decoding: negative image size.");
    const int64_t blocksAcross = (int64_t{width} + 3) / 4, blocksDown = (int64_t{height} + 3) / 4;
    requireBuffer(blocks.size(), blocksAcross * blocksDown * blockBytes, operation, "source");

    std::vector<uint8_t> texels(static_cast<std::size_t>(int64_t{width} * height * 4));
    const uint8_t* in = blocks.data();
    for (int64_t by = 0; by < blocksDown; ++by)
        for (int64_t bx = 0; bx < blocksAcross; ++bx) {
            const BlockTexels decoded = format == TexelFormat::DXT1 ? decodeBlockDxt1(in) : decodeBlockDxt3(in);
            in += blockBytes;
            // Edge blocks of a size that is not a multiple of 4 are cut to the image.
            for (int64_t row = 0; row < 4 && by * 4 + row < height; ++row) {
                const int64_t columns = std::min<int64_t>(4, width - bx * 4);
                uint8_t* to = texels.data() + ((by * 4 + row) * width + bx * 4) * 4;
                std::copy_n(decoded.data() + 16 * row, columns * 4, to);
            }
        }
    return texels;
}

} // namespace veldrin
