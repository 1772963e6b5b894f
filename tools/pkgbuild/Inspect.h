#pragma once
#include <ostream>

#include "BuildOptions.h"

// Prints what a package file holds, read with the stub's own reader. Returns the
// exit code: 0 for a sound package, 1 for a missing, damaged or invalid one.
int RunInspect(const InspectOptions& options, std::ostream& out);
