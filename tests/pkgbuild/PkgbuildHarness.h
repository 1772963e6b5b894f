#pragma once
// Runs the pkgbuild program in a private folder and reads back what it wrote
// with the stub's reader.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <utime.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/PackageRecords.h"
#include "core/TGFileInfo.h"

namespace harness {

struct Result {
    int exitCode = -1;
    std::string out, err;
};

inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool Exists(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
}

inline Result Shell(const std::string& command, const std::string& scratch) {
    Result r;
    const std::string out = scratch + "/.stdout", err = scratch + "/.stderr";
    const int rc = std::system((command + " >" + Quote(out) + " 2>" + Quote(err)).c_str());
    r.exitCode = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.out = ReadFile(out);
    r.err = ReadFile(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return r;
}

// What extraction makes of a series of volumes: records appended by name.
struct Extracted {
    std::map<std::string, std::string> files;
    std::vector<pkg::PackageRecord> records;
    std::vector<TGFileInfo> volumes;
    std::string error;
};

inline Extracted Extract(const std::vector<std::string>& volumePaths) {
    Extracted x;
    for (const auto& path : volumePaths) {
        pkg::PackageRecordReader reader(path);
        x.volumes.push_back(reader.Info());
        if (!reader.IsOpen()) {
            x.error += path + " is not a package; ";
            continue;
        }
        pkg::PackageRecord r;
        std::string content;
        while (reader.Next(r, &content)) {
            x.records.push_back(r);
            if (!r.headerMissing) x.files[r.name] += content;
        }
        x.error += reader.Error();
    }
    return x;
}

class PkgbuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/pkgbuild-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ::mkdir((dir_ + "/src").c_str(), 0755);
        ::mkdir((dir_ + "/out").c_str(), 0755);
        // A stub that looks like an executable image with its PE header at 256.
        std::string stub(2048, '\0');
        stub[0] = 'M';
        stub[1] = 'Z';
        stub[0x3C] = 0;
        stub[0x3D] = 1;  // e_lfanew = 256
        stub.replace(256, 4, std::string("PE\0\0", 4));
        WriteAt(dir_ + "/stub.exe", stub);
    }
    void TearDown() override { std::system(("rm -rf " + Quote(dir_)).c_str()); }

    std::string Path(const std::string& rel) const { return dir_ + "/" + rel; }
    std::string Src() const { return Path("src"); }
    std::string Stub() const { return Path("stub.exe"); }

    static void WriteAt(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }
    // A file under src/ (folders made as needed); mtime 0 leaves the time alone.
    void Source(const std::string& rel, const std::string& content, time_t mtime = 0) {
        std::string p = Src();
        size_t start = 0;
        for (size_t slash; (slash = rel.find('/', start)) != std::string::npos; start = slash + 1)
            ::mkdir((Src() + "/" + rel.substr(0, slash)).c_str(), 0755);
        p += "/" + rel;
        WriteAt(p, content);
        if (mtime) {
            struct utimbuf t{mtime, mtime};
            ::utime(p.c_str(), &t);
        }
    }

    Result Pkgbuild(const std::string& args) { return Shell(std::string(PKGBUILD_EXE) + " " + args, dir_); }
    Result Build(const std::string& out, const std::string& options) {
        return Pkgbuild("build --no-progress --stub " + Quote(Stub()) + " --out " + Quote(out) + " " + options + " " +
                        Quote(Src()));
    }

    // Files in out/ (to prove that failures leave nothing behind).
    std::vector<std::string> OutputFolder() const {
        const Result r = Shell("ls -A " + Quote(Path("out")), dir_);
        std::vector<std::string> names;
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);) names.push_back(line);
        return names;
    }

    static std::string RandomBytes(size_t n, unsigned seed) {
        std::mt19937 gen(seed);
        std::string s(n, '\0');
        for (auto& c : s) c = static_cast<char>(gen());
        return s;
    }
    static std::string Text(size_t n) {
        std::string s;
        for (int i = 0; s.size() < n; ++i) s += "line " + std::to_string(i) + " of some compressible text\n";
        s.resize(n);
        return s;
    }

    std::string dir_;
};

}  // namespace harness
