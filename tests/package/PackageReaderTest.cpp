#include <gtest/gtest.h>

#include "PackageFixture.h"
#include "core/PackageChecksum.h"
#include "core/PackageReader.h"
#include "core/PackageRecords.h"
#include "core/TGFileInfo.h"

using namespace fixture;

namespace {

// Appends junk (like a code-signing certificate) and points the DOS header at
// the real end of the package.
Bytes WithCertificate(Bytes b, bool setPointer) {
    const size_t end = b.size();
    b.insert(b.end(), 1500, 0xCC);
    if (setPointer) {
        SetU32(b, 248, 0);
        SetU32(b, 252, static_cast<uint32_t>(end));
    }
    return b;
}

void ExpectEmpty(const TGFileInfo& info) {
    EXPECT_FALSE(info.IsPackage());
    EXPECT_EQ(info.HeaderCount(), 0);
    EXPECT_EQ(info.Start(), 0u);
    EXPECT_EQ(info.Flags(), 0);
    EXPECT_TRUE(info.LanguageBlock().empty());
    EXPECT_TRUE(info.ConfigBlock().empty());
    EXPECT_TRUE(info.DownloadBlock().empty());
    EXPECT_EQ(info.ConfigField(0), "");
}

}  // namespace

TEST(PackageTrailer, FoundAtEndOrThroughOverlayEndPointer) {
    TempDir dir;
    Package p;
    p.image = Image();
    p.trailer.flags = pkg::kShowActivityBar | pkg::kMoreVolumes;
    p.trailer.InstallAgent = 1;
    const Bytes plain = p.Build();

    struct Case { const char* what; Bytes file; bool found; } cases[] = {
        {"trailer is the last 74 bytes", plain, true},
        {"certificate behind, pointer set", WithCertificate(plain, true), true},
        {"certificate behind, no pointer", WithCertificate(plain, false), false},
    };
    for (const auto& c : cases) {
        const TGFileInfo info(dir.Write("p.exe", c.file));
        EXPECT_EQ(info.IsPackage(), c.found) << c.what;
        if (!c.found) continue;
        EXPECT_EQ(info.Start(), 1024u) << c.what;
        EXPECT_EQ(info.PackageEnd(), plain.size()) << c.what;
        EXPECT_TRUE(info.ShowActivityBar() && info.MoreVolumes() && !info.ShowTempDriveNotice()) << c.what;
        EXPECT_EQ(info.InstallAgent(), 1) << c.what;
        EXPECT_EQ(info.ConfigField(2), "agent.exe") << c.what;
    }
}

TEST(PackageTrailer, PointerHighWordIsAt248AndLowWordAt252) {
    TempDir dir;
    Package p;
    p.image = Image();
    const Bytes plain = p.Build();
    Bytes file = WithCertificate(plain, false);
    const uint32_t end = static_cast<uint32_t>(plain.size());

    // Low word in the right place: found.
    SetU32(file, 248, 0);
    SetU32(file, 252, end);
    EXPECT_TRUE(TGFileInfo(dir.Write("a.exe", file)).IsPackage());
    // The words swapped: the pointer is end << 32, far outside the file.
    SetU32(file, 248, end);
    SetU32(file, 252, 0);
    EXPECT_FALSE(TGFileInfo(dir.Write("b.exe", file)).IsPackage());
    {
        pkg::PackageFile f(dir.path() + "/b.exe");
        EXPECT_EQ(pkg::ReadOverlayEndPointer(f), uint64_t(end) << 32);
    }
    // Not an executable image ("PE" missing): the pointer is not consulted.
    file[256] = 'X';
    SetU32(file, 248, 0);
    SetU32(file, 252, end);
    pkg::PackageFile f(dir.Write("c.exe", file));
    EXPECT_FALSE(pkg::IsExecutableImage(f));
    EXPECT_EQ(pkg::ReadOverlayEndPointer(f), 0u);
    EXPECT_FALSE(pkg::FindTrailer(f).found && pkg::FindTrailer(f).IsPackage());
}

TEST(PackageTrailer, HeaderCountZeroReadsAsTwoAndThreeReadsDownloadBlock) {
    TempDir dir;
    for (int stored : {0, 2, 3}) {
        Package p;
        p.trailer.HeaderCount = static_cast<uint8_t>(stored);
        if (stored == 3) p.blocks.push_back("|http://dl|setup.exe|1|tok|123456|");
        p.records.emplace_back();
        StoredRecord(p.records.back(), RecordData("a.txt", 7, "content"));
        const std::string path = dir.Write("p" + std::to_string(stored), p.Build());

        const TGFileInfo info(path);
        ASSERT_TRUE(info.IsPackage()) << stored;
        EXPECT_EQ(info.HeaderCount(), stored == 0 ? 2 : stored);
        EXPECT_EQ(info.DownloadField(1), stored == 3 ? "setup.exe" : "");
        EXPECT_EQ(info.AlwaysDownload(), stored == 3);

        // The first file record follows the last header block.
        pkg::PackageRecordReader reader(path);
        pkg::PackageRecord r;
        std::string content;
        ASSERT_TRUE(reader.Next(r, &content)) << reader.Error();
        EXPECT_EQ(r.name, "a.txt");
        EXPECT_EQ(content, "content");
        EXPECT_FALSE(reader.Next(r));
        EXPECT_EQ(reader.Error(), "");
    }
}

