#include <gtest/gtest.h>

#include "PackageFixture.h"
#include "core/PackageRecords.h"

using namespace fixture;

TEST(PackageRecords, StoredCompressedEmptyAndEngine) {
    TempDir dir;
    Package p;
    p.records.resize(4);
    CompressedRecord(p.records[0], RecordData("setup.exe*/x /y", 1234, std::string(5000, 'e')));
    StoredRecord(p.records[1], RecordData("sub\\a.txt", 42, "abc"));
    AppendU32(p.records[2], 0);  // L = 0: empty stored record without header
    StoredRecord(p.records[3], RecordData("empty.txt", 1, ""));
    pkg::PackageRecordReader reader(dir.Write("p", p.Build()));

    pkg::PackageRecord r;
    std::string content;
    ASSERT_TRUE(reader.Next(r, &content));
    EXPECT_TRUE(r.compressed);
    EXPECT_TRUE(r.engine);
    EXPECT_EQ(r.name, "setup.exe");
    EXPECT_EQ(r.engineArguments, "/x /y");
    EXPECT_EQ(r.dosDateTime, 1234u);
    EXPECT_EQ(content, std::string(5000, 'e'));

    ASSERT_TRUE(reader.Next(r, &content));
    EXPECT_FALSE(r.compressed);
    EXPECT_FALSE(r.engine);
    EXPECT_EQ(r.name, "sub\\a.txt");
    EXPECT_EQ(content, "abc");

    ASSERT_TRUE(reader.Next(r, &content));
    EXPECT_TRUE(r.headerMissing);
    EXPECT_EQ(r.storedLength, 0);

    ASSERT_TRUE(reader.Next(r, &content));
    EXPECT_EQ(r.name, "empty.txt");
    EXPECT_EQ(r.size, 0u);

    EXPECT_FALSE(reader.Next(r));
    EXPECT_EQ(reader.Error(), "");
}

TEST(PackageRecords, DamageStopsTheWalkWithAReason) {
    TempDir dir;
    Bytes compressed;
    CompressedRecord(compressed, RecordData("a", 1, std::string(3000, 'z')));
    struct Case { const char* what; Bytes record; } cases[] = {
        {"length beyond the trailer", [] { Bytes b; AppendU32(b, 0x00100000); Append(b, "xx"); return b; }()},
        {"negative length beyond the trailer", [] { Bytes b; AppendU32(b, 0x80000000u); return b; }()},
        {"zlib stream cut short", [&] {
             Bytes b(compressed.begin(), compressed.end() - 10);
             SetU32(b, 0, static_cast<uint32_t>(b.size() - 4));
             return b;
         }()},
        {"not a zlib stream", [] { Bytes b; AppendU32(b, 6); Append(b, "garbag"); return b; }()},
        {"length word cut by the trailer", Bytes{1, 2}},
    };
    for (const auto& c : cases) {
        Package p;
        p.records = {c.record};
        pkg::PackageRecordReader reader(dir.Write("p", p.Build()));
        pkg::PackageRecord r;
        std::string content;
        EXPECT_FALSE(reader.Next(r, &content)) << c.what;
        EXPECT_NE(reader.Error(), "") << c.what;
    }
}

TEST(PackageRecords, ContentLimitBoundsMemory) {
    TempDir dir;
    Package p;
    p.records.resize(1);
    CompressedRecord(p.records[0], RecordData("big", 1, std::string(1 << 20, 0)));
    pkg::PackageRecordReader reader(dir.Write("p", p.Build()));
    pkg::PackageRecord r;
    std::string content;
    EXPECT_FALSE(reader.Next(r, &content, 4096));
    EXPECT_NE(reader.Error().find("more than 4096"), std::string::npos) << reader.Error();
    EXPECT_LE(content.size(), 4096u + 65536u);
}

TEST(PackageRecords, HeaderBlocksBeyondThreeAreSkipped) {
    TempDir dir;
    Package p;
    p.trailer.HeaderCount = 5;
    p.blocks = {"|lang|", "|http://|a|b|t|0|", "|d|s|1|t|9|", "|four|", "|five|"};
    p.records.resize(1);
    StoredRecord(p.records[0], RecordData("a.txt", 1, "x"));
    pkg::PackageRecordReader reader(dir.Write("p", p.Build()));
    pkg::PackageRecord r;
    ASSERT_TRUE(reader.Next(r)) << reader.Error();
    EXPECT_EQ(r.name, "a.txt");
    EXPECT_FALSE(reader.Next(r));

    // A claimed fourth block that is not there ends the walk with an error.
    p.blocks.resize(3);
    p.records.clear();
    pkg::PackageRecordReader broken(dir.Write("q", p.Build()));
    EXPECT_FALSE(broken.Next(r));
    EXPECT_NE(broken.Error(), "");
}
