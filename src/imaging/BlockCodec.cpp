// Whole images to blocks and back: the size checks and the walk over rows of blocks.
#include <algorithm>
#include <cstring>
#include <string>

#include "imaging/Imaging.h"
#include "internal/BlockRows.h"
#include "internal/Dxt.h"
#include "internal/LittleEndian.h"

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

namespace {

// The bytes of one block, once the blocks are known to cover the size.
int32_t checkBlocksToDecode(std::span<const uint8_t> blocks, int32_t width, int32_t height, TexelFormat format) {
    const char* operation = "Block decoding";
    const int32_t blockBytes = blockBytesOf(format, operation);
    if (width < 0 || height < 0) throw VeldrinError("Block decoding: negative image size.");
    requireBuffer(blocks.size(), (int64_t{width} + 3) / 4 * ((int64_t{height} + 3) / 4) * blockBytes, operation, "source");
    return blockBytes;
}

// Blocks decoded straight into rows `rowBytes` apart, blue or red first; edge blocks of a size that is
// not a multiple of 4 are cut to the image.
void decodeBlocksInto(std::span<const uint8_t> blocks, int32_t width, int32_t height, TexelFormat format, uint8_t* out,
                      std::size_t rowBytes, bool redFirst) {
    const int32_t blockBytes = checkBlocksToDecode(blocks, width, height, format);
    const int64_t blocksAcross = (int64_t{width} + 3) / 4, blocksDown = (int64_t{height} + 3) / 4;
    const bool dxt3 = format == TexelFormat::DXT3;
    const uint8_t* in = blocks.data();
    for (int64_t by = 0; by < blocksDown; ++by) {
        const int64_t rows = std::min<int64_t>(4, height - by * 4);
        for (int64_t bx = 0; bx < blocksAcross; ++bx, in += blockBytes) {
            const uint8_t* colour = dxt3 ? in + 8 : in;
            // The four texels as words, so each texel is one copy.
            uint32_t palette[4];
            colourBlockWords(colour, dxt3, redFirst, palette);
            const uint32_t indices = loadU32(colour + 4);
            const int64_t columns = std::min<int64_t>(4, width - bx * 4);
            for (int64_t row = 0; row < rows; ++row) {
                uint8_t* to = out + std::size_t(by * 4 + row) * rowBytes + std::size_t(bx) * 16;
                for (int64_t column = 0; column < columns; ++column) {
                    const int64_t k = row * 4 + column;
                    std::memcpy(to + column * 4, &palette[(indices >> (2 * k)) & 3], 4);
                    // DXT3 alpha: texel 2i in the low nibble of byte i, texel 2i + 1 in the high one.
                    if (dxt3) to[column * 4 + 3] = static_cast<uint8_t>(((in[k / 2] >> (k % 2 * 4)) & 0x0F) * 17);
                }
            }
        }
    }
}

} // namespace

std::vector<uint8_t> decodeBlocks(std::span<const uint8_t> blocks, int32_t width, int32_t height, TexelFormat format) {
    checkBlocksToDecode(blocks, width, height, format);
    std::vector<uint8_t> texels(static_cast<std::size_t>(int64_t{width} * height * 4));
    decodeBlocksInto(blocks, width, height, format, texels.data(), std::size_t(width) * 4, false);
    return texels;
}

void decodeBlocksRedFirst(std::span<const uint8_t> blocks, int32_t width, int32_t height, TexelFormat format, uint8_t* out,
                          std::size_t rowBytes) {
    decodeBlocksInto(blocks, width, height, format, out, rowBytes, true);
}

} // namespace veldrin
