#include "PackageWriter.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "BuildError.h"
#include "HeaderBlocks.h"
#include "Progress.h"
#include "RecordCompressor.h"
#include "SourceTree.h"
#include "SpaceTable.h"
#include "StubImage.h"
#include "core/PackageChecksum.h"
#include "core/PackageFormat.h"

namespace {

bool EndsWithNoCase(const std::string& s, const std::string& end) {
    if (s.size() < end.size()) return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - end.size() + i])) != std::tolower(static_cast<unsigned char>(end[i])))
            return false;
    return true;
}

// Splits "--engine" text into a file name that exists in the package and the
// arguments after it. The longest prefix (cut at blanks) that names a file wins,
// so names with blanks work.
void ResolveEngine(const std::string& text, const std::vector<SourceFile>& files, std::string& name,
                   std::string& arguments) {
    std::string spec = text;
    std::replace(spec.begin(), spec.end(), '/', '\\');
    auto lookup = [&](const std::string& candidate) -> const SourceFile* {
        for (const auto& f : files)
            if (f.packageName == candidate) return &f;
        const SourceFile* found = nullptr;  // else a unique match without regard to case
        for (const auto& f : files) {
            if (f.packageName.size() != candidate.size()) continue;
            if (std::equal(f.packageName.begin(), f.packageName.end(), candidate.begin(),
                           [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); })) {
                if (found) return nullptr;
                found = &f;
            }
        }
        return found;
    };
    std::vector<size_t> ends{spec.size()};
    for (size_t p = spec.rfind(' '); p != std::string::npos && p > 0; p = spec.rfind(' ', p - 1)) ends.push_back(p);
    for (size_t end : ends) {
        if (const SourceFile* f = lookup(spec.substr(0, end))) {
            name = f->packageName;
            const size_t argStart = spec.find_first_not_of(' ', end);
            arguments = argStart == std::string::npos ? "" : text.substr(argStart);
            // The arguments share the record's header line with the name and date.
            if (arguments.find('|') != std::string::npos)
                throw BuildError("engine arguments must not contain '|': \"" + arguments + "\"");
            return;
        }
    }
    throw BuildError("engine file \"" + text + "\" is not in the source folder");
}

std::string HeaderLine(const std::string& name, uint32_t dosDateTime) {
    return "|" + name + "|" + std::to_string(dosDateTime) + "|";
}

// Plans the records: engine first, files above 5 MiB cut into numbered parts.
std::vector<RecordJob> PlanRecords(const std::vector<SourceFile>& files, const std::string& engineName,
                                   const std::string& engineArguments, std::vector<uint64_t>& extractedSizes) {
    std::vector<const SourceFile*> order;
    for (const auto& f : files)
        if (f.packageName == engineName) order.push_back(&f);
    for (const auto& f : files)
        if (f.packageName != engineName) order.push_back(&f);

    std::vector<RecordJob> jobs;
    for (const SourceFile* f : order) {
        const uint64_t parts = f->size == 0 ? 1 : (f->size + pkg::kPartSize - 1) / pkg::kPartSize;
        for (uint64_t part = 0; part < parts; ++part) {
            std::string name = f->packageName;
            if (part > 0) {
                char suffix[16];
                std::snprintf(suffix, sizeof suffix, ".%05llu", static_cast<unsigned long long>(part + 1));
                name += suffix;
            } else if (f->packageName == engineName) {
                name += "*" + engineArguments;
            }
            RecordJob job;
            job.file = f;
            job.offset = part * pkg::kPartSize;
            job.length = std::min<uint64_t>(pkg::kPartSize, f->size - job.offset);
            job.headerLine = HeaderLine(name, f->dosDateTime);
            jobs.push_back(std::move(job));
            extractedSizes.push_back(job.length);
        }
    }
    return jobs;
}

// One volume being written to a temporary file next to its final name.
struct Volume {
    std::string finalName, tempName;
    std::FILE* file = nullptr;
    uint64_t size = 0;
    uint64_t trailerOffset = 0;
    bool hasImage = false;
};

