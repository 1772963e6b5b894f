#include "PkgbuildHarness.h"
#include "core/PackageChecksum.h"
#include "core/PackageReader.h"

using namespace harness;

// A package behind a real Windows program, signed by osslsigncode with a
// self-signed certificate: the certificate lands behind the package, and the
// reader must find the package through the pointer in the DOS header.
TEST_F(PkgbuildTest, PackageSurvivesCodeSigning) {
    const std::string tiny = TINY_EXE;
    if (tiny.empty() || !Exists(tiny)) GTEST_SKIP() << "no cross compiler: tiny.exe was not built";
    if (Shell("command -v osslsigncode && command -v openssl", dir_).exitCode != 0)
        GTEST_SKIP() << "osslsigncode or openssl missing";

    Source("setup.exe", "engine");
    Source("readme.txt", Text(2000));
    const std::string out = Path("out/p.exe");
    Result r = Pkgbuild("build --no-progress --stub " + Quote(tiny) + " --out " + Quote(out) +
                        " --engine setup.exe --token abc " + Quote(Src()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string unsigned_ = ReadFile(out);
    ASSERT_LT(unsigned_.size(), 51200u);  // small enough to carry a real checksum

    r = Shell("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=pkgbuild-test -keyout " +
                  Quote(Path("key.pem")) + " -out " + Quote(Path("cert.pem")),
              dir_);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = Shell("osslsigncode sign -certs " + Quote(Path("cert.pem")) + " -key " + Quote(Path("key.pem")) + " -in " +
                  Quote(out) + " -out " + Quote(Path("signed.exe")),
              dir_);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const std::string signedBytes = ReadFile(Path("signed.exe"));
    ASSERT_GT(signedBytes.size(), unsigned_.size() + 500);

    const Extracted x = Extract({Path("signed.exe")});
    ASSERT_TRUE(x.volumes[0].IsPackage());
    EXPECT_EQ(x.volumes[0].PackageEnd(), unsigned_.size());
    EXPECT_EQ(x.volumes[0].Token(true), "abc");
    EXPECT_EQ(x.files.at("readme.txt"), Text(2000));
    EXPECT_EQ(x.error, "");
    // The checksum ends at the pointer, so the signature does not disturb it.
    EXPECT_NE(x.volumes[0].Checksum(), pkg::kNoChecksum);
    EXPECT_EQ(pkg::PackageChecksum(Path("signed.exe"), 74), x.volumes[0].Checksum());
    EXPECT_EQ(Pkgbuild("inspect " + Quote(Path("signed.exe"))).exitCode, 0);

    // With both pointer words cleared the trailer would have to be at the end.
    std::string cleared = signedBytes;
    cleared.replace(248, 8, std::string(8, '\0'));
    WriteAt(Path("cleared.exe"), cleared);
    EXPECT_FALSE(TGFileInfo(Path("cleared.exe")).IsPackage());
}

TEST_F(PkgbuildTest, StubHeaderIsMovedTo256AndStillAProgram) {
    const std::string tiny = TINY_EXE;
    if (tiny.empty() || !Exists(tiny)) GTEST_SKIP() << "no cross compiler: tiny.exe was not built";
    Source("a.txt", "a");
    const std::string out = Path("out/p.exe");
    const Result r = Pkgbuild("build --no-progress --stub " + Quote(tiny) + " --out " + Quote(out) + " " + Quote(Src()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string original = ReadFile(tiny), built = ReadFile(out);
    const auto u32 = [](const std::string& b, size_t at) {
        return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
               uint32_t(uint8_t(b[at + 3])) << 24;
    };
    const uint32_t lfanew = u32(original, 0x3C);
    if (lfanew != 256) {
        EXPECT_NE(r.err.find("moved the stub's PE header"), std::string::npos);
    }
    EXPECT_EQ(u32(built, 0x3C), 256u);
    EXPECT_EQ(built.substr(256, 4), std::string("PE\0\0", 4));
    // Headers and sections are the same bytes, only at their new place.
    const size_t headerLength = 24 + (uint8_t(original[lfanew + 20]) | uint8_t(original[lfanew + 21]) << 8) +
                                40 * (uint8_t(original[lfanew + 6]) | uint8_t(original[lfanew + 7]) << 8);
    EXPECT_EQ(built.substr(256, headerLength), original.substr(lfanew, headerLength));
    EXPECT_EQ(built.substr(1024, original.size() - 1024), original.substr(1024));
    EXPECT_EQ(u32(built, 252), built.size());
}
