#include "report/PngFile.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <span>
#include <string>

#include "base/Error.h"
#include "internal/ZlibStream.h"

namespace veldrin {
namespace {

void putBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// A chunk: length, type, its data given in parts, and the CRC of type and data.
void putChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<std::span<const uint8_t>>& parts) {
    std::size_t size = 0;
    for (const auto& part : parts) size += part.size();
    putBigEndian32(out, static_cast<uint32_t>(size));
    out.insert(out.end(), type, type + 4);
    uint32_t crc = static_cast<uint32_t>(libdeflate_crc32(0, type, 4));
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
        crc = static_cast<uint32_t>(libdeflate_crc32(crc, part.data(), part.size()));
    }
    putBigEndian32(out, crc);
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

// Where row y of the picture lies, for the rows a piece and its history need.
using RowAt = std::function<const uint8_t*(int y)>;

// Rows [first, last) with the "up" filter (each byte less the byte above it): flat areas and repeated
// rows of the sheets become runs of zeros. Written into `rows`, which a thread keeps from one piece to
// the next: fresh room for every piece costs more in page faults than filtering it.
std::span<const uint8_t> filterRows(std::vector<uint8_t>& rows, const RowAt& rowAt, std::size_t stride, int first, int last) {
    rows.resize((stride + 1) * static_cast<std::size_t>(std::max(0, last - first)));
    uint8_t* out = rows.data();
    for (int y = first; y < last; ++y) {
        const uint8_t* row = rowAt(y);
        *out++ = 2; // filter type "up"
        if (y == 0) std::memcpy(out, row, stride);
        else subtractRow(out, row, rowAt(y - 1), stride);
        out += stride;
    }
    return rows;
}

// Rows of about 1 MiB a piece, and rows of the 32 KiB of history before one.
struct PieceRows {
    int rows, historyRows;
};
PieceRows pieceRowsFor(int width) {
    const std::size_t stride = static_cast<std::size_t>(width) * 4 + 1;
    return {static_cast<int>(std::max<std::size_t>(1, (std::size_t(1) << 20) / stride)), static_cast<int>((32 * 1024 + stride - 1) / stride)};
}

// Rows [first, last) filtered and compressed in pieces side by side, each primed with the rows before
// it. The pieces are cut by the picture's size alone, so the file is the same for any `jobs`.
std::vector<DeflatedPiece> compressedRows(const RowAt& rowAt, int width, int first, int last, bool endsPicture, int jobs) {
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    const PieceRows cut = pieceRowsFor(width);
    const std::size_t pieces = static_cast<std::size_t>((last - first + cut.rows - 1) / cut.rows);
    return deflatePieces(pieces, jobs, [&](std::size_t i) {
        const int from = first + static_cast<int>(i) * cut.rows, to = std::min(last, from + cut.rows);
        thread_local std::vector<uint8_t> rows, history;
        return StreamPiece{filterRows(rows, rowAt, stride, from, to), filterRows(history, rowAt, stride, std::max(0, from - cut.historyRows), from)};
    }, endsPicture);
}

// The file around its compressed rows, the pieces copied once, straight into it.
std::vector<uint8_t> pngFile(int width, int height, const std::vector<DeflatedPiece>& pieces) {
    static constexpr uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::array<uint8_t, 8> frame;
    const std::vector<std::span<const uint8_t>> stream = zlibStreamSpans(pieces, frame);
    std::size_t size = sizeof kSignature + 64;
    for (const auto& part : stream) size += part.size();
    std::vector<uint8_t> png(kSignature, kSignature + sizeof kSignature);
    png.reserve(size);
    std::vector<uint8_t> header;
    putBigEndian32(header, static_cast<uint32_t>(width));
    putBigEndian32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, adaptive filters, no interlace
    putChunk(png, "IHDR", {header});
    putChunk(png, "IDAT", stream);
    putChunk(png, "IEND", {});
    return png;
}

VeldrinError cannotWrite(int width, int height, const std::string& why) {
    return VeldrinError("Cannot write a PNG of " + std::to_string(width) + " x " + std::to_string(height) + " pixels" + why);
}

// The stored rows and the chunk lengths are 32-bit.
void checkPngSize(int width, int height) {
    if (width <= 0 || height <= 0) throw cannotWrite(width, height, "");
    if (std::size_t(width) * std::size_t(height) * 4 > 0x7FFF0000u - static_cast<std::size_t>(height))
        throw cannotWrite(width, height, ": too large for one file");
}

} // namespace

std::vector<uint8_t> encodePng(const RgbaImage& image, int jobs) {
    checkPngSize(image.width, image.height);
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4)
        throw cannotWrite(image.width, image.height, "");
    try {
        const RowAt rowAt = [&](int y) { return image.at(0, y); };
        return pngFile(image.width, image.height, compressedRows(rowAt, image.width, 0, image.height, true, jobs));
    } catch (const VeldrinError& e) {
        throw cannotWrite(image.width, image.height, std::string(": ") + e.what());
    }
}

std::vector<uint8_t> encodePngInBands(int width, int height, const std::vector<int>& bandEnds, const DrawBand& draw, int jobs) {
    checkPngSize(width, height);
    if (bandEnds.empty() || bandEnds.back() != height) throw cannotWrite(width, height, ": its bands do not end at its last row");
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    const PieceRows cut = pieceRowsFor(width);
    // Bands are joined until each holds the rows the next one's history needs, and about 4 MiB.
    const int carried = cut.historyRows + 1;
    const int least = std::max(carried, static_cast<int>((std::size_t(4) << 20) / stride));
    std::vector<std::pair<int, int>> bands;
    for (int end : bandEnds) {
        const int first = bands.empty() ? 0 : bands.back().second;
        if (end <= first || end > height) throw cannotWrite(width, height, ": its bands are out of order");
        if (!bands.empty() && bands.back().second - bands.back().first < least) bands.back().second = end;
        else bands.push_back({first, end});
    }
    std::vector<uint8_t> band, carry; // one band of rows at a time; the last rows of the band before it
    int carryFirst = 0;
    std::vector<DeflatedPiece> pieces;
    try {
        for (std::size_t b = 0; b < bands.size(); ++b) {
            // Named copies, not a structured binding: the lambda below captures them.
            const int first = bands[b].first, last = bands[b].second;
            band.assign(stride * static_cast<std::size_t>(last - first), 0);
            draw(first, last, band.data());
            const RowAt rowAt = [&](int y) {
                return y >= first ? band.data() + stride * std::size_t(y - first) : carry.data() + stride * std::size_t(y - carryFirst);
            };
            std::vector<DeflatedPiece> more = compressedRows(rowAt, width, first, last, b + 1 == bands.size(), jobs);
            pieces.insert(pieces.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
            carryFirst = std::max(first, last - carried);
            carry.assign(band.end() - static_cast<std::ptrdiff_t>(stride * std::size_t(last - carryFirst)), band.end());
        }
        return pngFile(width, height, pieces);
    } catch (const VeldrinError& e) {
        throw cannotWrite(width, height, std::string(": ") + e.what());
    }
}

} // namespace veldrin
