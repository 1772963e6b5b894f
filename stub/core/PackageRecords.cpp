#include "core/PackageRecords.h"

#include <zlib.h>

#include <cstdlib>
#include <vector>

#include "util/SelfDelimitedList.h"

namespace pkg {

namespace {

// Receives record data piece by piece: first the header line up to the NUL, then
// the file bytes.
class RecordDataSink {
public:
    RecordDataSink(PackageRecord& record, std::string* content, uint64_t limit)
        : record_(record), content_(content), limit_(limit) {}

    bool Add(const uint8_t* data, size_t n) {
        size_t i = 0;
        if (!inContent_) {
            for (; i < n; ++i) {
                if (data[i] == 0) {
                    inContent_ = true;
                    ++i;
                    break;
                }
                if (record_.headerLine.size() >= PackageRecordReader::kMaxHeaderLine) return false;
                record_.headerLine.push_back(static_cast<char>(data[i]));
            }
        }
        if (inContent_ && i < n) {
            record_.size += n - i;
            if (content_) {
                if (record_.size > limit_) return false;
                content_->append(reinterpret_cast<const char*>(data + i), n - i);
            }
        }
        return true;
    }
    bool SawSeparator() const { return inContent_; }

private:
    PackageRecord& record_;
    std::string* content_;
    uint64_t limit_;
    bool inContent_ = false;
};

}  // namespace

void ParseHeaderLine(const std::string& line, PackageRecord& record) {
    record.engine = line.find('*') != std::string::npos;
    std::string name = SelfDelimitedList::Field(line, 0, "");
    const size_t star = name.find('*');
    if (star != std::string::npos) {
        record.engineArguments = name.substr(star + 1);
        name.erase(star);
    }
    record.name = name;
    const int64_t date = SelfDelimitedList::IntField(line, 1, 0);
    record.dosDateTime = (date >= 0 && date <= 0xFFFFFFFFLL) ? static_cast<uint32_t>(date) : 0;
}

PackageRecordReader::PackageRecordReader(const std::string& path) : info_(path) {
    if (!info_.IsPackage()) return;
    file_.Open(path);
    pos_ = info_.RecordsOffset();
    // Header blocks beyond the three the reader knows are skipped like records.
    for (int extra = info_.HeaderCount() - 3; extra > 0; --extra) {
        uint32_t n = 0;
        if (pos_ + 4 > info_.TrailerOffset() || !file_.ReadU32(pos_, n) || n > info_.TrailerOffset() - pos_ - 4) {
            Fail("header block beyond the end of the package");
            return;
        }
        pos_ += 4 + uint64_t(n);
    }
}

bool PackageRecordReader::Fail(const std::string& what) {
    error_ = what;
    pos_ = info_.TrailerOffset();  // stop walking
    return false;
}

bool PackageRecordReader::Next(PackageRecord& record, std::string* content, uint64_t contentLimit) {
    record = PackageRecord();
    if (content) content->clear();
    if (!IsOpen() || !error_.empty()) return false;
    const uint64_t limit = info_.TrailerOffset();
    if (pos_ >= limit) return false;

    uint32_t raw = 0;
    if (limit - pos_ < 4 || !file_.ReadU32(pos_, raw))
        return Fail("record at offset " + std::to_string(pos_) + " is cut off by the trailer");
    const int64_t length = static_cast<int32_t>(raw);
    const uint64_t bodyLength = static_cast<uint64_t>(length < 0 ? -length : length);
    if (bodyLength > limit - pos_ - 4)
        return Fail("record at offset " + std::to_string(pos_) + " claims " +
                    std::to_string(bodyLength) + " bytes beyond the end of the package");
    record.offset = pos_;
    record.storedLength = length;
    record.compressed = length > 0;

    RecordDataSink sink(record, content, contentLimit);
    const uint64_t bodyStart = pos_ + 4;
    std::vector<uint8_t> in(1 << 16), out(1 << 16);
    z_stream zs{};
    if (record.compressed && inflateInit(&zs) != Z_OK) return Fail("out of memory");
    bool ok = true, streamEnd = !record.compressed;
    for (uint64_t done = 0; ok && done < bodyLength;) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(in.size(), bodyLength - done));
        if (!file_.ReadExact(bodyStart + done, in.data(), chunk)) {
            ok = false;
            break;
        }
        done += chunk;
        if (!record.compressed) {
            ok = sink.Add(in.data(), chunk);
            continue;
        }
        zs.next_in = in.data();
        zs.avail_in = static_cast<uInt>(chunk);
        while (ok && zs.avail_in > 0 && !streamEnd) {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            const int rc = inflate(&zs, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END) ok = false;
            if (rc == Z_STREAM_END) streamEnd = true;
            if (ok) ok = sink.Add(out.data(), out.size() - zs.avail_out);
        }
    }
    if (record.compressed) {
        // Flush what the inflater still holds after the last input byte.
        while (ok && !streamEnd) {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            const int rc = inflate(&zs, Z_FINISH);
            if (rc == Z_STREAM_END) streamEnd = true;
            else if (rc != Z_OK && rc != Z_BUF_ERROR) ok = false;
            if (ok) ok = sink.Add(out.data(), out.size() - zs.avail_out);
            if (rc == Z_BUF_ERROR && zs.avail_out != 0) break;
        }
        inflateEnd(&zs);
        if (ok && !streamEnd) ok = false;
    }
    const uint64_t at = pos_;
    pos_ = bodyStart + bodyLength;
    if (!ok) {
        if (content && record.size > contentLimit)
            return Fail("record at offset " + std::to_string(at) + " holds more than " +
                        std::to_string(contentLimit) + " bytes");
        return Fail("record at offset " + std::to_string(at) + " is damaged");
    }
    if (!sink.SawSeparator() || record.headerLine.empty()) {
        record.headerMissing = true;
        record.headerLine.clear();
        record.size = 0;
        if (content) content->clear();
        return true;
    }
    ParseHeaderLine(record.headerLine, record);
    return true;
}

}  // namespace pkg