TEST(PackageTrailer, StoredLengthOtherThan74) {
    TempDir dir;
    Package p;
    p.trailer.FilesCount = 9;
    Bytes b = p.Build();
    // A longer trailer: extra bytes before the length word; only 70 are used.
    Bytes longer(b.begin(), b.end() - 4);
    longer.insert(longer.end(), 10, 0xEE);
    AppendU32(longer, 84);
    // Move the 70 record bytes so they start at end - 84.
    Bytes relocated(b.begin(), b.end() - 74);
    relocated.insert(relocated.end(), b.end() - 74, b.end() - 4);
    relocated.insert(relocated.end(), 10, 0xEE);
    AppendU32(relocated, 84);
    TGFileInfo info(dir.Write("long", relocated));
    ASSERT_TRUE(info.IsPackage());
    EXPECT_EQ(info.TrailerLength(), 84u);
    EXPECT_EQ(info.FilesCount(), 9u);

    // A short length cuts the record: Magic at offset 12 is not read.
    Bytes shorter(b.begin(), b.end() - 74);
    shorter.insert(shorter.end(), b.end() - 74, b.end() - 74 + 12);
    AppendU32(shorter, 16);
    ExpectEmpty(TGFileInfo(dir.Write("short", shorter)));
}

TEST(PackageTrailer, DamagedFilesGiveAnEmptyPackage) {
    TempDir dir;
    Package good;
    good.image = Image();
    const Bytes b = good.Build();
    const size_t trailerAt = b.size() - 74;
    auto with = [&](auto change) {
        Bytes copy = b;
        change(copy);
        return copy;
    };
    struct Case { const char* what; Bytes file; } cases[] = {
        {"empty file", {}},
        {"three bytes", {1, 2, 3}},
        {"length word 0", with([&](Bytes& x) { SetU32(x, x.size() - 4, 0); })},
        {"length larger than the file", with([&](Bytes& x) { SetU32(x, x.size() - 4, 0x7FFFFFFF); })},
        {"length 0xFFFFFFFF", with([&](Bytes& x) { SetU32(x, x.size() - 4, 0xFFFFFFFF); })},
        {"wrong Magic", with([&](Bytes& x) { SetU32(x, trailerAt + 12, 0x4A3B2C1E); })},
        {"Start beyond the end", with([&](Bytes& x) { SetU32(x, trailerAt + 4, 0x10000000); })},
        {"Start inside the trailer", with([&](Bytes& x) { SetU32(x, trailerAt + 4, static_cast<uint32_t>(trailerAt + 2)); })},
        {"block length beyond the end", with([&](Bytes& x) { SetU32(x, 1024, 0xFFFFFFF0); })},
        {"second block runs into the trailer", with([&](Bytes& x) {
             SetU32(x, 1024 + 4 + good.blocks[0].size(), static_cast<uint32_t>(b.size()));
         })},
        {"third block claimed but absent", with([&](Bytes& x) { x[trailerAt + 1] = 3; })},
        {"pointer beyond the end", with([&](Bytes& x) { SetU32(x, 252, static_cast<uint32_t>(x.size() + 10)); })},
        {"pointer below 4", with([&](Bytes& x) { SetU32(x, 252, 2); })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectEmpty(TGFileInfo(dir.Write("bad", c.file)));
        pkg::PackageRecordReader reader(dir.path() + "/bad");
        pkg::PackageRecord r;
        EXPECT_FALSE(reader.Next(r));
    }
    ExpectEmpty(TGFileInfo(dir.path() + "/does-not-exist"));
}

TEST(PackageTrailer, RequiredSpaceFollowsClusterSize) {
    TempDir dir;
    Package p;
    for (int i = 0; i < pkg::kSpaceTableEntries; ++i) p.trailer.SpaceTable[i] = 1000u + static_cast<uint32_t>(i);
    const TGFileInfo info(dir.Write("p", p.Build()));
    struct Case { uint32_t cluster; uint32_t entry; } cases[] = {
        {0, 0}, {256, 0}, {511, 0}, {512, 1}, {1023, 1}, {1024, 2}, {3000, 3},
        {4096, 4}, {32768, 7}, {65536, 8}, {1u << 20, 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(info.RequiredSpaceForClusterSize(c.cluster), 1000u + c.entry) << c.cluster;

    std::string askedRoot;
    const double space = info.RequiredSpace("C:\\Temp\\SETUP_1", [&](const std::string& root) {
        askedRoot = root;
        return 4096u;
    });
    EXPECT_EQ(askedRoot, "C:\\");
    EXPECT_EQ(space, 1004.0);
    EXPECT_EQ(info.RequiredSpace("C:\\Temp", nullptr), 1000.0);  // cluster size unknown
}

TEST(PackageTrailer, ConfigurationAccessors) {
    TempDir dir;
    struct Case { std::string config; std::string info, original; bool hidden; } cases[] = {
        {"|http://u|updates\\app.update.info|a.exe|t|1|", "app.update.info", "app.original", true},
        {"|http://u|app.info|a.exe|t|0|", "app.info", "app.original", false},
        {"|http://|.info|.exe|t|0|", ".info", ".original", false},
        {"|http://u|plain|a.exe|t| 1|", "plain", "plain.original", false},
    };
    for (const auto& c : cases) {
        Package p;
        p.blocks[1] = c.config;
        const TGFileInfo info(dir.Write("p", p.Build()));
        EXPECT_EQ(info.InfoFileName(), c.info) << c.config;
        EXPECT_EQ(info.OriginalSetupFileName(), c.original) << c.config;
        EXPECT_EQ(info.Hidden(), c.hidden) << c.config;
        EXPECT_EQ(info.Token(false), "t");
    }
}
