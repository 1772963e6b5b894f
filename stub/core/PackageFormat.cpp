#include "core/PackageFormat.h"

#include <cstring>

namespace pkg {

std::array<uint8_t, kTrailerSize> EncodeTrailer(const PackageTrailer& t) {
    std::array<uint8_t, kTrailerSize> b{};
    b[0] = t.BuilderMark;
    b[1] = t.HeaderCount;
    PutU32(&b[4], t.Start);
    PutU32(&b[8], t.FilesCount);
    PutU32(&b[12], t.Magic);
    PutU32(&b[16], t.Checksum);
    std::memcpy(&b[20], t.Reserved.data(), t.Reserved.size());
    for (int i = 0; i < kSpaceTableEntries; ++i) PutU32(&b[28 + 4 * i], t.SpaceTable[i]);
    b[64] = t.Reserved64;
    b[65] = t.flags;
    b[66] = t.DownloadPackage;
    b[67] = t.ConfirmDownload;
    b[68] = t.InstallAgent;
    b[69] = t.IsAgent;
    PutU32(&b[70], t.TrailerLength);
    return b;
}

PackageTrailer DecodeTrailer(const uint8_t* bytes, size_t n) {
    std::array<uint8_t, kTrailerSize> b{};
    std::memcpy(b.data(), bytes, n < kTrailerSize ? n : kTrailerSize);
    PackageTrailer t;
    t.BuilderMark = b[0];
    t.HeaderCount = b[1];
    t.Start = GetU32(&b[4]);
    t.FilesCount = GetU32(&b[8]);
    t.Magic = GetU32(&b[12]);
    t.Checksum = GetU32(&b[16]);
    std::memcpy(t.Reserved.data(), &b[20], t.Reserved.size());
    for (int i = 0; i < kSpaceTableEntries; ++i) t.SpaceTable[i] = GetU32(&b[28 + 4 * i]);
    t.Reserved64 = b[64];
    t.flags = b[65];
    t.DownloadPackage = b[66];
    t.ConfirmDownload = b[67];
    t.InstallAgent = b[68];
    t.IsAgent = b[69];
    t.TrailerLength = GetU32(&b[70]);
    return t;
}

}  // namespace pkg