class VolumeSet {
public:
    VolumeSet(const BuildOptions& o, StubImage& stub, const HeaderBlocks& blocks,
              const std::array<uint32_t, pkg::kSpaceTableEntries>& space)
        : o_(o), stub_(stub), blocks_(blocks), space_(space) {
        blocksSize_ = 8 + blocks.language.size() + blocks.config.size() +
                      (blocks.hasDownload ? 4 + blocks.download.size() : 0);
    }
    // Opens the first volume (outside the constructor, so that the destructor
    // cleans up when this fails).
    void Begin() { Open(); }
    ~VolumeSet() {  // reached with open files only on failure: remove every trace
        for (auto& v : volumes_) {
            if (v.file) std::fclose(v.file);
            if (!committed_) ::unlink(v.tempName.c_str());
        }
    }

    void Add(const RecordJob& job, EncodedRecord rec);
    std::vector<std::string> Finish(uint64_t totalRecords);
    uint64_t Records() const { return records_; }
    uint64_t OutputBytes() const {
        uint64_t n = 0;
        for (const auto& v : volumes_) n += v.size;
        return n;
    }

private:
    Volume& Current() { return volumes_.back(); }
    uint64_t Room() {  // bytes left for records in the current volume
        if (o_.volumeSize == 0) return UINT64_MAX;
        const uint64_t used = Current().size + pkg::kTrailerSize;
        return used >= o_.volumeSize ? 0 : o_.volumeSize - used;
    }
    void Open();
    void Close(bool more);
    void Write(const void* data, size_t n);
    void WriteBlock(const std::string& block);
    void WriteRecord(const EncodedRecord& rec);
    void Patch(Volume& v, uint64_t offset, const void* data, size_t n);

    const BuildOptions& o_;
    StubImage& stub_;
    const HeaderBlocks& blocks_;
    std::array<uint32_t, pkg::kSpaceTableEntries> space_;
    uint64_t blocksSize_ = 0;
    std::vector<Volume> volumes_;
    uint64_t records_ = 0;
    bool recordsInVolume_ = false;
    bool committed_ = false;
};

void VolumeSet::Open() {
    const int number = static_cast<int>(volumes_.size()) + 1;
    if (number > 999) throw BuildError("the package needs more than 999 volumes; choose a larger --volume-size");
    const bool hasImage = number == 1;
    const uint64_t overhead = (hasImage ? stub_.bytes.size() : 0) + blocksSize_ + pkg::kTrailerSize;
    if (o_.volumeSize != 0 && overhead + 64 > o_.volumeSize)
        throw BuildError("--volume-size " + std::to_string(o_.volumeSize) + " is too small: volume " +
                         std::to_string(number) + " needs " + std::to_string(overhead) +
                         " bytes for its stub, header blocks and trailer alone");
    Volume v;
    v.finalName = VolumeName(o_.out, number);
    v.tempName = v.finalName + ".pkgbuild-part";
    v.hasImage = hasImage;
    v.file = std::fopen(v.tempName.c_str(), "w+b");
    if (!v.file) throw BuildError("cannot write " + v.finalName + ": " + std::strerror(errno));
    volumes_.push_back(v);
    recordsInVolume_ = false;

    if (v.hasImage) Write(stub_.bytes.data(), stub_.bytes.size());
    WriteBlock(blocks_.language);
    WriteBlock(blocks_.config);
    if (blocks_.hasDownload) WriteBlock(blocks_.download);
}

void VolumeSet::Write(const void* data, size_t n) {
    Volume& v = Current();
    if (n && std::fwrite(data, 1, n, v.file) != n)
        throw BuildError("cannot write " + v.finalName + ": " + std::strerror(errno));
    v.size += n;
}

