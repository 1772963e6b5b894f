#include "SpaceTable.h"

#include <algorithm>

std::array<uint32_t, pkg::kSpaceTableEntries> ComputeSpaceTable(const std::vector<uint64_t>& fileSizes) {
    std::array<uint32_t, pkg::kSpaceTableEntries> table{};
    uint64_t largest = 0;
    for (int i = 1; i < pkg::kSpaceTableEntries; ++i) {
        const uint64_t cluster = 256ull << i;
        uint64_t total = 0;
        for (uint64_t size : fileSizes) total += (size + cluster - 1) / cluster * cluster;
        table[i] = static_cast<uint32_t>(std::min<uint64_t>(total, 0xFFFFFFFFull));
        largest = std::max(largest, total);
    }
    table[0] = static_cast<uint32_t>(std::min<uint64_t>(largest, 0xFFFFFFFFull));
    return table;
}
