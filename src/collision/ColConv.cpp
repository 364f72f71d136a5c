#include "collision/ColConv.h"

#include <algorithm>
#include <cstdint>

#include "base/Error.h"
#include "base/FileIO.h"
#include "base/TextUtil.h"
#include "collision/ColWriter.h"
#include "collision/StoriesColReader.h"
#include "internal/Col2Index.h"

namespace veldrin {

namespace {

void warn(const ColCallbacks& callbacks, Col2Summary& summary, const std::string& text) {
    ++summary.warnings;
    if (callbacks.warning) callbacks.warning(text);
}

} // namespace

Col2Summary writeCol2Records(std::span<const uint8_t> col2, StoriesEdition edition, ByteSink& out,
                             const ColCallbacks& callbacks) {
    if (!startsCol2(col2, 0)) {
        throw VeldrinError(kInvalidCol2Message, "it opens with " + openingBytes(col2) + ", not the \"2loc\" of a COL2 file");
    }
    const int64_t bound = collOutputBound(static_cast<int64_t>(col2.size()));
    const int64_t start = out.size();
    Col2Summary summary;
    std::vector<uint8_t> record;
    const std::vector<Col2IndexEntry> entries = readCol2Index(col2, 0, "COL2 file");
    const int maximum = static_cast<int>(std::min<std::size_t>(entries.size(), INT32_MAX));
    for (const Col2IndexEntry& entry : entries) {
        const std::string name = "col" + std::to_string(entry.position);
        if (callbacks.progress) callbacks.progress(static_cast<int>(std::min<int64_t>(entry.position, INT32_MAX)), maximum);
        if (entry.modelIndex < 0) {
            ++summary.skipped;
            warn(callbacks, summary,
                 "COL2 index entry " + std::to_string(entry.position) + " has the model index " +
                     std::to_string(entry.modelIndex) + ": skipped, no record " + name);
            continue;
        }
        const StoriesColModel model =
            readStoriesColModel(col2, entry.headerOffset, 0, edition, "Collision model " + name + " of the COL2 file");
        if (model.skippedFaces > 0) {
            warn(callbacks, summary,
                 name + ": " + std::to_string(model.skippedFaces) + " face(s) with a corner before the vertex section left out");
        }
        const int64_t written = out.size() - start;
        if (written + static_cast<int64_t>(kCollHeaderSize + collBodySize(model)) > bound) {
            throw VeldrinError("COL2 file: record " + name + " would take the output past " + std::to_string(bound) +
                               " bytes (" + std::to_string(kCollOutputPerInputByte) + " per byte of the " +
                               std::to_string(col2.size()) + "-byte file); its index names the same models over and over");
        }
        record.clear();
        writeCOL(record, name, model);
        out.write(record);
        ++summary.records;
    }
    if (callbacks.progress) callbacks.progress(maximum, maximum);
    return summary;
}

Col2Conversion convertCol2(std::span<const uint8_t> col2, StoriesEdition edition, const ColCallbacks& callbacks) {
    Col2Conversion result;
    VectorSink sink(result.col);
    result.summary = writeCol2Records(col2, edition, sink, callbacks);
    return result;
}

Col2Summary convertCol2File(const std::filesystem::path& input, const std::filesystem::path& output,
                            StoriesEdition edition, const ColCallbacks& callbacks) {
    const std::vector<uint8_t> bytes = readWholeFile(input);
    Col2Summary summary;
    writeWholeFileFrom(output, [&](ByteSink& out) { summary = writeCol2Records(bytes, edition, out, callbacks); });
    if (callbacks.status) callbacks.status(kColDoneMessage);
    return summary;
}

bool col2ReadsAs(std::span<const uint8_t> col2, StoriesEdition edition) {
    // Written to nowhere: only whether every model reads matters.
    class CountingSink final : public ByteSink {
    public:
        void write(std::span<const uint8_t> bytes) override { size_ += static_cast<int64_t>(bytes.size()); }
        int64_t size() const override { return size_; }
        void overwrite(int64_t, std::span<const uint8_t>) override {}

    private:
        int64_t size_ = 0;
    } sink;
    try {
        writeCol2Records(col2, edition, sink);
        return true;
    } catch (const VeldrinError&) {
        return false;
    }
}

std::filesystem::path col2OutputPath(const std::filesystem::path& input) {
    std::filesystem::path output = input;
    output += ".col";
    return output;
}

} // namespace veldrin
