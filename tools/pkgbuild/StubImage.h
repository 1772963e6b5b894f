#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The executable image placed in front of a package.
struct StubImage {
    std::vector<uint8_t> bytes;
    bool movedPeHeader = false;  // the PE header was moved to offset 256
    bool strippedPackage = false;  // the stub file carried a package already
};

// Loads a stub: an "MZ" executable whose PE header sits at offset 256 (or can be
// moved there, which the loader follows through e_lfanew). A stub that already
// carries a package contributes only its image. Throws BuildError otherwise.
StubImage LoadStubImage(const std::string& path);

// Writes the end-of-package offset into the image's DOS header (248 high word,
// 252 low word).
void SetOverlayEndPointer(std::vector<uint8_t>& image, uint64_t packageEnd);
