#include "app/batch/LargestFirst.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>

namespace veldrin {

std::vector<std::size_t> largestFirst(const std::vector<BatchLevel>& plan) {
    std::vector<std::uintmax_t> sizes;
    for (const BatchLevel& level : plan) {
        std::uintmax_t size = 0;
        for (const std::filesystem::path& file : {level.options.lvzPath, level.options.imgPath}) {
            std::error_code error;
            const std::uintmax_t bytes = std::filesystem::file_size(file, error);
            if (!error) size += bytes;
        }
        sizes.push_back(size);
    }
    std::vector<std::size_t> order(plan.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return sizes[a] > sizes[b]; });
    return order;
}

} // namespace veldrin
