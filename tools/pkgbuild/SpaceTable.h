#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/PackageFormat.h"

// Bytes the extracted files need on a drive, for the nine cluster-size classes:
// entry i (1-8) rounds every file up to 256 * 2^i bytes; entry 0 (small or
// unknown clusters) takes the largest of them so that it never promises too
// little. Values above 4 GiB - 1 are clamped.
std::array<uint32_t, pkg::kSpaceTableEntries> ComputeSpaceTable(const std::vector<uint64_t>& fileSizes);
