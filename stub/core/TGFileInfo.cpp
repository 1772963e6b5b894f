#include "core/TGFileInfo.h"

#include "core/PackageFile.h"
#include "core/PackageReader.h"
#include "core/TokenUnscramble.h"
#include "util/SelfDelimitedList.h"

namespace {

// Reads one header block (u32 n, then n bytes) that must end before limit.
// The length is checked against the file before anything is allocated.
bool ReadBlock(pkg::PackageFile& file, uint64_t& pos, uint64_t limit, std::string& out) {
    uint32_t n = 0;
    if (pos + 4 > limit || !file.ReadU32(pos, n)) return false;
    pos += 4;
    if (n > limit - pos) return false;
    out.assign(n, '\0');
    if (n > 0 && !file.ReadExact(pos, &out[0], n)) return false;
    pos += n;
    return true;
}

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void TGFileInfo::Clear() {
    valid_ = false;
    trailer_ = pkg::PackageTrailer();
    trailerOffset_ = packageEnd_ = recordsOffset_ = 0;
    language_.clear();
    config_.clear();
    download_.clear();
}

bool TGFileInfo::Read(const std::string& fileName) {
    Clear();
    fileName_ = fileName;
    pkg::PackageFile file(fileName);
    const pkg::TrailerLocation loc = pkg::FindTrailer(file);
    if (!loc.IsPackage()) return false;

    // Blocks must lie between Start and the trailer; anything else is damage.
    uint64_t pos = loc.trailer.Start;
    const uint64_t limit = loc.offset;
    std::string language, config, download;
    if (!ReadBlock(file, pos, limit, language) || !ReadBlock(file, pos, limit, config)) return false;
    if (loc.trailer.HeaderCount > 2 && !ReadBlock(file, pos, limit, download)) return false;

    valid_ = true;
    trailer_ = loc.trailer;
    trailerOffset_ = loc.offset;
    packageEnd_ = loc.packageEnd;
    recordsOffset_ = pos;
    language_ = std::move(language);
    config_ = std::move(config);
    download_ = std::move(download);
    return true;
}

std::string TGFileInfo::ConfigField(int n) const { return SelfDelimitedList::Field(config_, n, ""); }
std::string TGFileInfo::DownloadField(int n) const { return SelfDelimitedList::Field(download_, n, ""); }

std::string TGFileInfo::Token(bool unscramble) const {
    const std::string t = ConfigField(3);
    return unscramble ? pkg::TokenUnscramble(t) : t;
}

std::string TGFileInfo::DownloadToken(bool unscramble) const {
    const std::string t = DownloadField(3);
    return unscramble ? pkg::TokenUnscramble(t) : t;
}

std::string TGFileInfo::InfoFileName() const { return FileNamePart(ConfigField(1)); }

std::string TGFileInfo::OriginalSetupFileName() const {
    std::string name = FileNamePart(ConfigField(1));
    const size_t dot = name.find('.');
    if (dot != std::string::npos) name.erase(dot);
    return name + ".original";
}

bool TGFileInfo::SameToken(const TGFileInfo& other) const {
    return DownloadToken(true) == other.DownloadToken(true);
}

uint32_t TGFileInfo::RequiredSpaceForClusterSize(uint32_t clusterSize) const {
    // Entry i (1-8) covers clusters of at least 256 * 2^i bytes; smaller or
    // unknown cluster sizes use entry 0.
    int entry = 0;
    for (int i = 1; i < pkg::kSpaceTableEntries; ++i)
        if (clusterSize >= (256u << i)) entry = i;
    return trailer_.SpaceTable[entry];
}

double TGFileInfo::RequiredSpace(const std::string& folder, const ClusterSizeQuery& query) const {
    const uint32_t cluster = query ? query(folder.substr(0, 3)) : 0;
    return static_cast<double>(RequiredSpaceForClusterSize(cluster));
}