void VolumeSet::WriteBlock(const std::string& block) {
    uint8_t n[4];
    pkg::PutU32(n, static_cast<uint32_t>(block.size()));
    Write(n, 4);
    Write(block.data(), block.size());
}

void VolumeSet::WriteRecord(const EncodedRecord& rec) {
    uint8_t n[4];
    pkg::PutU32(n, static_cast<uint32_t>(rec.length));
    Write(n, 4);
    Write(rec.body.data(), rec.body.size());
    ++records_;
    recordsInVolume_ = true;
}

void VolumeSet::Add(const RecordJob& job, EncodedRecord rec) {
    RecordJob rest = job;
    for (;;) {
        const uint64_t room = Room();
        if (rec.StoredSize() <= room) {
            WriteRecord(rec);
            return;
        }
        // Too big for what is left: write as much of the file slice as fits and
        // continue it in the next volume under the same name (extraction appends
        // a record to a file of the same name).
        const uint64_t fixed = 4 + rest.headerLine.size() + 1 + (o_.store ? 0 : 64);
        // Slivers are not worth a record of their own once the volume holds some.
        const uint64_t worthSplitting = fixed + (recordsInVolume_ ? 1024 : 0);
        bool wrotePiece = false;
        if (room > worthSplitting && rest.length > 1) {
            const double ratio = rec.dataSize ? double(rec.body.size()) / double(rec.dataSize) : 1.0;
            uint64_t take = std::min<uint64_t>(
                rest.length - 1, static_cast<uint64_t>(double(room - fixed) / std::max(ratio, 0.001)));
            while (take > 0 && !wrotePiece) {
                RecordJob piece = rest;
                piece.length = take;
                EncodedRecord encoded = EncodeRecord(piece, o_.store);
                if (encoded.StoredSize() <= room) {
                    WriteRecord(encoded);
                    rest.offset += take;
                    rest.length -= take;
                    rec = EncodeRecord(rest, o_.store);
                    wrotePiece = true;
                } else if (take == 1) {
                    take = 0;
                } else {
                    const uint64_t over = encoded.StoredSize() - room;
                    take = take > over + take / 10 ? take - over - take / 10 : 1;
                }
            }
        }
        if (wrotePiece) continue;
        if (!recordsInVolume_)
            throw BuildError("--volume-size " + std::to_string(o_.volumeSize) + " is too small to hold any part of " +
                             rest.file->packageName);
        Close(true);
        Open();
    }
}

void VolumeSet::Close(bool more) {
    Volume& v = Current();
    pkg::PackageTrailer t;
    t.BuilderMark = 1;
    t.HeaderCount = static_cast<uint8_t>(blocks_.Count());
    t.Start = v.hasImage ? static_cast<uint32_t>(stub_.bytes.size()) : 0;
    t.Magic = pkg::kMagic;
    t.SpaceTable = space_;
    t.flags = static_cast<uint8_t>(o_.flags | (more ? pkg::kMoreVolumes : 0));
    t.DownloadPackage = o_.downloadPackage;
    t.ConfirmDownload = o_.confirmDownload;
    t.InstallAgent = o_.installAgent;
    t.IsAgent = o_.isAgent;
    t.TrailerLength = pkg::kTrailerSize;
    v.trailerOffset = v.size;
    const auto bytes = pkg::EncodeTrailer(t);
    Write(bytes.data(), bytes.size());
    if (v.hasImage) {
        SetOverlayEndPointer(stub_.bytes, v.size);
        Patch(v, pkg::kPointerHighOffset, &stub_.bytes[pkg::kPointerHighOffset], 8);
    }
    if (std::fflush(v.file) != 0) throw BuildError("cannot write " + v.finalName + ": " + std::strerror(errno));
}

void VolumeSet::Patch(Volume& v, uint64_t offset, const void* data, size_t n) {
    if (fseeko(v.file, static_cast<off_t>(offset), SEEK_SET) != 0 || std::fwrite(data, 1, n, v.file) != n ||
        fseeko(v.file, 0, SEEK_END) != 0)
        throw BuildError("cannot write " + v.finalName + ": " + std::strerror(errno));
}

