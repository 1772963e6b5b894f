#pragma once
// Builds package files byte by byte for the reader tests, so that every field
// (including damaged ones) can be set by hand.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/PackageFormat.h"

namespace fixture {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
inline void AppendU32(Bytes& b, uint32_t v) {
    uint8_t w[4];
    pkg::PutU32(w, v);
    b.insert(b.end(), w, w + 4);
}
inline void SetU32(Bytes& b, size_t at, uint32_t v) { pkg::PutU32(&b[at], v); }

// An executable-looking image: "MZ" at 0, "PE" at 256.
inline Bytes Image(size_t size = 1024) {
    Bytes b(size, 0);
    b[0] = 'M';
    b[1] = 'Z';
    b[256] = 'P';
    b[257] = 'E';
    return b;
}

inline std::string RecordData(const std::string& name, uint32_t date, const std::string& content) {
    std::string d = "|" + name + "|" + std::to_string(date) + "|";
    d.push_back('\0');
    return d + content;
}

inline void StoredRecord(Bytes& b, const std::string& data) {
    AppendU32(b, static_cast<uint32_t>(-static_cast<int32_t>(data.size())));
    Append(b, data);
}

inline void CompressedRecord(Bytes& b, const std::string& data) {
    uLongf n = compressBound(static_cast<uLong>(data.size()));
    Bytes out(n);
    compress2(out.data(), &n, reinterpret_cast<const Bytes::value_type*>(data.data()),
              static_cast<uLong>(data.size()), 6);
    AppendU32(b, static_cast<uint32_t>(n));
    b.insert(b.end(), out.begin(), out.begin() + static_cast<long>(n));
}

struct Package {
    Bytes image;  // may be empty
    std::vector<std::string> blocks{"\x02\x01" "English\x01" "s0=Title\x01\x02", "|http://u|app.info|agent.exe|tok|0|"};
    std::vector<Bytes> records;  // raw, as appended
    pkg::PackageTrailer trailer;
    Package() {
        trailer.BuilderMark = 1;
        trailer.HeaderCount = 2;
        trailer.Magic = pkg::kMagic;
        trailer.Checksum = pkg::kNoChecksum;
        trailer.TrailerLength = pkg::kTrailerSize;
    }
    // The file bytes; Start is set from the image size.
    Bytes Build() const {
        Bytes b = image;
        pkg::PackageTrailer t = trailer;
        t.Start = static_cast<uint32_t>(image.size());
        for (const auto& block : blocks) {
            AppendU32(b, static_cast<uint32_t>(block.size()));
            Append(b, block);
        }
        for (const auto& r : records) b.insert(b.end(), r.begin(), r.end());
        const auto tb = pkg::EncodeTrailer(t);
        b.insert(b.end(), tb.begin(), tb.end());
        return b;
    }
};

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/pkgtest-XXXXXX";
        path_ = mkdtemp(tmpl) ? tmpl : "/tmp";
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }
    std::string Write(const std::string& name, const Bytes& bytes) const {
        const std::string p = path_ + "/" + name;
        std::FILE* f = std::fopen(p.c_str(), "wb");
        if (f) {
            if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return p;
    }

private:
    std::string path_;
};

}  // namespace fixture
