// Settings file of the simulator: one "key = value" per line, '#' starts a
// comment. Values describe the machine on top of the built-in default; the
// first line of a list key (media, token, boot_order, interval, smbios) in a
// file replaces the default list instead of adding to it.
#pragma once

#include <string>

#include "machine.h"

namespace kebsim {

// Applies the file to `m`. On a malformed line returns false with
// "<file>:<line>: <reason>" in `error`.
bool ApplySettingsFile(const std::string& path, Machine& m, std::string& error);

// Same for settings given as text (used by the file reader and by tests).
bool ApplySettingsText(const std::string& text, const std::string& baseDir, const std::string& name,
                       Machine& m, std::string& error);

uint32_t SignatureOfName(const std::string& name);  // "VRXNV" -> 0x5A584E56, 0 if not 5 letters

}  // namespace kebsim