std::vector<std::string> VolumeSet::Finish(uint64_t totalRecords) {
    Close(false);
    std::vector<std::string> names;
    for (auto& v : volumes_) {
        uint8_t word[4];
        pkg::PutU32(word, static_cast<uint32_t>(std::min<uint64_t>(totalRecords, UINT32_MAX)));
        Patch(v, v.trailerOffset + 8, word, 4);
        if (std::fflush(v.file) != 0) throw BuildError("cannot write " + v.finalName + ": " + std::strerror(errno));
        // The checksum is computed by the reader's own code over the written file.
        const uint32_t sum = v.size <= pkg::kChecksumSizeLimit ? pkg::PackageChecksum(v.tempName, pkg::kTrailerSize)
                                                               : pkg::kNoChecksum;
        pkg::PutU32(word, sum);
        Patch(v, v.trailerOffset + 16, word, 4);
        const bool ok = std::fflush(v.file) == 0 && fsync(fileno(v.file)) == 0;
        const int closeRc = std::fclose(v.file);
        v.file = nullptr;
        if (!ok || closeRc != 0) throw BuildError("cannot write " + v.finalName + ": " + std::strerror(errno));
    }
    for (auto& v : volumes_) {
        if (std::rename(v.tempName.c_str(), v.finalName.c_str()) != 0) {
            const std::string why = std::strerror(errno);
            for (const auto& done : names) ::unlink(done.c_str());
            throw BuildError("cannot write " + v.finalName + ": " + why);
        }
        names.push_back(v.finalName);
    }
    committed_ = true;
    return names;
}

}  // namespace

std::string VolumeName(const std::string& out, int number) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, ".%03d", number);
    if (EndsWithNoCase(out, ".001")) return out.substr(0, out.size() - 4) + suffix;
    return number == 1 ? out : out + suffix;
}

BuildResult BuildPackage(const BuildOptions& o) {
    StubImage stub = LoadStubImage(o.stub);
    const HeaderBlocks blocks = MakeHeaderBlocks(o);

    // Never pack the builder's own output (an earlier build lying in DIR).
    std::vector<std::string> earlierOutput{RealPath(VolumeName(o.out, 1))};
    for (int n = 2; n <= 999 && ::access(VolumeName(o.out, n).c_str(), F_OK) == 0; ++n)
        earlierOutput.push_back(RealPath(VolumeName(o.out, n)));
    const std::vector<SourceFile> files = ListSourceFiles(o.sourceDir, [&](const std::string& realPath) {
        return std::find(earlierOutput.begin(), earlierOutput.end(), realPath) != earlierOutput.end();
    });

    std::string engineName, engineArguments;
    if (!o.engine.empty()) ResolveEngine(o.engine, files, engineName, engineArguments);

    std::vector<uint64_t> extracted;
    const std::vector<RecordJob> jobs = PlanRecords(files, engineName, engineArguments, extracted);
    if (!o.agentName.empty()) extracted.push_back(stub.bytes.size() + 8 + blocks.language.size() + blocks.config.size() + pkg::kTrailerSize);

    BuildResult result;
    result.files = files.size();
    for (const auto& f : files) result.inputBytes += f.size;
    result.movedPeHeader = stub.movedPeHeader;
    result.strippedPackage = stub.strippedPackage;

    VolumeSet volumes(o, stub, blocks, ComputeSpaceTable(extracted));
    volumes.Begin();
    Progress progress(result.inputBytes, o.progress);
    RecordPipeline pipeline(jobs, o.store, o.threads);
    for (const auto& job : jobs) {
        volumes.Add(job, pipeline.Next());
        progress.Advance(job.length);
    }
    progress.Finish();
    result.records = volumes.Records();
    result.volumes = volumes.Finish(result.records);
    result.outputBytes = volumes.OutputBytes();
    return result;
}
