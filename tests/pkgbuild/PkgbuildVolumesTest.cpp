#include "PkgbuildHarness.h"
#include "PackageWriter.h"
#include "core/PackageChecksum.h"
#include "core/PackageReader.h"

using namespace harness;

namespace {

std::vector<std::string> VolumesOf(const std::string& out) {
    std::vector<std::string> names;
    for (int n = 1; Exists(VolumeName(out, n)); ++n) names.push_back(VolumeName(out, n));
    return names;
}

}  // namespace

TEST(VolumeNames, NumberedAfterTheOutputName) {
    EXPECT_EQ(VolumeName("setup.exe", 1), "setup.exe");
    EXPECT_EQ(VolumeName("setup.exe", 2), "setup.exe.002");
    EXPECT_EQ(VolumeName("dir/pkg.001", 1), "dir/pkg.001");
    EXPECT_EQ(VolumeName("dir/pkg.001", 12), "dir/pkg.012");
}

TEST_F(PkgbuildTest, VolumesSplitAndJoinAgain) {
    const std::string text = Text(150000), random = RandomBytes(90000, 7);
    Source("setup.exe", "engine");
    Source("text.txt", text);
    Source("random.bin", random);
    Source("small.txt", "small");
    const uint64_t volumeSize = 40000;

    for (const std::string out : {Path("out/setup.exe"), Path("out/pkg.001")}) {
        SCOPED_TRACE(out);
        const Result r = Build(out, "--engine setup.exe --volume-size " + std::to_string(volumeSize));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::vector<std::string> volumes = VolumesOf(out);
        ASSERT_GE(volumes.size(), 3u);

        const Extracted x = Extract(volumes);
        EXPECT_EQ(x.error, "");
        EXPECT_EQ(x.files.at("text.txt"), text);
        EXPECT_EQ(x.files.at("random.bin"), random);
        EXPECT_EQ(x.files.at("small.txt"), "small");
        EXPECT_EQ(x.records[0].name, "setup.exe");

        for (size_t i = 0; i < volumes.size(); ++i) {
            SCOPED_TRACE(volumes[i]);
            const TGFileInfo& v = x.volumes[i];
            ASSERT_TRUE(v.IsPackage());
            EXPECT_LE(harness::ReadFile(volumes[i]).size(), volumeSize);
            EXPECT_EQ(v.MoreVolumes(), i + 1 < volumes.size());
            EXPECT_EQ(v.Start(), i == 0 ? 2048u : 0u);
            EXPECT_EQ(v.FilesCount(), x.records.size());
            EXPECT_EQ(v.ConfigBlock(), x.volumes[0].ConfigBlock());
            // Every volume is small enough for a real checksum, and it holds.
            EXPECT_NE(v.Checksum(), pkg::kNoChecksum);
            EXPECT_EQ(pkg::PackageChecksum(volumes[i], 74), v.Checksum());
            pkg::PackageFile f(volumes[i]);
            EXPECT_EQ(pkg::IsExecutableImage(f), i == 0);
        }
    }
}

TEST_F(PkgbuildTest, VolumeTooSmallIsRefusedWithoutOutput) {
    Source("a.txt", Text(5000));
    const Result r = Build(Path("out/p.exe"), "--volume-size 2100");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("--volume-size 2100 is too small"), std::string::npos) << r.err;
    EXPECT_TRUE(OutputFolder().empty());
}
