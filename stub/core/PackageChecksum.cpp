#include "core/PackageChecksum.h"

#include <vector>

#include "core/PackageFormat.h"
#include "core/PackageReader.h"

namespace pkg {

uint32_t PackageChecksum(PackageFile& file, uint32_t trailerLength) {
    if (!file.IsOpen()) return 0;
    int64_t size = static_cast<int64_t>(file.Size());
    if (size > static_cast<int64_t>(kChecksumSizeLimit)) return kNoChecksum;

    uint32_t pointerLow = 0;
    if (IsExecutableImage(file)) file.ReadU32(kPointerLowOffset, pointerLow);
    if (pointerLow > 0) size = pointerLow;

    // Signed arithmetic: a damaged length or pointer makes the remainder
    // negative, which simply adds nothing.
    int64_t remaining = size - static_cast<int64_t>(trailerLength);
    uint64_t offset = 0;
    if (pointerLow > 0) {
        remaining -= 512;
        offset = 512;
    }

    uint32_t sum = 0;
    std::vector<uint8_t> block(4096);
    for (;;) {
        const size_t got = file.ReadAt(offset, block.data(), block.size());
        offset += got;
        for (size_t i = 0; i + 4 <= got; i += 4) {
            remaining -= 4;
            if (remaining > 4) sum += GetU32(&block[i]);
        }
        if (remaining > 4) sum += kNoChecksum;
        if (got < block.size()) break;
    }
    return sum;
}

uint32_t PackageChecksum(const std::string& path, uint32_t trailerLength) {
    PackageFile file(path);
    return PackageChecksum(file, trailerLength);
}

bool ChecksumPasses(uint32_t computed, uint32_t stored) {
    return computed == stored || computed == kNoChecksum || stored == kNoChecksum;
}

}  // namespace pkg
