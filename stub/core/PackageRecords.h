#pragma once
// Walks the file records of one package volume: i32 L then abs(L) bytes, a zlib
// stream when L > 0, stored otherwise. Each record's data is a header line
// "|name|dosdatetime|", one NUL and the file bytes.
#include <cstdint>
#include <string>

#include "core/PackageFile.h"
#include "core/TGFileInfo.h"

namespace pkg {

struct PackageRecord {
    uint64_t offset = 0;        // of the length word
    int64_t storedLength = 0;   // L as stored
    bool compressed = false;    // L > 0
    bool headerMissing = false; // no header line: the record produces no file
    std::string headerLine;
    std::string name;           // star and engine arguments removed
    uint32_t dosDateTime = 0;
    bool engine = false;
    std::string engineArguments;  // text after the star
    uint64_t size = 0;          // bytes of file data
};

class PackageRecordReader {
public:
    // Largest header line accepted; a longer one marks a damaged record.
    static constexpr size_t kMaxHeaderLine = 65536;

    explicit PackageRecordReader(const std::string& path);
    // False when the file holds no valid package.
    bool IsOpen() const { return info_.IsPackage() && file_.IsOpen(); }
    const TGFileInfo& Info() const { return info_; }

    // Reads the next record. With content, the file bytes are returned too; a
    // record whose data would exceed contentLimit is an error. Returns false at
    // the end of the records or on damage (Error() then says what).
    bool Next(PackageRecord& record, std::string* content = nullptr,
              uint64_t contentLimit = 64ull << 20);
    const std::string& Error() const { return error_; }

private:
    bool Fail(const std::string& what);

    TGFileInfo info_;
    PackageFile file_;
    uint64_t pos_ = 0;
    std::string error_;
};

// Splits a header line into name, date and engine mark.
void ParseHeaderLine(const std::string& line, PackageRecord& record);

}  // namespace pkg
