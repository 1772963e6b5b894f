#include "SourceTree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "BuildError.h"
#include "DosTime.h"

namespace fs = std::filesystem;

namespace {

void CheckName(const std::string& name) {
    // "|" would break the record's header line; "*" would mark an engine.
    for (char c : name) {
        if (c == '|' || c == '*' || static_cast<unsigned char>(c) < 0x20)
            throw BuildError("file name \"" + name + "\" holds a character a package cannot carry ('|', '*' or a control character)");
    }
}

}  // namespace

std::string RealPath(const std::string& path) {
    std::error_code ec;
    const fs::path c = fs::weakly_canonical(path, ec);
    return ec ? path : c.string();
}

std::vector<SourceFile> ListSourceFiles(const std::string& dir,
                                        const std::function<bool(const std::string&)>& skip) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw BuildError("source folder " + dir + " is not a readable folder");

    std::vector<SourceFile> files;
    // Folder links are not followed: a link cycle would never end.
    fs::recursive_directory_iterator it(dir, fs::directory_options::none, ec);
    if (ec) throw BuildError("cannot read folder " + dir + ": " + ec.message());
    for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) throw BuildError("cannot read folder " + dir + ": " + ec.message());
        const fs::path& p = it->path();
        struct stat st{};
        if (::stat(p.c_str(), &st) != 0)
            throw BuildError("cannot read " + p.string() + ": " + std::strerror(errno));
        if (!S_ISREG(st.st_mode)) continue;  // folders are implied by names; others carry no data
        if (skip && skip(RealPath(p.string()))) continue;

        std::string name = fs::relative(p, dir, ec).generic_string();
        if (ec || name.empty()) throw BuildError("cannot name " + p.string() + " relative to " + dir);
        std::replace(name.begin(), name.end(), '/', '\\');
        CheckName(name);
        if (::access(p.c_str(), R_OK) != 0)
            throw BuildError("cannot read " + p.string() + ": " + std::strerror(errno));
        files.push_back({p.string(), name, static_cast<uint64_t>(st.st_size), ToDosDateTime(st.st_mtime)});
    }
    if (ec) throw BuildError("cannot read folder " + dir + ": " + ec.message());
    std::sort(files.begin(), files.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.packageName < b.packageName; });
    return files;
}
