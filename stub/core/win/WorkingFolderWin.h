// The plain run's working folder on this machine.
#pragma once
#include <string>

namespace stub {

// Temporary folder + "SETUP_" + time half of the stub file's DOS date-time. Computed once
// per process: on the first call an existing folder of that name is deleted with its
// contents, then the folder is created (with missing parents).
const std::string& WorkingFolder();
// Deletes the working folder with its contents, but only when this process made it
// (an agent or a second instance must never remove another process's folder).
void DeleteWorkingFolder();

}  // namespace stub
