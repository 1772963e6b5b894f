#pragma once
#include <string>

#include "BuildOptions.h"

// The header blocks a build writes, as stored.
struct HeaderBlocks {
    std::string language;
    std::string config;
    std::string download;  // only written when hasDownload
    bool hasDownload = false;
    int Count() const { return hasDownload ? 3 : 2; }
};

// Builds the blocks from the options; reads the language files. Throws
// BuildError for unreadable files and texts the lists cannot carry.
HeaderBlocks MakeHeaderBlocks(const BuildOptions& options);

// One language entry (0x01-separated) from "key=value" lines; blank lines and
// lines starting with ';' or '#' are skipped.
std::string MakeLanguageEntry(const std::string& name, const std::string& lines, const std::string& source);
