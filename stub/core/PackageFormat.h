#pragma once
// Byte layout of a package appended to the stub executable: header blocks, file
// records and the 74-byte trailer at the end. All integers are little-endian.
#include <array>
#include <cstddef>
#include <cstdint>

namespace pkg {

constexpr uint32_t kMagic = 0x4A3B2C1D;
constexpr uint32_t kTrailerSize = 74;
constexpr uint32_t kNoChecksum = 1234;              // "no checksum computed"
constexpr uint64_t kChecksumSizeLimit = 51200;      // larger files are not summed
constexpr uint64_t kPartSize = 5242880;             // files above this are cut into parts
constexpr uint32_t kPointerHighOffset = 248;        // OverlayEndPointer, high word
constexpr uint32_t kPointerLowOffset = 252;         // OverlayEndPointer, low word
constexpr uint32_t kPeSignatureOffset = 256;
constexpr int kSpaceTableEntries = 9;

// Trailer flag bits (byte 65).
enum TrailerFlag : uint8_t {
    kShowTempDriveNotice = 0x01,
    kMoreVolumes = 0x02,
    kRunFromTempCopy = 0x04,
    kShowActivityBar = 0x08,
    kAgentLogging = 0x10,
};

struct PackageTrailer {
    uint8_t BuilderMark = 0;          // offset 0, not interpreted
    uint8_t HeaderCount = 0;          // offset 1
    uint32_t Start = 0;               // offset 4
    uint32_t FilesCount = 0;          // offset 8
    uint32_t Magic = 0;               // offset 12
    uint32_t Checksum = 0;            // offset 16
    std::array<uint8_t, 8> Reserved{};  // offset 20
    std::array<uint32_t, kSpaceTableEntries> SpaceTable{};  // offset 28
    uint8_t Reserved64 = 0;           // offset 64
    uint8_t flags = 0;                // offset 65
    uint8_t DownloadPackage = 0;      // offset 66
    uint8_t ConfirmDownload = 0;      // offset 67
    uint8_t InstallAgent = 0;         // offset 68
    uint8_t IsAgent = 0;              // offset 69
    uint32_t TrailerLength = 0;       // offset 70

    bool HasFlag(TrailerFlag f) const { return (flags & f) != 0; }
};

// Serialises a trailer to its 74 bytes.
std::array<uint8_t, kTrailerSize> EncodeTrailer(const PackageTrailer& t);
// Reads up to 74 bytes of a trailer (missing bytes count as zero). The length
// word is taken from the bytes as well; readers overwrite it with what they found.
PackageTrailer DecodeTrailer(const uint8_t* bytes, size_t n);

inline uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void PutU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

}  // namespace pkg
