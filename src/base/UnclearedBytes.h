#pragma once
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace veldrin {

// Bytes grown without being cleared first: a writer that asks for more room than it fills (a
// compressor) would otherwise touch every page of it for nothing.
template <typename T>
struct UnclearedAllocator : std::allocator<T> {
    UnclearedAllocator() = default;
    template <typename U>
    UnclearedAllocator(const UnclearedAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* at) noexcept {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
};
using CompressedBytes = std::vector<uint8_t, UnclearedAllocator<uint8_t>>;

} // namespace veldrin
