#include <gtest/gtest.h>

#include "core/CommandLine.h"

namespace {

using stub::CommandLineSwitches;
using stub::CommandLineTail;

struct TailCase {
  const char* raw;
  const char* name;
  const char* path;
  const char* tail;
};

TEST(CommandLineTail, RemovesEverythingUpToTheProgram) {
  const TailCase cases[] = {
      {R"("C:\dir\pkgstub.exe" /hide)", "pkgstub.exe", R"(C:\dir\pkgstub.exe)", "/hide"},
      {R"(C:\dir\pkgstub.exe /a=1  )", "pkgstub.exe", R"(C:\dir\pkgstub.exe)", "/a=1"},
      {R"("C:\DIR\PKGSTUB.EXE"   )", "pkgstub.exe", R"(C:\dir\pkgstub.exe)", ""},
      // A tail of one character counts as empty.
      {R"(pkgstub.exe x)", "pkgstub.exe", R"(C:\dir\pkgstub.exe)", ""},
      {R"(pkgstub.exe xy)", "pkgstub.exe", R"(C:\dir\pkgstub.exe)", "xy"},
      // The file name followed by a quote wins over an earlier bare occurrence.
      {R"(s.exe.lnk "C:\a\s.exe" /x=1)", "s.exe", R"(C:\a\s.exe)", "/x=1"},
      // The same name inside an argument stays in the tail.
      {R"("C:\a\s.exe" /OriginExe="C:\b\s.exe")", "s.exe", R"(C:\a\s.exe)", R"(/OriginExe="C:\b\s.exe")"},
      // Neither name nor path: the whole command line, trimmed.
      {R"(  other.exe /x  )", "s.exe", R"(C:\a\s.exe)", "other.exe /x"},
  };
  for (const TailCase& c : cases) EXPECT_EQ(CommandLineTail(c.raw, c.name, c.path), c.tail) << c.raw;
}

struct TextCase {
  const char* tail;
  const char* name;
  const char* expected;
};

TEST(CommandLineSwitches, TextValues) {
  const TextCase cases[] = {
      {"/SpanCdLvl=2", "/SpanCdLvl=", "2"},
      {"/spancdlvl=3", "/SpanCdLvl=", "3"},
      {"/a=1 /SpanCdLvl=", "/SpanCdLvl=", ""},  // present, empty value
      {"/a=1", "/SpanCdLvl=", "<default>"},
      // The switch must be written with the prefix it is asked for.
      {"-SpanCdLvl=2", "/SpanCdLvl=", "<default>"},
      {"/x=1 -SpanCdLvl=2", "/SpanCdLvl=", "<default>"},
      {"-SpanCdLvl=4", "-SpanCdLvl=", "4"},
      // Quoted values lose their quotes and keep their blanks.
      {R"(/SpanDiskFName1="C:\my disk\a.001" /OriginExe="C:\x y\s.exe")", "/SpanDiskFName1=", R"(C:\my disk\a.001)"},
      {R"(/SpanDiskFName1="C:\my disk\a.001" /OriginExe="C:\x y\s.exe")", "/OriginExe=", R"(C:\x y\s.exe)"},
      // A value ends at a blank followed by "/".
      {"/WM_MSG=1 /2", "/WM_MSG=", "1"},
      {"/TEST=a/b /x", "/TEST=", "a/b"},
      // Blanks before "=" and around the value do not matter.
      {"/WAIT =5  /x=1", "/WAIT=", "5"},
      {"  /DELAY=  7  ", "  /DELAY=", "7"},
  };
  for (const TextCase& c : cases) {
    CommandLineSwitches switches(c.tail);
    EXPECT_EQ(switches.Text(c.name, "<default>"), c.expected) << c.tail << " / " << c.name;
  }
}

TEST(CommandLineSwitches, NumbersFallBackToTheDefault) {
  CommandLineSwitches switches("/STOP=12 /WAIT= /SleepX=abc /TEST=-3 /Big=9223372036854775807");
  EXPECT_EQ(switches.Number("/STOP=", -1), 12);
  EXPECT_EQ(switches.Number("/WAIT=", 4), 4);     // empty text fails
  EXPECT_EQ(switches.Number("/SleepX=", -1), -1); // not a number
  EXPECT_EQ(switches.Number("/TEST=", 0), -3);
  EXPECT_EQ(switches.Number("/Big=", 0), 9223372036854775807LL);
  EXPECT_EQ(switches.Number("/Absent=", 77), 77);
}

TEST(CommandLineSwitches, HideFlagNeedsABlankOrTheEnd) {
  const struct {
    const char* tail;
    bool hidden;
  } cases[] = {
      {"/hide", true},         {"/HIDE /x=1", true}, {"/x=1 /Hide", true},
      {"/hidex", false},       {"/hide2 /x=1", false}, {"", false},
      {"/hideMe=1 /y", false},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandLineSwitches(c.tail).Flag("/hide"), c.hidden) << c.tail;
}

TEST(CommandLineSwitches, SwitchListFraming) {
  CommandLineSwitches switches(R"(/a="1 2" /b=3)");
  EXPECT_EQ(switches.SwitchList('/'), "\x01\x01" "a=1 2\x01" "b=3\x01");
  EXPECT_TRUE(switches.HasArguments());
  EXPECT_FALSE(CommandLineSwitches("").HasArguments());
}

}  // namespace
