#pragma once
// Finding a package inside a file: the executable-image test, the end pointer
// kept in the DOS header, and the trailer.
#include <cstdint>
#include <string>

#include "core/PackageFile.h"
#include "core/PackageFormat.h"

namespace pkg {

// True when bytes 0-1 are "MZ" and bytes 256-257 are "PE".
bool IsExecutableImage(PackageFile& file);
// The 64-bit end-of-package offset (high word at 248, low word at 252); 0 when the
// file is not an executable image or the pointer is unset.
uint64_t ReadOverlayEndPointer(PackageFile& file);

struct TrailerLocation {
    bool found = false;        // a trailer could be read (Magic not yet checked)
    uint64_t offset = 0;       // first byte of the trailer
    uint64_t packageEnd = 0;   // just past the trailer
    PackageTrailer trailer;    // zero when not found; HeaderCount 0 is read as 2
    bool IsPackage() const { return found && trailer.Magic == kMagic; }
};

// Locates and reads the trailer. A length word of 0, a length or pointer that
// lies outside the file, or a file too short for either gives found = false.
TrailerLocation FindTrailer(PackageFile& file);
TrailerLocation FindTrailer(const std::string& path);

}  // namespace pkg
