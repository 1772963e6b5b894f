#include <cstdlib>
#include <ctime>

#include "PkgbuildHarness.h"
#include "core/PackageChecksum.h"
#include "core/TokenUnscramble.h"

using namespace harness;

TEST_F(PkgbuildTest, StoredAndCompressedRecordsRoundTrip) {
    const std::string text = Text(10000), random = RandomBytes(3000, 1);
    Source("setup.exe", "engine bytes");
    Source("docs/readme.txt", text);
    Source("data/random.bin", random);
    Source("data/empty.dat", "");

    for (const char* mode : {"", "--store"}) {
        SCOPED_TRACE(mode);
        const std::string out = Path(std::string("out/p") + mode + ".exe");
        const Result r = Build(out, std::string("--engine setup.exe ") + mode);
        ASSERT_EQ(r.exitCode, 0) << r.err;

        const Extracted x = Extract({out});
        EXPECT_EQ(x.error, "");
        ASSERT_EQ(x.records.size(), 4u);
        EXPECT_EQ(x.records[0].name, "setup.exe");  // engine first
        EXPECT_TRUE(x.records[0].engine);
        EXPECT_EQ(x.files.at("docs\\readme.txt"), text);
        EXPECT_EQ(x.files.at("data\\random.bin"), random);
        EXPECT_EQ(x.files.at("data\\empty.dat"), "");
        for (const auto& rec : x.records) {
            const bool expectCompressed = *mode == '\0' && rec.name == "docs\\readme.txt";
            EXPECT_EQ(rec.compressed, expectCompressed) << rec.name;  // random data does not shrink
        }
        const TGFileInfo& info = x.volumes[0];
        EXPECT_EQ(info.FilesCount(), 4u);
        EXPECT_EQ(info.Start(), 2048u);
        // Extracted sizes 12, 10000, 3000 and 0 bytes, rounded per cluster size.
        EXPECT_EQ(info.RequiredSpaceForClusterSize(512), 512u + 10240 + 3072);
        EXPECT_EQ(info.RequiredSpaceForClusterSize(4096), 4096u + 12288 + 4096);
        EXPECT_EQ(info.RequiredSpaceForClusterSize(65536), 3u * 65536);
        EXPECT_EQ(info.RequiredSpaceForClusterSize(0), 3u * 65536);
    }
}

TEST_F(PkgbuildTest, FlagsAndHeaderBlocks) {
    Source("a.txt", "a");
    WriteAt(Path("en.txt"), "; English texts\nCharset=0\r\ns0=My Setup\n\nBtnText=|&OK|&Cancel|\n");
    WriteAt(Path("de.txt"), "s0=Mein Setup\n");
    const std::string out = Path("out/p.exe");
    Result r = Build(out, "--language English=" + Quote(Path("en.txt")) + " --language German=" + Quote(Path("de.txt")) +
                              " --config-url http://updates.example/app/ --info-file app.update.info"
                              " --agent-name AppAgent.exe --token s3cret --hidden"
                              " --download http://dl.example/a,b/,setup.exe,1,123456"
                              " --show-temp-notice --run-from-temp-copy --activity-bar --agent-logging"
                              " --download-package --confirm-download --install-agent --agent");
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const TGFileInfo info(out);
    ASSERT_TRUE(info.IsPackage());
    EXPECT_EQ(info.HeaderCount(), 3);
    EXPECT_EQ(info.Flags(), pkg::kShowTempDriveNotice | pkg::kRunFromTempCopy | pkg::kShowActivityBar | pkg::kAgentLogging);
    EXPECT_EQ(info.DownloadPackage(), 1);
    EXPECT_EQ(info.ConfirmDownload(), 1);
    EXPECT_EQ(info.InstallAgent(), 1);
    EXPECT_EQ(info.IsAgent(), 1);
    EXPECT_EQ(info.LanguageBlock(), "\x02\x01" "English\x01" "Charset=0\x01" "s0=My Setup\x01"
                                    "BtnText=|&OK|&Cancel|\x01\x02\x01" "German\x01" "s0=Mein Setup\x01\x02");
    EXPECT_EQ(info.ConfigField(0), "http://updates.example/app/");
    EXPECT_EQ(info.InfoFileName(), "app.update.info");
    EXPECT_EQ(info.OriginalSetupFileName(), "app.original");
    EXPECT_EQ(info.ConfigField(2), "AppAgent.exe");
    EXPECT_EQ(info.Token(false).size(), 42u);
    EXPECT_EQ(info.Token(true), "s3cret");
    EXPECT_TRUE(info.Hidden());
    EXPECT_EQ(info.DownloadField(0), "http://dl.example/a,b/");  // commas in the URL survive
    EXPECT_EQ(info.DownloadField(1), "setup.exe");
    EXPECT_TRUE(info.AlwaysDownload());
    EXPECT_EQ(info.DownloadToken(true), "s3cret");
    EXPECT_EQ(info.DownloadField(4), "123456");

    // Without options: two blocks, the builder's defaults, no flags.
    const std::string plain = Path("out/plain.exe");
    r = Build(plain, "");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const TGFileInfo d(plain);
    EXPECT_EQ(d.HeaderCount(), 2);
    EXPECT_EQ(d.Flags(), 0);
    EXPECT_EQ(d.LanguageBlock(), "");
    EXPECT_EQ(d.ConfigField(0), "http://");
    EXPECT_EQ(d.ConfigField(1), ".info");
    EXPECT_EQ(d.ConfigField(2), ".exe");
    EXPECT_EQ(d.Token(false).size(), 42u);
    EXPECT_EQ(d.Token(true), "");
    EXPECT_EQ(d.ConfigField(4), "0");
}

