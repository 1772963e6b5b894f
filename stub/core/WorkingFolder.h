// The plain run's working folder: temporary folder + "SETUP_" + the time half of the
// stub file's DOS date-time (so every start of the same file uses the same folder).
#pragma once
#include <cstdint>
#include <string>

namespace stub {

// tempFolder with exactly one trailing backslash + "SETUP_" + (dosDateTime & 0xFFFF).
std::string WorkingFolderName(const std::string& tempFolder, std::uint32_t dosDateTime);

}  // namespace stub
