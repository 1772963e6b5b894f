#include "core/PackageFile.h"

#include "core/PackageFormat.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace pkg {

namespace {
bool SeekTo(std::FILE* f, uint64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<__int64>(offset), whence) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), whence) == 0;
#endif
}
int64_t Tell(std::FILE* f) {
#ifdef _WIN32
    return _ftelli64(f);
#else
    return ftello(f);
#endif
}
}  // namespace

PackageFile::~PackageFile() { Close(); }

bool PackageFile::Open(const std::string& path) {
    Close();
    // The C runtime opens files without denying others read or write access, so
    // a running stub can read its own executable.
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
#ifndef _WIN32
    // The C library opens folders too; only regular files hold packages.
    struct stat st {};
    if (fstat(fileno(file_), &st) != 0 || !S_ISREG(st.st_mode)) {
        Close();
        return false;
    }
#endif
    const int64_t end = (SeekTo(file_, 0, SEEK_END)) ? Tell(file_) : -1;
    if (end < 0) {
        Close();
        return false;
    }
    size_ = static_cast<uint64_t>(end);
    return true;
}

void PackageFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    size_ = 0;
}

size_t PackageFile::ReadAt(uint64_t offset, void* buffer, size_t n) {
    if (!file_ || offset >= size_ || n == 0) return 0;
    if (n > size_ - offset) n = static_cast<size_t>(size_ - offset);
    if (!SeekTo(file_, offset, SEEK_SET)) return 0;
    return std::fread(buffer, 1, n, file_);
}

bool PackageFile::ReadU32(uint64_t offset, uint32_t& value) {
    uint8_t b[4];
    if (!ReadExact(offset, b, 4)) return false;
    value = GetU32(b);
    return true;
}

}  // namespace pkg
