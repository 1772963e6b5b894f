#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One file to be packed.
struct SourceFile {
    std::string path;          // on disk
    std::string packageName;   // relative name with "\" as separator
    uint64_t size = 0;
    uint32_t dosDateTime = 0;
};

// Every regular file under dir, sorted by package name. Files for which skip(real
// path) is true are left out. Throws BuildError for an unreadable folder or file
// or a name the package format cannot carry.
std::vector<SourceFile> ListSourceFiles(const std::string& dir,
                                        const std::function<bool(const std::string&)>& skip);
// The canonical form of a path (the path itself when it cannot be resolved).
std::string RealPath(const std::string& path);
