#pragma once
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace veldrin {

// Where a writer puts its bytes as it produces them, so that a large output need not be held whole
// before it is written: a byte vector in memory, or a file being written (see writeWholeFileFrom).
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::span<const uint8_t> bytes) = 0;
    // Bytes written so far.
    virtual int64_t size() const = 0;
    // Replaces bytes already written, such as a size field known only once its content is out.
    virtual void overwrite(int64_t at, std::span<const uint8_t> bytes) = 0;
};

class VectorSink final : public ByteSink {
public:
    explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
    void write(std::span<const uint8_t> bytes) override { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    int64_t size() const override { return static_cast<int64_t>(out_.size()); }
    void overwrite(int64_t at, std::span<const uint8_t> bytes) override {
        std::copy(bytes.begin(), bytes.end(), out_.begin() + at);
    }

private:
    std::vector<uint8_t>& out_;
};

} // namespace veldrin
