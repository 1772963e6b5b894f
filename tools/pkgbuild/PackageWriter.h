#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "BuildOptions.h"

struct BuildResult {
    std::vector<std::string> volumes;  // file names written, in order
    uint64_t records = 0;              // file records in all volumes
    uint64_t files = 0;                // source files packed
    uint64_t inputBytes = 0;
    uint64_t outputBytes = 0;
    bool movedPeHeader = false;
    bool strippedPackage = false;
};

// Builds a package (one file or a series of volumes). Either every volume is
// written completely or no output is left behind; failures throw BuildError.
BuildResult BuildPackage(const BuildOptions& options);

// Names of the volumes of OUT: "OUT", "OUT.002", ... or, when OUT ends with
// ".001", "BASE.001", "BASE.002", ...
std::string VolumeName(const std::string& out, int number);
