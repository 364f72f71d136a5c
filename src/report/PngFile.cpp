#include "report/PngFile.h"

#include <libdeflate.h>

#include <cstring>
#include <string>

#include "base/Error.h"
#include "internal/ZlibStream.h"

namespace veldrin {
namespace {

// libdeflate's fastest level: on texture sheets it compressed smaller than zlib's fastest with
// run-length matching (which libpng used here before), in well under half the time.
constexpr int kDeflateLevel = 1;

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

// The rows with the "up" filter (each byte less the byte above it): flat areas and repeated rows of
// the sheets become runs of zeros.
std::vector<uint8_t> filteredRows(const RgbaImage& image) {
    const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
    std::vector<uint8_t> rows((stride + 1) * static_cast<std::size_t>(image.height));
    uint8_t* out = rows.data();
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = image.at(0, y);
        *out++ = 2; // filter type "up"
        if (y == 0) std::memcpy(out, row, stride);
        else {
            const uint8_t* above = image.at(0, y - 1);
            for (std::size_t i = 0; i < stride; ++i) out[i] = static_cast<uint8_t>(row[i] - above[i]);
        }
        out += stride;
    }
    return rows;
}

} // namespace

std::vector<uint8_t> encodePng(const RgbaImage& image) {
    const auto fail = [&](const std::string& why) {
        return VeldrinError("Cannot write a PNG of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                            " pixels" + why);
    };
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4)
        throw fail("");
    // The stored rows and the chunk lengths are 32-bit.
    if (image.pixels.size() > 0x7FFF0000u - static_cast<std::size_t>(image.height)) throw fail(": too large for one file");

    const std::vector<uint8_t> rows = filteredRows(image);
    std::vector<uint8_t> compressed;
    if (!zlibStream(rows, kDeflateLevel, compressed)) throw fail(": the compressor failed");
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
