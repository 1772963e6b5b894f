#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ArdoTrace.h"
#include "CProfile.h"
#include "TempDir.h"

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  // A profile file with the given text; returns its path.
  std::string Profile(const std::string& text) {
    std::string path = dir.File("p.ini");
    WriteFile(path, text);
    return path;
  }
  TempDir dir;
};

TEST_F(ProfileTest, IntGet) {
  std::string path = Profile("[S]\nseven= 7\nword=abc\nneg=-12x\n");
  CProfile p(path.c_str());
  EXPECT_EQ(p.IntGet("S", "seven", 0), 7);
  EXPECT_EQ(p.IntGet("S", "word", 5), 0);
  EXPECT_EQ(p.IntGet("S", "neg", 0), -12);
  EXPECT_EQ(p.IntGet("S", "missing", 99), 99);
  EXPECT_EQ(p.IntGet("T", "seven", 98), 98);
  CProfile absent(dir.File("absent.ini").c_str());
  EXPECT_EQ(absent.IntGet("S", "seven", 97), 97);
}

TEST_F(ProfileTest, StringGetIntoBufferResults) {
  std::string path = Profile("[S]\nkey=value\r\nempty=\n");
  CProfile p(path.c_str());
  char out[32];
  EXPECT_EQ(p.StringGet("S", "key", "def", out, sizeof out), 6);
  EXPECT_STREQ(out, "value");  // the "\r" is not part of the value
  EXPECT_EQ(p.StringGet("S", "empty", "def", out, sizeof out), 1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(p.StringGet("S", "nokey", "def", out, sizeof out), 1);
  EXPECT_STREQ(out, "def");
  CProfile absent(dir.File("absent.ini").c_str());
  EXPECT_EQ(absent.StringGet("S", "key", "dflt", out, sizeof out), 0);
  EXPECT_STREQ(out, "dflt");

  // A value that fills the buffer is copied without a terminator.
  char small[5];
  memset(small, '#', sizeof small);
  EXPECT_EQ(p.StringGet("S", "key", "", small, 5), 5);
  EXPECT_EQ(std::string(small, 5), "value");
  memset(small, '#', sizeof small);
  EXPECT_EQ(p.StringGet("S", "key", "", small, 3), 3);
  EXPECT_EQ(std::string(small, 5), "val##");
}

TEST_F(ProfileTest, StringGetIntoCString) {
  std::string path = Profile("[S]\nkey=value\n");
  CProfile p(path.c_str());
  CString out;
  EXPECT_EQ(p.StringGet("S", "key", "def", out), 6);
  EXPECT_STREQ(out, "value");
  EXPECT_EQ(p.StringGet("S", "other", "def", out), 4);
  EXPECT_STREQ(out, "def");
  CProfile absent(dir.File("absent.ini").c_str());
  EXPECT_EQ(absent.StringGet("S", "key", "zz", out), 0);
  EXPECT_STREQ(out, "zz");
}

TEST_F(ProfileTest, DefaultOfAnUnreadableFileStaysInsideTheBuffer) {
  CProfile absent(dir.File("absent.ini").c_str());
  char out[8];
  memset(out, '#', sizeof out);
  EXPECT_EQ(absent.StringGet("S", "key", "a rather long default", out, 4), 0);
  EXPECT_EQ(std::string(out, 8), "a ra####");
}

TEST_F(ProfileTest, LongValuesAreCutAt79Characters) {
  std::string value(200, 'v');
  std::string path = Profile("[S]\nkey=" + value + "\n");
  CProfile p(path.c_str());
  CString out;
  EXPECT_EQ(p.StringGet("S", "key", "", out), 80);
  EXPECT_EQ(std::string(out), value.substr(0, 79));
}

TEST_F(ProfileTest, PrefixMatchingOfSectionsAndKeys) {
  std::string path = Profile("[TRACE_SETTINGS2]\nTraceClear=1\nTrace=5\n");
  CProfile p(path.c_str());
  // The section header only has to start with the name; the key likewise.
  EXPECT_EQ(p.IntGet("TRACE_SETTINGS", "Trace", 0), 1);
  EXPECT_EQ(p.IntGet("TRACE_SETTINGS", "Trace=", 0), 0);
  std::string caseSensitive = Profile("[s]\nkey=1\n");
  EXPECT_EQ(CProfile(caseSensitive.c_str()).IntGet("S", "key", 9), 9);
}

TEST_F(ProfileTest, EntryLookupStopsAtTheNextSection) {
  std::string path = Profile("[A]\nx=1\n[B]\ny=2\n");
  CProfile p(path.c_str());
  EXPECT_EQ(p.IntGet("A", "y", -1), -1);
  EXPECT_EQ(p.IntGet("B", "y", -1), 2);
}

TEST_F(ProfileTest, StringSetEdits) {
  struct Case { const char* name; std::string before; const char* section; const char* key; const char* value; std::string after; } cases[] = {
      {"new section appended", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n[B]\nk=v\n\n"},
      {"new key first in its section", "[A]\nx=1\n", "A", "k", "v", "[A]\nk=v\nx=1\n"},
      {"value replaced", "[A]\nx=1\ny=2\n", "A", "x", "long value", "[A]\nx=long value\ny=2\n"},
      {"carriage return dropped", "[A]\nx=old\r\ny=2\n", "A", "x", "n", "[A]\nx=n\ny=2\n"},
      {"last value without line end", "[A]\nx=1", "A", "x", "22", "[A]\nx=22"},
      {"header as last line counts as missing", "[A]\n", "A", "k", "v", "[A]\n[A]\nk=v\n\n"},
      {"glued to a last line without line end", "[A]\nx=1", "B", "k", "v", "[A]\nx=1[B]\nk=v\n\n"},
      {"empty file", "", "S", "k", "v", "[S]\nk=v\n\n"},
  };
  for (const Case& c : cases) {
    std::string path = Profile(c.before);
    EXPECT_EQ(CProfile(path.c_str()).StringSet(c.section, c.key, c.value), 1) << c.name;
    EXPECT_EQ(ReadFile(path), c.after) << c.name;
  }
  EXPECT_EQ(CProfile(dir.File("absent.ini").c_str()).StringSet("S", "k", "v"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("absent.ini")));
}

TEST_F(ProfileTest, IntSetAndReadBack) {
  std::string path = Profile("");
  CProfile p(path.c_str());
  EXPECT_EQ(p.IntSet("N", "n", -42), 1);
  EXPECT_EQ(p.IntGet("N", "n", 0), -42);
}

TEST_F(ProfileTest, EntryAndSectionAddDel) {
  std::string path = Profile("[A]\nx=1\ny=2\n[B]\nz=3\n");
  CProfile p(path.c_str());
  EXPECT_EQ(p.EntryAdd("A", "w"), 1);
  EXPECT_EQ(p.EntryAdd("A", "x"), 1);  // present already: unchanged
  EXPECT_EQ(p.EntryAdd("C", "q"), 0);  // no such section
  EXPECT_EQ(ReadFile(path), "[A]\nw=\nx=1\ny=2\n[B]\nz=3\n");

  EXPECT_EQ(p.EntryDel("A", "x"), 1);
  EXPECT_EQ(ReadFile(path), "[A]\nw=\n\ny=2\n[B]\nz=3\n");  // an empty line remains
  EXPECT_EQ(p.EntryDel("Q", "x"), 1);
  EXPECT_EQ(ReadFile(path), "[A]\nw=\n\ny=2\n[B]\nz=3\n");

  EXPECT_EQ(p.SectionAdd("B"), 1);
  EXPECT_EQ(p.SectionAdd("C"), 1);
  EXPECT_EQ(ReadFile(path), "[A]\nw=\n\ny=2\n[B]\nz=3\n[C]\n\n");

  EXPECT_EQ(p.SectionDel("A"), 1);
  EXPECT_EQ(ReadFile(path), "\n[B]\nz=3\n[C]\n\n");
  EXPECT_EQ(p.SectionDel("B"), 1);
  EXPECT_EQ(ReadFile(path), "\n\n[C]\n\n");

  std::string tail = Profile("[A]\nx=1\n[B]\nlast=99");
  EXPECT_EQ(CProfile(tail.c_str()).EntryDel("B", "last"), 1);
  EXPECT_EQ(ReadFile(tail), "[A]\nx=1\n[B]\n9");  // all but its last character
  std::string lastSection = Profile("[A]\nx=1\n[B]\ny=2\n");
  EXPECT_EQ(CProfile(lastSection.c_str()).SectionDel("B"), 1);
  EXPECT_EQ(ReadFile(lastSection), "[A]\nx=1\n\n");

  CProfile absent(dir.File("absent.ini").c_str());
  EXPECT_EQ(absent.EntryAdd("A", "x"), 0);
  EXPECT_EQ(absent.EntryDel("A", "x"), 0);
  EXPECT_EQ(absent.SectionAdd("A"), 0);
  EXPECT_EQ(absent.SectionDel("A"), 0);
}

TEST_F(ProfileTest, CreateEmptiesTheFile) {
  std::string path = Profile("[A]\nx=1\n");
  CProfile p;
  EXPECT_EQ(p.Create(0, path.c_str()), 1);
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_STREQ(p.FileName(), path.c_str());
  EXPECT_EQ(p.Create(0, dir.File("no/such/dir.ini").c_str()), 0);
}

TEST_F(ProfileTest, BinarySections) {
  std::string path = Profile("[A]\nx=1\n");
  CProfile p(path.c_str());
  unsigned char three[] = {0x01, 0xAB, 0xFF};
  EXPECT_EQ(p.BinarySectSet("BIN", three, 3), 1);
  EXPECT_EQ(ReadFile(path), "[A]\nx=1\n[BIN]\n01 ab ff\n");
  unsigned char back[8] = {};
  EXPECT_EQ(p.BinarySectGet("BIN", back, 8), 3);
  EXPECT_EQ(memcmp(back, three, 3), 0);
  EXPECT_EQ(p.BinarySectGet("BIN", nullptr, 0), 3);
  EXPECT_EQ(p.BinarySectGet("BIN", back, 2), 2);
  EXPECT_EQ(p.BinarySectGet("NONE", back, 8), 0);

  unsigned char twenty[20];
  for (int i = 0; i < 20; ++i) twenty[i] = static_cast<unsigned char>(i);
  EXPECT_EQ(p.BinarySectSet("BIN", twenty, 20), 1);
  EXPECT_EQ(ReadFile(path),
            "[A]\nx=1\n[BIN]\n00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f\n10 11 12 13\n");
  unsigned char many[100];
  for (int i = 0; i < 100; ++i) many[i] = static_cast<unsigned char>(i * 3);
  EXPECT_EQ(p.BinarySectSet("BIN", many, 100), 1);
  std::string text = ReadFile(path);
  std::string block = text.substr(text.find("[BIN]\n") + 6);
  EXPECT_EQ(block.size(), 300u);
  EXPECT_EQ(block.find('\n'), 47u);           // 16 bytes on the first line
  EXPECT_EQ(block.find('\n', 48), 47u + 141); // 47 on the next
  unsigned char read[100];
  EXPECT_EQ(p.BinarySectGet("BIN", read, 100), 100);
  EXPECT_EQ(memcmp(read, many, 100), 0);

  // The old block is replaced; text behind it stays; upper-case digits read too.
  std::string mixed = Profile("[B]\n  0A Ff\n 11\n[C]\nk=v\n");
  CProfile m(mixed.c_str());
  EXPECT_EQ(m.BinarySectGet("B", read, 10), 3);
  EXPECT_EQ(read[1], 0xFF);
  unsigned char one[] = {0x7e};
  EXPECT_EQ(m.BinarySectSet("B", one, 1), 1);
  EXPECT_EQ(ReadFile(mixed), "[B]\n7e\n[C]\nk=v\n");
  EXPECT_EQ(m.BinarySectSet("B", one, 0), 0);
}

TEST_F(ProfileTest, ChangesThatDoNotFitAreNotMade) {
  std::string filler(8150, 'f');
  std::string before = "[A]\nx=" + filler + "\n";
  std::string path = Profile(before);
  CProfile p(path.c_str());
  EXPECT_EQ(p.StringSet("A", "x", std::string(8190, 'g').c_str()), 1);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(p.StringSet("NEW_SECTION_NAME_THAT_IS_LONG", std::string(60, 'k').c_str(), "v"), 1);
  EXPECT_EQ(ReadFile(path), before);
  unsigned char data[64] = {};
  EXPECT_EQ(p.BinarySectSet("BIN", data, 64), 1);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_EQ(p.StringSet("A", "x", "short"), 1);  // shrinking is fine
  EXPECT_EQ(ReadFile(path), "[A]\nx=short\n");
}

TEST_F(ProfileTest, FileLongerThanTheLimitIsReadButNeverChanged) {
  TempDir traceDir;
  std::string settings = traceDir.File("trace.ini");
  std::string traceFile = traceDir.File("t.trc");
  WriteFile(settings, "[TRACE_SETTINGS]\nTrace=1\nTraceFile=" + traceFile + "\nTraceLevel=4\n");
  g_trc.Init();
  g_trc.Enable_By_Profile(settings.c_str(), true);

  std::string text = "[A]\nx=1\n" + std::string(9000, '#') + "\n[B]\ny=2\n";
  std::string path = Profile(text);
  CProfile p(path.c_str());
  EXPECT_EQ(p.IntGet("A", "x", 0), 1);    // the first 8192 bytes are seen
  EXPECT_EQ(p.IntGet("B", "y", 0), 0);    // the rest is not
  EXPECT_EQ(p.StringSet("A", "x", "2"), 0);
  EXPECT_EQ(p.EntryDel("A", "x"), 0);
  EXPECT_EQ(p.SectionAdd("C"), 0);
  EXPECT_EQ(p.SectionDel("A"), 0);
  EXPECT_EQ(p.EntryAdd("A", "z"), 0);
  unsigned char b[] = {1};
  EXPECT_EQ(p.BinarySectSet("A", b, 1), 0);
  EXPECT_EQ(ReadFile(path), text);
  EXPECT_NE(ReadFile(traceFile).find("Profile file too long"), std::string::npos);
  g_trc.Init();

  std::string exact = Profile("[A]\nx=1\n" + std::string(8192 - 8, '#'));
  EXPECT_EQ(CProfile(exact.c_str()).StringSet("A", "x", "2"), 1);  // exactly 8192 bytes still change
}

}  // namespace
