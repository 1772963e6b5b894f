#pragma once
// A read-only file opened for shared reading, with 64-bit positions. Reads never
// go past the end of the file; short reads report how much was read.
#include <cstdint>
#include <cstdio>
#include <string>

namespace pkg {

class PackageFile {
public:
    PackageFile() = default;
    explicit PackageFile(const std::string& path) { Open(path); }
    ~PackageFile();
    PackageFile(const PackageFile&) = delete;
    PackageFile& operator=(const PackageFile&) = delete;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    uint64_t Size() const { return size_; }

    // Reads up to n bytes at offset; returns the number read (0 past the end).
    size_t ReadAt(uint64_t offset, void* buffer, size_t n);
    // Reads exactly n bytes at offset; false when the file is shorter.
    bool ReadExact(uint64_t offset, void* buffer, size_t n) { return ReadAt(offset, buffer, n) == n; }
    bool ReadU32(uint64_t offset, uint32_t& value);

private:
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
};

}  // namespace pkg