TEST_F(PkgbuildTest, InspectJsonDescribesThePackage) {
    Source("setup.exe", "e");
    Source("b.txt", Text(500));
    const std::string out = Path("out/p.exe");
    ASSERT_EQ(Build(out, "--engine 'setup.exe /q' --download http://d,s.exe,0,99").exitCode, 0);

    Result r = Pkgbuild("inspect --json " + Quote(out));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    WriteAt(Path("inspect.json"), r.out);
    const std::string check =
        "import json,sys; d=json.load(open(sys.argv[1])); t=d['trailer'];"
        "assert d['valid'] is True and d['checksum_ok'] is True;"
        "assert all(k in t for k in ['HeaderCount','Start','FilesCount','Magic','Checksum','SpaceTable','flags',"
        "'DownloadPackage','ConfirmDownload','InstallAgent','IsAgent','TrailerLength']);"
        "assert t['HeaderCount']==3 and t['Magic']==0x4A3B2C1D and t['TrailerLength']==74 and len(t['SpaceTable'])==9;"
        "assert len(d['blocks'])==3 and d['blocks'][2].startswith('|http://d|s.exe|0|');"
        "assert d['checksum']==t['Checksum'];"
        "r=d['records']; assert [x['name'] for x in r]==['setup.exe','b.txt'];"
        "assert r[0]['engine'] and r[0]['engine_arguments']=='/q' and not r[1]['engine'];"
        "assert r[1]['size']==500 and r[1]['date']>0";
    const Result py = Shell("python3 -c " + Quote(check) + " " + Quote(Path("inspect.json")), dir_);
    EXPECT_EQ(py.exitCode, 0) << py.err << r.out;

    r = Pkgbuild("inspect " + Quote(out));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("setup.exe"), std::string::npos);
    EXPECT_NE(r.out.find("-> ok"), std::string::npos) << r.out;

    // Not a package: exit code 1 and "valid": false.
    r = Pkgbuild("inspect --json " + Quote(Stub()));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("\"valid\":false"), std::string::npos) << r.out;
}

