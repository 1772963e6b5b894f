#include <gtest/gtest.h>

#include "PackageFixture.h"
#include "core/PackageChecksum.h"
#include "core/TGFileInfo.h"

using namespace fixture;

// Expected sums are worked out by hand from the definition: every complete word
// counts while more than 4 bytes of the checked range remain after it, and each
// 4096-byte block that leaves more than 4 bytes to go adds 1234.
TEST(PackageChecksum, SumsWordsUpToTheTrailer) {
    TempDir dir;
    Bytes b;
    for (uint32_t w : {1u, 2u, 3u, 4u, 5u, 6u}) AppendU32(b, w);
    b.insert(b.end(), 74, 0xAB);  // the trailer is never summed
    EXPECT_EQ(pkg::PackageChecksum(dir.Write("small", b), 74), 1u + 2 + 3 + 4);
}

TEST(PackageChecksum, EveryFullBlockAdds1234) {
    TempDir dir;
    Bytes b(5000, 0);
    b.insert(b.end(), 74, 0);
    EXPECT_EQ(pkg::PackageChecksum(dir.Write("two-blocks", b), 74), 1234u);
}

TEST(PackageChecksum, ExecutableWithPointerStartsAt512AndEndsAtPointer) {
    TempDir dir;
    Bytes b = Image(512);
    for (size_t i = 0; i < 248; i += 4) SetU32(b, i + 4, 0x01010101);  // header words are skipped
    for (uint32_t w : {10u, 20u, 30u, 40u}) AppendU32(b, w);
    b.insert(b.end(), 74, 0);
    const uint32_t end = static_cast<uint32_t>(b.size());
    b[0] = 'M';
    b[1] = 'Z';
    b[256] = 'P';
    b[257] = 'E';
    SetU32(b, 248, 0);
    SetU32(b, 252, end);
    b.insert(b.end(), 2000, 0x77);  // certificate behind the package
    EXPECT_EQ(pkg::PackageChecksum(dir.Write("signed", b), 74), 10u + 20);
}

TEST(PackageChecksum, LargeFilesAreNotSummed) {
    TempDir dir;
    struct Case { size_t size; bool summed; } cases[] = {{51200, true}, {51201, false}, {60000, false}};
    for (const auto& c : cases) {
        Bytes b(c.size, 1);
        const uint32_t sum = pkg::PackageChecksum(dir.Write("f", b), 74);
        EXPECT_EQ(sum == pkg::kNoChecksum, !c.summed) << c.size;
    }
    // A 60,000-byte package passes whatever its stored value.
    EXPECT_TRUE(pkg::ChecksumPasses(pkg::PackageChecksum(dir.path() + "/f", 74), 0xDEADBEEF));
}

TEST(PackageChecksum, Verdict) {
    struct Case { uint32_t computed, stored; bool pass; } cases[] = {
        {5, 5, true}, {5, 6, false}, {1234, 6, true}, {5, 1234, true},
    };
    for (const auto& c : cases) EXPECT_EQ(pkg::ChecksumPasses(c.computed, c.stored), c.pass);
}

TEST(PackageChecksum, DamagedLengthsNeverReadOutside) {
    TempDir dir;
    Bytes b = Image(600);
    SetU32(b, 252, 0xFFFFFFF0);  // pointer far beyond the file
    const std::string path = dir.Write("odd", b);
    EXPECT_EQ(pkg::PackageChecksum(path, 74), pkg::PackageChecksum(path, 74));
    EXPECT_EQ(pkg::PackageChecksum(dir.path() + "/missing", 74), 0u);
    pkg::PackageChecksum(path, 0xFFFFFFFF);  // must simply return
}

TEST(PackageChecksum, A60000BytePackagePassesWhateverItStores) {
    TempDir dir;
    Package p;
    p.image = Image();
    p.trailer.Checksum = 0x12345678;
    const size_t bare = p.Build().size();
    p.records.resize(1);
    const std::string header = RecordData("pad.bin", 1, "");
    StoredRecord(p.records[0], header + std::string(60000 - bare - 4 - header.size(), 'p'));
    Bytes file = p.Build();
    SetU32(file, 252, static_cast<uint32_t>(file.size()));
    ASSERT_EQ(file.size(), 60000u);
    const std::string path = dir.Write("p60000.exe", file);

    const TGFileInfo info(path);
    ASSERT_TRUE(info.IsPackage());
    const uint32_t computed = pkg::PackageChecksum(path, info.TrailerLength());
    EXPECT_EQ(computed, pkg::kNoChecksum);
    EXPECT_TRUE(pkg::ChecksumPasses(computed, info.Checksum()));
}
