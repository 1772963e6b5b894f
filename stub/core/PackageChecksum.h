#pragma once
// The package checksum: a 32-bit word sum over small packages; 1234 stands for
// "not computed" (files above 51,200 bytes).
#include <cstdint>
#include <string>

#include "core/PackageFile.h"

namespace pkg {

uint32_t PackageChecksum(PackageFile& file, uint32_t trailerLength);
uint32_t PackageChecksum(const std::string& path, uint32_t trailerLength);
// A volume passes when both values agree or either one is 1234.
bool ChecksumPasses(uint32_t computed, uint32_t stored);

}  // namespace pkg
