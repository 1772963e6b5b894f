// The batch file by which a stub deletes its own executable after it has ended
// (a running program cannot delete its own file).
#pragma once
#include <string>

namespace stub {

// Lines (CR LF): ":START", "DEL " + stub, "IF exist " + stub + " GOTO START",
// optionally "RD " + folder, "DEL " + batch. quote is "\"" normally and empty when the
// paths are short (8.3) names.
std::string SelfDeleteBatchText(const std::string& batchPath, const std::string& stubPath,
                                const std::string& stubFolder, bool removeFolder, const std::string& quote);

// The batch file's name in the temporary folder.
inline const char* kSelfDeleteBatchName = "_DEL_ME_.BAT";

}  // namespace stub