TEST_F(PkgbuildTest, EngineNameWithBlanksAndArguments) {
    Source("My Setup.exe", "engine");
    Source("My.txt", "x");
    const std::string out = Path("out/p.exe");
    const Result r = Build(out, "--engine 'My Setup.exe /s  /v=1'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Extracted x = Extract({out});
    ASSERT_EQ(x.records.size(), 2u);
    EXPECT_EQ(x.records[0].headerLine.rfind("|My Setup.exe*/s  /v=1|", 0), 0u) << x.records[0].headerLine;
    EXPECT_EQ(x.records[0].name, "My Setup.exe");
    EXPECT_EQ(x.records[0].engineArguments, "/s  /v=1");
    EXPECT_FALSE(x.records[1].engine);
}

TEST_F(PkgbuildTest, FilesAbove5MiBAreCutIntoParts) {
    const size_t part = 5242880;
    const std::string big = RandomBytes(part, 2) + Text(part) + RandomBytes(1000, 3);
    Source("setup.exe", "e");
    Source("big.bin", big);
    Source("exact.bin", Text(part));
    const std::string out = Path("out/p.exe");
    const Result r = Build(out, "--engine setup.exe");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Extracted x = Extract({out});
    EXPECT_EQ(x.error, "");
    std::vector<std::pair<std::string, uint64_t>> names;
    for (const auto& rec : x.records) names.emplace_back(rec.name, rec.size);
    const std::vector<std::pair<std::string, uint64_t>> expected{
        {"setup.exe", 1}, {"big.bin", part}, {"big.bin.00002", part}, {"big.bin.00003", 1000}, {"exact.bin", part}};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(x.files.at("big.bin") + x.files.at("big.bin.00002") + x.files.at("big.bin.00003"), big);
    EXPECT_EQ(x.volumes[0].Checksum(), pkg::kNoChecksum);
}

TEST_F(PkgbuildTest, SmallPackagesCarryTheirRealChecksum) {
    Source("a.txt", Text(3000));
    const std::string out = Path("out/p.exe");
    ASSERT_EQ(Build(out, "").exitCode, 0);
    const TGFileInfo info(out);
    const uint32_t computed = pkg::PackageChecksum(out, info.TrailerLength());
    EXPECT_NE(info.Checksum(), pkg::kNoChecksum);
    EXPECT_EQ(info.Checksum(), computed);

    // One changed byte inside the records makes the check fail.
    std::string bytes = ReadFile(out);
    bytes[info.RecordsOffset() + 10] ^= 0x40;
    WriteAt(Path("out/damaged.exe"), bytes);
    EXPECT_FALSE(pkg::ChecksumPasses(pkg::PackageChecksum(Path("out/damaged.exe"), 74), info.Checksum()));
    EXPECT_EQ(Pkgbuild("inspect " + Quote(Path("out/damaged.exe"))).exitCode, 1);
}

TEST_F(PkgbuildTest, ModificationTimeBecomesDosDateTime) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    // 2021-03-04 05:06:08 UTC and 1975 (before DOS dates begin).
    Source("a.txt", "a", 1614834368);
    Source("old.txt", "o", 170000000);
    const std::string out = Path("out/p.exe");
    ASSERT_EQ(Build(out, "").exitCode, 0);
    const Extracted x = Extract({out});
    ASSERT_EQ(x.records.size(), 2u);
    const uint32_t date = (41u << 9) | (3u << 5) | 4u, time = (5u << 11) | (6u << 5) | 4u;
    EXPECT_EQ(x.records[0].dosDateTime, date << 16 | time);
    EXPECT_EQ(x.records[1].dosDateTime, ((1u << 5) | 1u) << 16);  // 1980-01-01 00:00:00
}

TEST_F(PkgbuildTest, ThreadCountDoesNotChangeTheRecords) {
    for (int i = 0; i < 12; ++i) Source("f" + std::to_string(i) + ".txt", Text(20000 + 1000 * i));
    Source("r.bin", RandomBytes(70000, 4));
    ASSERT_EQ(Build(Path("out/one.exe"), "--threads 1").exitCode, 0);
    ASSERT_EQ(Build(Path("out/four.exe"), "--threads 4").exitCode, 0);
    const Extracted a = Extract({Path("out/one.exe")}), b = Extract({Path("out/four.exe")});
    EXPECT_EQ(a.files, b.files);
    ASSERT_EQ(a.records.size(), b.records.size());
    for (size_t i = 0; i < a.records.size(); ++i) {
        EXPECT_EQ(a.records[i].headerLine, b.records[i].headerLine);
        EXPECT_EQ(a.records[i].storedLength, b.records[i].storedLength);
    }
}

TEST_F(PkgbuildTest, StubCarryingAPackageAndOutputInsideTheSource) {
    Source("a.txt", "first");
    const std::string first = Src() + "/built.exe";  // the output lies in the source folder
    ASSERT_EQ(Build(first, "").exitCode, 0);
    ASSERT_EQ(Build(first, "").exitCode, 0);  // a rebuild must not pack its own output
    EXPECT_EQ(Extract({first}).records.size(), 1u);

    // A built package used as stub: only its program goes in front.
    const Result r = Pkgbuild("build --no-progress --stub " + Quote(first) + " --out " + Quote(Path("out/again.exe")) +
                              " " + Quote(Src()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("carried a package"), std::string::npos);
    EXPECT_EQ(TGFileInfo(Path("out/again.exe")).Start(), 2048u);
}
