// The part of the machine that writes change, kept in a file so that the next
// process sees what an earlier one wrote.
#pragma once

#include <string>

#include "machine.h"

namespace kebsim {

// Applies a saved state to `m`. A missing file is no error (fresh machine).
// A damaged file or an entry that does not fit the configured machine is
// skipped with a message in `warning`; the machine keeps its configured state.
void LoadState(const std::string& path, Machine& m, std::string& warning);

// Writes the state atomically (temporary file, then rename).
bool SaveState(const std::string& path, const Machine& m, std::string& error);

}  // namespace kebsim
