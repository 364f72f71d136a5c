#include "imaging/ImagingBitmap.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>

namespace veldrin {

namespace {

constexpr int64_t kFileHeaderSize = 14;
constexpr int64_t kInfoHeaderSize = 40;

uint16_t LoadU16(std::span<const uint8_t> s, int64_t at) {
    return static_cast<uint16_t>(s[at] | (s[at + 1] << 8));
}

uint32_t LoadU32(std::span<const uint8_t> s, int64_t at) {
    return static_cast<uint32_t>(s[at]) | (static_cast<uint32_t>(s[at + 1]) << 8) |
           (static_cast<uint32_t>(s[at + 2]) << 16) | (static_cast<uint32_t>(s[at + 3]) << 24);
}

// Throws unless [offset, offset + length) lies inside the stream (64-bit arithmetic, no wrap).
void RequireBytes(std::span<const uint8_t> stream, int64_t offset, int64_t length, const char* what) {
    if (offset < 0 || length < 0 || offset > static_cast<int64_t>(stream.size()) ||
        length > static_cast<int64_t>(stream.size()) - offset)
        throw EImagingError("Bitmap is truncated: its " + std::string(what) + " needs " + std::to_string(length) +
                            " bytes at offset " + std::to_string(offset) + " but the stream holds " +
                            std::to_string(stream.size()) + " bytes.");
}

[[noreturn]] void Unsupported(const std::string& what) {
    throw EImagingError("Unsupported bitmap: " + what + ".");
}

} // namespace

bool ReadBitmap(std::span<const uint8_t> stream, ImageData& image) {
    if (stream.size() < kFileHeaderSize || stream[0] != 'B' || stream[1] != 'M') return false;
    const int64_t pixelOffset = LoadU32(stream, 10);

    RequireBytes(stream, kFileHeaderSize, kInfoHeaderSize, "information header");
    const int64_t infoSize = LoadU32(stream, 14);
    const int32_t width = static_cast<int32_t>(LoadU32(stream, 18));
    const int32_t storedHeight = static_cast<int32_t>(LoadU32(stream, 22));
    const int32_t bitsPerPixel = LoadU16(stream, 28);
    const uint32_t compression = LoadU32(stream, 30);
    const uint32_t coloursUsed = LoadU32(stream, 46);

    // Later header versions extend the 40-byte one; the palette follows whatever header is there.
    if (infoSize < kInfoHeaderSize) Unsupported("information header of " + std::to_string(infoSize) + " bytes");
    if (bitsPerPixel != 4 && bitsPerPixel != 8) Unsupported(std::to_string(bitsPerPixel) + " bits per pixel");
    if (compression != 0) Unsupported("compression method " + std::to_string(compression));
    if (width <= 0 || storedHeight == 0 || storedHeight == std::numeric_limits<int32_t>::min())
        throw EImagingError("Bitmap has an invalid size: " + std::to_string(width) + " x " +
                            std::to_string(storedHeight) + ".");
    const int32_t height = std::abs(storedHeight);

    const int64_t paletteOffset = kFileHeaderSize + infoSize;
    const int64_t paletteEntries = coloursUsed != 0 ? coloursUsed : (int64_t{1} << bitsPerPixel);
    if (paletteEntries > 256)
        throw EImagingError("Bitmap palette has " + std::to_string(paletteEntries) + " entries, more than 256.");
    RequireBytes(stream, paletteOffset, paletteEntries * 4, "palette");

    const int64_t rowBytes = (static_cast<int64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    RequireBytes(stream, pixelOffset, rowBytes * height, "pixel rows");

    ImageData read;
    CreateImage(width, height, TexelFormat::Index8, read);
    std::copy_n(stream.begin() + paletteOffset, paletteEntries * 4, read.Palette.begin());

    const bool bottomUp = storedHeight > 0;
    for (int32_t y = 0; y < height; ++y) {
        const int64_t storedRow = bottomUp ? height - 1 - y : y;
        const uint8_t* source = stream.data() + pixelOffset + storedRow * rowBytes;
        uint8_t* target = read.Bits.data() + static_cast<int64_t>(y) * width;
        if (bitsPerPixel == 8) {
            std::copy_n(source, width, target);
        } else {
            // The first texel of each byte is in its high nibble.
            for (int32_t x = 0; x < width; ++x)
                target[x] = (x % 2 == 0) ? static_cast<uint8_t>(source[x / 2] >> 4)
                                         : static_cast<uint8_t>(source[x / 2] & 0x0F);
        }
    }
    image = std::move(read);
    return true;
}

} // namespace veldrin
