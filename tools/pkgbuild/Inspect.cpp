#include "Inspect.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "DosTime.h"
#include "JsonText.h"
#include "core/PackageChecksum.h"
#include "core/PackageReader.h"
#include "core/PackageRecords.h"
#include "core/TGFileInfo.h"
#include "core/TokenUnscramble.h"

namespace {

struct FlagName {
    pkg::TrailerFlag bit;
    const char* name;
};
const FlagName kFlags[] = {{pkg::kShowTempDriveNotice, "ShowTempDriveNotice"},
                           {pkg::kMoreVolumes, "MoreVolumes"},
                           {pkg::kRunFromTempCopy, "RunFromTempCopy"},
                           {pkg::kShowActivityBar, "ShowActivityBar"},
                           {pkg::kAgentLogging, "AgentLogging"}};

std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return buf;
}

struct Findings {
    bool exists = false;
    uint64_t fileSize = 0;
    uint64_t overlayEnd = 0;
    bool valid = false;
    uint32_t checksum = 0;
    bool checksumOk = false;
    std::vector<pkg::PackageRecord> records;
    std::string recordError;
    bool tokenOk = false, downloadTokenOk = false;
};

void PrintText(const TGFileInfo& info, const Findings& f, const std::string& path, std::ostream& out) {
    out << "File: " << path << " (" << f.fileSize << " bytes)\n";
    if (!f.valid) {
        out << "Not a valid package" << (f.exists ? "" : " (file cannot be read)") << "\n";
        return;
    }
    const pkg::PackageTrailer& t = info.Trailer();
    out << "Trailer at offset " << info.TrailerOffset() << ", package ends at " << info.PackageEnd()
        << (f.overlayEnd ? " (OverlayEndPointer)" : " (end of file)") << "\n";
    out << "  HeaderCount      " << int(t.HeaderCount) << "\n"
        << "  Start            " << t.Start << "\n"
        << "  FilesCount       " << t.FilesCount << "\n"
        << "  Magic            " << Hex(t.Magic) << "\n"
        << "  Checksum         " << t.Checksum << "\n"
        << "  SpaceTable      ";
    for (uint32_t v : t.SpaceTable) out << " " << v;
    char flagsHex[8];
    std::snprintf(flagsHex, sizeof flagsHex, "0x%02X", t.flags);
    out << "\n  flags            " << flagsHex;
    for (const auto& fl : kFlags)
        if (t.HasFlag(fl.bit)) out << " " << fl.name;
    out << "\n  DownloadPackage  " << int(t.DownloadPackage) << "\n"
        << "  ConfirmDownload  " << int(t.ConfirmDownload) << "\n"
        << "  InstallAgent     " << int(t.InstallAgent) << "\n"
        << "  IsAgent          " << int(t.IsAgent) << "\n"
        << "  TrailerLength    " << t.TrailerLength << "\n";
    out << "Header blocks:\n"
        << "  1 language (" << info.LanguageBlock().size() << " bytes) " << PrintableText(info.LanguageBlock()) << "\n"
        << "  2 config   (" << info.ConfigBlock().size() << " bytes) " << PrintableText(info.ConfigBlock()) << "\n";
    if (info.HeaderCount() > 2)
        out << "  3 download (" << info.DownloadBlock().size() << " bytes) " << PrintableText(info.DownloadBlock()) << "\n";
    out << "  token " << (f.tokenOk ? "sound" : "damaged");
    if (info.HeaderCount() > 2) out << ", download token " << (f.downloadTokenOk ? "sound" : "damaged");
    out << "\nRecords:\n";
    for (const auto& r : f.records) {
        out << "  " << (r.compressed ? "compressed" : "stored    ") << " " << r.storedLength << " @" << r.offset << "  ";
        if (r.headerMissing) {
            out << "(no header: produces no file)\n";
            continue;
        }
        out << r.size << " bytes  " << DosDateTimeText(r.dosDateTime) << "  " << PrintableText(r.name);
        if (r.engine) out << "  [engine" << (r.engineArguments.empty() ? "" : ": " + PrintableText(r.engineArguments)) << "]";
        out << "\n";
    }
    if (!f.recordError.empty()) out << "Damaged: " << f.recordError << "\n";
    out << "Checksum: computed " << f.checksum << ", stored " << t.Checksum << " -> "
        << (f.checksumOk ? "ok" : "BAD CRC") << "\n";
}

