#include "PkgbuildHarness.h"

using namespace harness;

TEST_F(PkgbuildTest, BadInputFailsClearlyAndLeavesNothingBehind) {
    Source("setup.exe", "engine");
    Source("a.txt", "a");
    WriteAt(Path("notexe"), "just text, no MZ header at all");
    WriteAt(Path("lang-bad.txt"), "s0=ok\nno equals sign here\n");
    const std::string out = Path("out/p.exe");
    const std::string stub = " --stub " + Quote(Stub());
    const std::string src = " " + Quote(Src());

    struct Case { const char* what; std::string args; std::string message; } cases[] = {
        {"missing source folder", "build --stub " + Quote(Stub()) + " --out " + Quote(out) + " " + Quote(Path("nope")),
         "is not a readable folder"},
        {"source is a file", "build" + stub + " --out " + Quote(out) + " " + Quote(Path("notexe")), "is not a readable folder"},
        {"missing stub", "build --stub " + Quote(Path("nostub")) + " --out " + Quote(out) + src, "cannot read stub"},
        {"stub is not an executable", "build --stub " + Quote(Path("notexe")) + " --out " + Quote(out) + src, "no MZ header"},
        {"unwritable output", "build" + stub + " --out " + Quote(Path("out/missing/p.exe")) + src, "cannot write"},
        {"missing engine file", "build" + stub + " --out " + Quote(out) + " --engine other.exe" + src,
         "engine file \"other.exe\" is not in the source folder"},
        {"'|' in the engine arguments", "build" + stub + " --out " + Quote(out) + " --engine 'setup.exe /a|b'" + src,
         "engine arguments must not contain '|'"},
        {"missing language file", "build" + stub + " --out " + Quote(out) + " --language English=" + Quote(Path("no.txt")) + src,
         "cannot read language file"},
        {"language line without =", "build" + stub + " --out " + Quote(out) + " --language English=" + Quote(Path("lang-bad.txt")) + src,
         "line 2 is not key=value"},
        {"bad download settings", "build" + stub + " --out " + Quote(out) + " --download http://x,setup.exe" + src,
         "--download needs URL,SETUPNAME,ALWAYS,SIZE"},
        {"download size not a number", "build" + stub + " --out " + Quote(out) + " --download http://x,s.exe,1,big" + src,
         "needs a decimal number"},
        {"download package without settings", "build" + stub + " --out " + Quote(out) + " --download-package" + src,
         "--download-package needs"},
        {"'|' in a configuration field", "build" + stub + " --out " + Quote(out) + " --agent-name 'a|b.exe'" + src,
         "must not contain '|'"},
        {"unknown option", "build" + stub + " --out " + Quote(out) + " --frobnicate" + src, "unknown option --frobnicate"},
        {"no output named", "build" + stub + src, "build needs --out OUT"},
        {"unknown command", "frob", "unknown command"},
        {"no command", "", "no command given"},
        {"inspect without file", "inspect", "inspect needs a FILE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Result r = Pkgbuild(c.args);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_NE(r.err.find("pkgbuild: error: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(OutputFolder().empty());
    }
}

TEST_F(PkgbuildTest, FailedRebuildKeepsThePreviousOutput) {
    Source("a.txt", "a");
    const std::string out = Path("out/p.exe");
    ASSERT_EQ(Build(out, "").exitCode, 0);
    const std::string before = ReadFile(out);
    EXPECT_NE(Build(out, "--engine missing.exe").exitCode, 0);
    EXPECT_EQ(ReadFile(out), before);
    EXPECT_EQ(OutputFolder(), std::vector<std::string>{"p.exe"});
}

TEST_F(PkgbuildTest, NamesThePackageCannotCarryAreRefused) {
    Source("a|b.txt", "x");
    const Result r = Build(Path("out/p.exe"), "");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("cannot carry"), std::string::npos) << r.err;
    EXPECT_TRUE(OutputFolder().empty());
}

TEST_F(PkgbuildTest, UnreadableSourceFileFails) {
    Source("a.txt", "a");
    ASSERT_EQ(::symlink((Src() + "/gone.txt").c_str(), (Src() + "/link.txt").c_str()), 0);  // dangling
    Result r = Build(Path("out/p.exe"), "");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos) << r.err;
    EXPECT_TRUE(OutputFolder().empty());

    if (::geteuid() == 0) return;  // root reads files without read permission
    ::unlink((Src() + "/link.txt").c_str());
    ::chmod((Src() + "/a.txt").c_str(), 0);
    r = Build(Path("out/p.exe"), "");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("cannot read"), std::string::npos) << r.err;
    EXPECT_TRUE(OutputFolder().empty());
}

TEST_F(PkgbuildTest, HelpNamesEveryOption) {
    const Result r = Pkgbuild("--help");
    EXPECT_EQ(r.exitCode, 0);
    for (const char* option : {"--stub", "--out", "--engine", "--language", "--config-url", "--info-file", "--agent-name",
                               "--token", "--hidden", "--download", "--show-temp-notice", "--run-from-temp-copy",
                               "--activity-bar", "--agent-logging", "--download-package", "--confirm-download",
                               "--install-agent", "--agent", "--store", "--volume-size", "inspect", "--json"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
}
