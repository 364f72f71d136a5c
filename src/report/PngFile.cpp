#include "report/PngFile.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/Error.h"
#include "internal/ZlibStream.h"

namespace veldrin {
namespace {

void putBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// A chunk: length, type, data, and the CRC of type and data.
void putChunk(std::vector<uint8_t>& out, const char (&type)[5], const uint8_t* data, std::size_t size) {
    putBigEndian32(out, static_cast<uint32_t>(size));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    if (size) out.insert(out.end(), data, data + size);
    putBigEndian32(out, static_cast<uint32_t>(libdeflate_crc32(0, out.data() + typeAt, size + 4)));
}

// out = row - above, byte by byte, eight bytes at a time (no borrow crosses from one byte to the next).
void subtractRow(uint8_t* out, const uint8_t* row, const uint8_t* above, std::size_t bytes) {
    constexpr uint64_t kHigh = 0x8080808080808080u;
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        uint64_t a, b;
        std::memcpy(&a, row + i, 8);
        std::memcpy(&b, above + i, 8);
        const uint64_t d = ((a | kHigh) - (b & ~kHigh)) ^ ((a ^ ~b) & kHigh);
        std::memcpy(out + i, &d, 8);
    }
    for (; i < bytes; ++i) out[i] = static_cast<uint8_t>(row[i] - above[i]);
}

// Rows [first, last) with the "up" filter (each byte less the byte above it): flat areas and repeated
// rows of the sheets become runs of zeros.
std::vector<uint8_t> filteredRows(const RgbaImage& image, int first, int last) {
    const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
    std::vector<uint8_t> rows((stride + 1) * static_cast<std::size_t>(std::max(0, last - first)));
    uint8_t* out = rows.data();
    for (int y = first; y < last; ++y) {
        const uint8_t* row = image.at(0, y);
        *out++ = 2; // filter type "up"
        if (y == 0) std::memcpy(out, row, stride);
        else subtractRow(out, row, image.at(0, y - 1), stride);
        out += stride;
    }
    return rows;
}

// The filtered rows compressed in pieces of about 1 MiB side by side, each primed with the rows
// before it. The pieces are cut by the image's size alone, so the file is the same for any `jobs`.
std::vector<uint8_t> compressedRows(const RgbaImage& image, int jobs) {
    const std::size_t stride = static_cast<std::size_t>(image.width) * 4 + 1;
    const int pieceRows = static_cast<int>(std::max<std::size_t>(1, (std::size_t(1) << 20) / stride));
    const int historyRows = static_cast<int>((32 * 1024 + stride - 1) / stride);
    const std::size_t pieces = (static_cast<std::size_t>(image.height) + std::size_t(pieceRows) - 1) / std::size_t(pieceRows);
    return zlibStreamInPieces(pieces, jobs, [&](std::size_t i) {
        const int first = static_cast<int>(i) * pieceRows, last = std::min(image.height, first + pieceRows);
        return StreamPiece{filteredRows(image, first, last), filteredRows(image, std::max(0, first - historyRows), first)};
    });
}

} // namespace

std::vector<uint8_t> encodePng(const RgbaImage& image, int jobs) {
    const auto fail = [&](const std::string& why) {
        return VeldrinError("Cannot write a PNG of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                            " pixels" + why);
    };
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4)
        throw fail("");
    // The stored rows and the chunk lengths are 32-bit.
    if (image.pixels.size() > 0x7FFF0000u - static_cast<std::size_t>(image.height)) throw fail(": too large for one file");

    std::vector<uint8_t> compressed;
    try {
        compressed = compressedRows(image, jobs);
    } catch (const VeldrinError& e) {
        throw fail(std::string(": ") + e.what());
    }
    const std::size_t size = compressed.size();

    static constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> png(kSignature, kSignature + sizeof kSignature);
    png.reserve(size + 64);
    std::vector<uint8_t> header;
    putBigEndian32(header, static_cast<uint32_t>(image.width));
    putBigEndian32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, adaptive filters, no interlace
    putChunk(png, "IHDR", header.data(), header.size());
    putChunk(png, "IDAT", compressed.data(), size);
    putChunk(png, "IEND", nullptr, 0);
    return png;
}

} // namespace veldrin