void PrintJson(const TGFileInfo& info, const Findings& f, const std::string& path, std::ostream& out) {
    const pkg::PackageTrailer& t = info.Trailer();
    out << "{\"file\":" << JsonString(path) << ",\"size\":" << f.fileSize << ",\"valid\":" << (f.valid ? "true" : "false");
    out << ",\"trailer\":{\"HeaderCount\":" << int(t.HeaderCount) << ",\"Start\":" << t.Start
        << ",\"FilesCount\":" << t.FilesCount << ",\"Magic\":" << t.Magic << ",\"Checksum\":" << t.Checksum
        << ",\"SpaceTable\":[";
    for (int i = 0; i < pkg::kSpaceTableEntries; ++i) out << (i ? "," : "") << t.SpaceTable[i];
    out << "],\"flags\":" << int(t.flags);
    for (const auto& fl : kFlags) out << ",\"" << fl.name << "\":" << (t.HasFlag(fl.bit) ? "true" : "false");
    out << ",\"DownloadPackage\":" << int(t.DownloadPackage) << ",\"ConfirmDownload\":" << int(t.ConfirmDownload)
        << ",\"InstallAgent\":" << int(t.InstallAgent) << ",\"IsAgent\":" << int(t.IsAgent)
        << ",\"TrailerLength\":" << t.TrailerLength << "}";
    out << ",\"trailer_offset\":" << info.TrailerOffset() << ",\"overlay_end_pointer\":" << f.overlayEnd;
    out << ",\"blocks\":[";
    if (f.valid) {
        out << JsonString(info.LanguageBlock()) << "," << JsonString(info.ConfigBlock());
        if (info.HeaderCount() > 2) out << "," << JsonString(info.DownloadBlock());
    }
    out << "],\"config\":{\"url\":" << JsonString(info.ConfigField(0)) << ",\"info_file\":"
        << JsonString(info.ConfigField(1)) << ",\"agent_name\":" << JsonString(info.ConfigField(2))
        << ",\"token_ok\":" << (f.tokenOk ? "true" : "false") << ",\"hidden\":" << (info.Hidden() ? "true" : "false")
        << "}";
    if (info.HeaderCount() > 2)
        out << ",\"download\":{\"url\":" << JsonString(info.DownloadField(0)) << ",\"setup_name\":"
            << JsonString(info.DownloadField(1)) << ",\"always\":" << (info.AlwaysDownload() ? "true" : "false")
            << ",\"token_ok\":" << (f.downloadTokenOk ? "true" : "false") << ",\"size\":"
            << JsonString(info.DownloadField(4)) << "}";
    out << ",\"checksum\":" << f.checksum << ",\"checksum_ok\":" << (f.checksumOk ? "true" : "false");
    out << ",\"records\":[";
    for (size_t i = 0; i < f.records.size(); ++i) {
        const auto& r = f.records[i];
        out << (i ? "," : "") << "{\"name\":" << JsonString(r.name) << ",\"date\":" << r.dosDateTime
            << ",\"date_text\":" << JsonString(r.headerMissing ? "" : DosDateTimeText(r.dosDateTime))
            << ",\"engine\":" << (r.engine ? "true" : "false") << ",\"engine_arguments\":" << JsonString(r.engineArguments)
            << ",\"size\":" << r.size << ",\"compressed\":" << (r.compressed ? "true" : "false")
            << ",\"stored_length\":" << r.storedLength << ",\"offset\":" << r.offset
            << ",\"header_missing\":" << (r.headerMissing ? "true" : "false") << "}";
    }
    out << "]";
    if (!f.recordError.empty()) out << ",\"error\":" << JsonString(f.recordError);
    out << "}\n";
}

}  // namespace

int RunInspect(const InspectOptions& options, std::ostream& out) {
    Findings f;
    pkg::PackageFile file(options.file);
    f.exists = file.IsOpen();
    f.fileSize = file.Size();
    f.overlayEnd = pkg::ReadOverlayEndPointer(file);
    file.Close();

    pkg::PackageRecordReader reader(options.file);
    const TGFileInfo& info = reader.Info();
    f.valid = info.IsPackage();
    if (f.valid) {
        pkg::PackageRecord record;
        while (reader.Next(record)) f.records.push_back(record);
        f.recordError = reader.Error();
        f.checksum = pkg::PackageChecksum(options.file, info.TrailerLength());
        f.checksumOk = pkg::ChecksumPasses(f.checksum, info.Checksum());
        std::string secret;
        f.tokenOk = pkg::TokenUnscramble(info.Token(false), secret);
        f.downloadTokenOk = pkg::TokenUnscramble(info.DownloadToken(false), secret);
    }
    if (options.json) PrintJson(info, f, options.file, out);
    else PrintText(info, f, options.file, out);
    return f.valid && f.checksumOk && f.recordError.empty() ? 0 : 1;
}
