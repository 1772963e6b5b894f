// Feeds arbitrary files to the package reader: trailer location, header blocks,
// record walk with inflation, checksum and token unscrambling. Half of the
// inputs get a well-formed trailer appended so that the fuzzer reaches the
// blocks and records quickly.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/PackageChecksum.h"
#include "core/PackageFormat.h"
#include "core/PackageRecords.h"
#include "core/TGFileInfo.h"
#include "core/TokenUnscramble.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> file(data + 1, data + size);
    if (data[0] & 1) {
        pkg::PackageTrailer t;
        t.HeaderCount = static_cast<uint8_t>((data[0] >> 1) & 3);
        t.Start = file.size() >= 2 ? static_cast<uint32_t>(data[1] % file.size()) : 0;
        if (data[0] & 8) t.Start = (file.size() > 256 && file[0] == 'M') ? 300 : t.Start;
        t.Magic = pkg::kMagic;
        t.Checksum = data[0] & 16 ? pkg::kNoChecksum : 0;
        t.TrailerLength = (data[0] & 32) ? 70 + (data[0] >> 6) * 4 : pkg::kTrailerSize;
        const auto tb = pkg::EncodeTrailer(t);
        file.insert(file.end(), tb.begin(), tb.end());
        if (t.TrailerLength != pkg::kTrailerSize) pkg::PutU32(&file[file.size() - 4], t.TrailerLength);
    }

    static const std::string path = "/tmp/fuzz-package-" + std::to_string(getpid());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (!file.empty()) std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);

    TGFileInfo info(path);
    for (int i = 0; i < 5; ++i) {
        (void)info.ConfigField(i);
        (void)info.DownloadField(i);
    }
    (void)info.Token(true);
    (void)info.InfoFileName();
    (void)info.OriginalSetupFileName();
    (void)info.SameToken(info);
    (void)info.RequiredSpace("C:\\x", [](const std::string&) { return 4096u; });
    (void)pkg::PackageChecksum(path, info.TrailerLength());

    pkg::PackageRecordReader reader(path);
    pkg::PackageRecord record;
    std::string content;
    for (int n = 0; n < 64 && reader.Next(record, &content, 1 << 20); ++n) {
        if (record.headerMissing && !content.empty()) __builtin_trap();
        if (record.size != content.size()) __builtin_trap();
    }
    return 0;
}
