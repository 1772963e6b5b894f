#pragma once
// Reader of one package file: its trailer and its header blocks (language,
// configuration, download). A file without a valid package leaves every field
// zero and every block empty.
#include <cstdint>
#include <functional>
#include <string>

#include "core/PackageFormat.h"

class TGFileInfo {
public:
    // Returns the cluster size in bytes of the drive whose root is given (for
    // example "C:\\"), or 0 when it cannot be determined.
    using ClusterSizeQuery = std::function<uint32_t(const std::string& root)>;

    TGFileInfo() = default;
    explicit TGFileInfo(const std::string& fileName) { Read(fileName); }
    // Reads (or re-reads) a file; returns IsPackage().
    bool Read(const std::string& fileName);

    bool IsPackage() const { return valid_; }
    const std::string& FileName() const { return fileName_; }
    const pkg::PackageTrailer& Trailer() const { return trailer_; }
    uint64_t TrailerOffset() const { return trailerOffset_; }  // first byte of the trailer
    uint64_t PackageEnd() const { return packageEnd_; }         // just past the trailer
    uint64_t RecordsOffset() const { return recordsOffset_; }   // first file record

    // Trailer fields as stored.
    int HeaderCount() const { return trailer_.HeaderCount; }
    uint32_t Start() const { return trailer_.Start; }
    uint32_t FilesCount() const { return trailer_.FilesCount; }
    uint32_t Checksum() const { return trailer_.Checksum; }
    uint32_t TrailerLength() const { return trailer_.TrailerLength; }
    uint8_t Flags() const { return trailer_.flags; }
    bool ShowTempDriveNotice() const { return trailer_.HasFlag(pkg::kShowTempDriveNotice); }
    bool MoreVolumes() const { return trailer_.HasFlag(pkg::kMoreVolumes); }
    bool RunFromTempCopy() const { return trailer_.HasFlag(pkg::kRunFromTempCopy); }
    bool ShowActivityBar() const { return trailer_.HasFlag(pkg::kShowActivityBar); }
    bool AgentLogging() const { return trailer_.HasFlag(pkg::kAgentLogging); }
    uint8_t DownloadPackage() const { return trailer_.DownloadPackage; }
    uint8_t ConfirmDownload() const { return trailer_.ConfirmDownload; }
    uint8_t InstallAgent() const { return trailer_.InstallAgent; }
    uint8_t IsAgent() const { return trailer_.IsAgent; }

    // Header blocks as stored.
    const std::string& LanguageBlock() const { return language_; }
    const std::string& ConfigBlock() const { return config_; }
    const std::string& DownloadBlock() const { return download_; }

    // Field n (0-4) of a block, empty when absent.
    std::string ConfigField(int n) const;
    std::string DownloadField(int n) const;
    // Field 3 of the configuration block, unscrambled when asked.
    std::string Token(bool unscramble) const;
    // Field 3 of the download block, unscrambled when asked.
    std::string DownloadToken(bool unscramble) const;
    // File-name part of config field 1.
    std::string InfoFileName() const;
    // Config field 1 without folder and all extensions, plus ".original".
    std::string OriginalSetupFileName() const;
    bool Hidden() const { return ConfigField(4) == "1"; }
    bool AlwaysDownload() const { return DownloadField(2) == "1"; }
    // Whether the download-block tokens of both readers, unscrambled, are equal.
    bool SameToken(const TGFileInfo& other) const;

    // SpaceTable entry for a drive with the given cluster size (0 = unknown).
    uint32_t RequiredSpaceForClusterSize(uint32_t clusterSize) const;
    // SpaceTable entry for the drive of folder (its first three characters).
    double RequiredSpace(const std::string& folder, const ClusterSizeQuery& query) const;

private:
    void Clear();

    std::string fileName_;
    bool valid_ = false;
    pkg::PackageTrailer trailer_;
    uint64_t trailerOffset_ = 0, packageEnd_ = 0, recordsOffset_ = 0;
    std::string language_, config_, download_;
};
