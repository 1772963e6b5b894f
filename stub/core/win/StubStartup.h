// The program entry's sequence: trace and log the start, read the stub's own package,
// decide the role, run it, and end with the exit code.
#pragma once
#include <string>

#include "core/CommandLine.h"
#include "core/StubRole.h"
#include "core/TGFileInfo.h"

namespace stub {

// What every part of the stub may read about the running process.
struct StubProcess {
  std::string rawCommandLine;
  std::string stubPath;      // full path of the stub's own file
  std::string stubFileName;  // its file-name part
  CommandLineSwitches switches{std::string()};
  RoleDecision role;
};

// Valid during RunStub (empty before).
const StubProcess& CurrentStub();
// The one reader of the stub's own package; lives for the whole of RunStub.
const TGFileInfo& OwnPackage();

// Runs the stub and returns the process exit code.
int RunStub();

}  // namespace stub
