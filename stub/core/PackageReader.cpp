#include "core/PackageReader.h"

#include <algorithm>

namespace pkg {

bool IsExecutableImage(PackageFile& file) {
    uint8_t mz[2], pe[2];
    return file.ReadExact(0, mz, 2) && file.ReadExact(kPeSignatureOffset, pe, 2) && mz[0] == 'M' &&
           mz[1] == 'Z' && pe[0] == 'P' && pe[1] == 'E';
}

uint64_t ReadOverlayEndPointer(PackageFile& file) {
    if (!IsExecutableImage(file)) return 0;
    uint32_t high = 0, low = 0;
    if (!file.ReadU32(kPointerHighOffset, high) || !file.ReadU32(kPointerLowOffset, low)) return 0;
    return (uint64_t(high) << 32) | low;
}

TrailerLocation FindTrailer(PackageFile& file) {
    TrailerLocation loc;
    if (!file.IsOpen() || file.Size() < 4) return loc;
    uint64_t end = file.Size();
    const uint64_t pointer = ReadOverlayEndPointer(file);
    if (pointer > 0) {
        if (pointer > file.Size() || pointer < 4) return loc;  // points outside the file
        end = pointer;
    }
    uint32_t length = 0;
    if (!file.ReadU32(end - 4, length)) return loc;
    if (length < 4 || length > end) return loc;

    uint8_t bytes[kTrailerSize] = {};
    const size_t want = std::min<uint32_t>(kTrailerSize, length) - 4;
    if (!file.ReadExact(end - length, bytes, want)) return loc;
    loc.trailer = DecodeTrailer(bytes, want);
    loc.trailer.TrailerLength = length;
    if (loc.trailer.HeaderCount == 0) loc.trailer.HeaderCount = 2;
    loc.offset = end - length;
    loc.packageEnd = end;
    loc.found = true;
    return loc;
}

TrailerLocation FindTrailer(const std::string& path) {
    PackageFile file(path);
    return FindTrailer(file);
}

}  // namespace pkg
