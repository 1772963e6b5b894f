#include "StubImage.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "BuildError.h"
#include "core/PackageFormat.h"
#include "core/PackageReader.h"

namespace {

uint16_t GetU16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }
uint32_t GetU32(const std::vector<uint8_t>& b, size_t at) { return pkg::GetU32(&b[at]); }

bool HasPeAt(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() && b[at] == 'P' && b[at + 1] == 'E' && b[at + 2] == 0 && b[at + 3] == 0;
}

// Moves the PE header and section table to offset 256 when the room before the
// first section allows it. Returns false when it cannot be done safely.
bool MovePeHeaderTo256(std::vector<uint8_t>& b, std::string& why) {
    const uint32_t lfanew = GetU32(b, 0x3C);
    if (!HasPeAt(b, lfanew)) { why = "no PE signature at e_lfanew"; return false; }
    if (lfanew + 24 > b.size()) { why = "PE header cut off"; return false; }
    const uint16_t sections = GetU16(b, lfanew + 6);
    const uint16_t optionalSize = GetU16(b, lfanew + 20);
    const size_t optional = lfanew + 24;
    const size_t tableEnd = optional + optionalSize + size_t(40) * sections;
    if (optionalSize < 64 || tableEnd > b.size()) { why = "PE headers cut off"; return false; }
    uint32_t headersEnd = GetU32(b, optional + 60);  // SizeOfHeaders
    for (uint16_t s = 0; s < sections; ++s) {
        const size_t sec = optional + optionalSize + size_t(40) * s;
        const uint32_t rawSize = GetU32(b, sec + 16), rawPtr = GetU32(b, sec + 20);
        if (rawSize > 0 && rawPtr < headersEnd) headersEnd = rawPtr;
    }
    const size_t length = tableEnd - lfanew;
    if (256 + length > headersEnd || 256 + length > b.size()) {
        why = "no room for the PE header at offset 256";
        return false;
    }
    std::vector<uint8_t> header(b.begin() + lfanew, b.begin() + static_cast<std::ptrdiff_t>(tableEnd));
    // The DOS program before the old header stays; the old header's bytes go.
    const size_t clearFrom = std::min<size_t>(lfanew, 256);
    const size_t clearTo = std::max<size_t>(tableEnd, 256 + length);
    std::fill(b.begin() + static_cast<std::ptrdiff_t>(clearFrom), b.begin() + static_cast<std::ptrdiff_t>(clearTo), 0);
    std::memcpy(&b[256], header.data(), header.size());
    pkg::PutU32(&b[0x3C], 256);
    return true;
}

}  // namespace

StubImage LoadStubImage(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BuildError("cannot read stub " + path);
    StubImage stub;
    stub.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) throw BuildError("cannot read stub " + path);

    std::vector<uint8_t>& b = stub.bytes;
    if (b.size() < 0x40 || b[0] != 'M' || b[1] != 'Z')
        throw BuildError("stub " + path + " is not a Windows executable (no MZ header)");

    // A stub that carries a package already (a built package used as stub).
    const pkg::TrailerLocation loc = pkg::FindTrailer(path);
    if (loc.IsPackage() && loc.trailer.Start >= 0x40 && loc.trailer.Start <= loc.offset) {
        b.resize(loc.trailer.Start);
        stub.strippedPackage = true;
    }

    if (!HasPeAt(b, 256)) {
        std::string why;
        if (!MovePeHeaderTo256(b, why))
            throw BuildError("stub " + path + " cannot carry a package: its PE header is not at offset 256 (" + why + ")");
        stub.movedPeHeader = true;
    }
    return stub;
}

void SetOverlayEndPointer(std::vector<uint8_t>& image, uint64_t packageEnd) {
    pkg::PutU32(&image[pkg::kPointerHighOffset], static_cast<uint32_t>(packageEnd >> 32));
    pkg::PutU32(&image[pkg::kPointerLowOffset], static_cast<uint32_t>(packageEnd));
}
