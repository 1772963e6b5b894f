#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ArdoTrace.h"
#include "TempDir.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

// The day code CheckKey accepts today: the digit sum of the date as ddmmyyyy.
unsigned TodaysKey() {
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  char date[16];
  strftime(date, sizeof date, "%d%m%Y", &local);
  unsigned sum = 0;
  for (const char* p = date; *p; ++p) sum += static_cast<unsigned>(*p - '0');
  return sum;
}

class TraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_trc.Init();
    CArdoTrace::m_fFirst = true;
  }
  void TearDown() override {
    g_trc.Init();
    CArdoTrace::m_fFirst = true;
  }
  // Switches g_trc on through a profile; extra lines go into the section.
  void Enable(unsigned level, const std::string& extra = "") {
    std::string ini = dir.File("trace.ini");
    WriteFile(ini, "[TRACE_SETTINGS]\nTrace=1\nTraceFile=" + TraceFile() + "\nTraceLevel=" + std::to_string(level) +
                       "\n" + extra);
    g_trc.Enable_By_Profile(ini.c_str(), true);
  }
  std::string TraceFile() const { return dir.File("t.trc"); }
  std::string Output() const { return ReadFile(TraceFile()); }
  std::vector<std::string> OutputLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : Lines(Output()))
      if (!line.empty()) lines.push_back(line);
    return lines;
  }
  TempDir dir;
};

TEST_F(TraceTest, LineFormat) {
  Enable(4);
  g_trc.OutTV2(TRC_INFO, "BOOL CSharedObject::DataLoad(int)", TRC_ENTER, "some text", "value=%d", 42);
  std::string out = Output();
  ASSERT_EQ(out.back(), '\n');
  std::vector<std::string> lines = Lines(out);
  ASSERT_EQ(lines.size(), 1u);
  std::vector<std::string> f = Fields(lines[0]);
  ASSERT_EQ(f.size(), 9u);
  // dd.mm.yyyy hh:mm:ss.mmm
  EXPECT_EQ(f[0].size(), 23u);
  EXPECT_EQ(f[0][2], '.');
  EXPECT_EQ(f[0][19], '.');
  EXPECT_EQ(std::stoul(f[1]), static_cast<unsigned long>(getpid()));
  EXPECT_GE(f[1].size(), 4u);
  EXPECT_EQ(f[2], "0000");
  EXPECT_EQ(f[3], "Info");
  EXPECT_EQ(f[4], "BOOL CSharedObject");
  EXPECT_EQ(f[5], "DataLoad");
  EXPECT_EQ(f[6], "Enter");
  EXPECT_EQ(f[7], "some text");
  EXPECT_EQ(f[8], "value=42");
}

TEST_F(TraceTest, SignatureSplitting) {
  struct Case { const char* signature; const char* cls; const char* fn; } cases[] = {
      {"BOOL CSharedObject::DataLoad()", "BOOL CSharedObject", "DataLoad"},
      {"int main(int, char**)", "<global>", "int main"},
      {"Delay", "<global>", "Delay"},
      {"void A::B::f(const char*)", "void A", "B::f"},
      {"", "<global>", ""},
  };
  for (const Case& c : cases) {
    char cls[256], fn[256];
    g_trc.OutTVSplitFunction(c.signature, cls, fn);
    EXPECT_STREQ(cls, c.cls) << c.signature;
    EXPECT_STREQ(fn, c.fn) << c.signature;
  }
  std::string longSig(600, 'x');
  longSig += "::";
  longSig += std::string(600, 'y');
  char cls[256], fn[256];
  g_trc.OutTVSplitFunction(longSig.c_str(), cls, fn);
  EXPECT_EQ(strlen(cls), 255u);
  EXPECT_EQ(strlen(fn), 255u);
}

TEST_F(TraceTest, LevelFilterWithNesting) {
  struct Case { unsigned maxLevel; int enters; unsigned level; bool written; const char* label; } cases[] = {
      {4, 0, 3, true, "Info"},   {4, 1, 3, false, ""},       {13, 1, 3, true, ""},
      {0, 0, 0, true, ""},       {0, 2, 0, true, ""},        {0, 0, 1, false, ""},
      {6, 0, 6, true, "CCVerbose"}, {6, 0, 7, false, ""},    {2, 0, 1, true, "Error"},
  };
  for (const Case& c : cases) {
    g_trc.Init();
    std::remove(TraceFile().c_str());
    Enable(c.maxLevel);
    for (int i = 0; i < c.enters; ++i) g_trc.Enter(TRC_ALWAYS, nullptr);
    g_trc.OutTV2(c.level, "void f()", TRC_INTERNAL, "", "m");
    std::vector<std::string> lines = OutputLines();
    SCOPED_TRACE(testing::Message() << "max " << c.maxLevel << " enters " << c.enters << " level " << c.level);
    ASSERT_EQ(lines.size(), c.written ? 1u : 0u);
    if (c.written) EXPECT_EQ(Fields(lines[0])[3], c.label);
  }
}

TEST_F(TraceTest, EnterAndLeaveMoveTheOffset) {
  Enable(20);
  g_trc.Leave(TRC_INFO, "unmatched\n");
  EXPECT_EQ(g_trc.Depth(), 0u);
  g_trc.Enter(TRC_INFO, "in %d\n", 1);
  EXPECT_EQ(g_trc.Depth(), 10u);
  g_trc.Enter(TRC_INFO, nullptr);
  EXPECT_EQ(g_trc.Depth(), 20u);
  g_trc.Leave(TRC_INFO, nullptr);
  g_trc.Leave(TRC_INFO, "out\n");
  EXPECT_EQ(g_trc.Depth(), 0u);
  std::vector<std::string> lines = OutputLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Fields(lines[0]).back(), "Infounmatched");  // no offset below 10: labelled
  EXPECT_EQ(Fields(lines[1]).back(), "in 1");           // level 13: no label
  EXPECT_EQ(Fields(lines[2]).back(), "out");

  g_trc.Hold();
  g_trc.Enter(TRC_INFO, "held\n");
  EXPECT_EQ(g_trc.Depth(), 0u);  // while held nothing moves
  g_trc.Continue();
}

TEST_F(TraceTest, OtherOutputForms) {
  Enable(4);
  g_trc.Out(TRC_INFO, "plain %s", "text");
  g_trc.OutTS(TRC_ERROR, "|stamped\n");
  g_trc.TStampFormatSelect(0);
  int width = g_trc.PrefixWidth();
  g_trc.OutID(TRC_INFO, "indented\n");
  g_trc.TStampFormatSelect(1);
  EXPECT_EQ(g_trc.PrefixWidth(), width + 4);
  std::vector<std::string> lines = Lines(Output());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 10), "plain text");
  EXPECT_NE(lines[0].find("Error|stamped"), std::string::npos);
  EXPECT_EQ(lines[1], std::string(static_cast<size_t>(width), ' ') + "indented");
  // "%a, %H:%M:%S " plus 4, e.g. "Fri, 12:45:03 " is 14 characters
  EXPECT_EQ(width, 18);
}

TEST_F(TraceTest, LevelZeroPassesEveryFilterButNotTheSwitch) {
  g_trc.OutTV2(TRC_ALWAYS, "void f()", TRC_INTERNAL, "", "off");
  EXPECT_FALSE(std::filesystem::exists(TraceFile()));
  Enable(0);
  g_trc.OutTV2(TRC_ALWAYS, "void f()", TRC_INTERNAL, "", "on");
  EXPECT_EQ(OutputLines().size(), 1u);
}

TEST_F(TraceTest, ProfileSettings) {
  std::string ini = dir.File("trace.ini");
  // Without force the day code must match.
  WriteFile(ini, "[TRACE_SETTINGS]\nTrace=1\nKey=1\nTraceFile=" + TraceFile() + "\nTraceLevel=3\n");
  g_trc.Enable_By_Profile(ini.c_str(), false);
  EXPECT_FALSE(g_trc.IsEnabled());
  EXPECT_EQ(g_trc.MaxLevel(), 3u);  // read whether or not tracing came on

  WriteFile(ini, "[TRACE_SETTINGS]\nTrace=1\nKey=" + std::to_string(TodaysKey()) + "\nTraceFile=" + TraceFile() +
                     "\nTraceLevel=5\n");
  g_trc.Enable_By_Profile(ini.c_str(), false);
  EXPECT_TRUE(g_trc.IsEnabled());
  EXPECT_STREQ(g_trc.FilePath(), TraceFile().c_str());
  EXPECT_EQ(g_trc.MaxLevel(), 5u);
  EXPECT_TRUE(g_trc.CheckKey(std::to_string(TodaysKey()).c_str()));
  EXPECT_FALSE(g_trc.CheckKey(TodaysKey() + 1));

  WriteFile(ini, "[TRACE_SETTINGS]\nTrace=1\nTraceLevel=1\n");
  g_trc.Enable_By_Profile(ini.c_str(), true);  // already on: nothing changes
  EXPECT_EQ(g_trc.MaxLevel(), 5u);

  g_trc.Init();
  g_trc.Enable_By_Profile(ini.c_str(), true);  // no TraceFile: an empty path
  EXPECT_TRUE(g_trc.IsEnabled());
  EXPECT_STREQ(g_trc.FilePath(), "");
  g_trc.OutTV2(TRC_ERROR, "void f()", TRC_INTERNAL, "", "lost");  // nowhere to go, no harm

  g_trc.Init();
  EXPECT_STREQ(g_trc.FilePath(), "Trace.trc");
  WriteFile(ini, "[TRACE_SETTINGS]\nTrace=0\nTraceLevel=2\nTraceInfo=1\n");
  testing::internal::CaptureStdout();
  g_trc.Enable_By_Profile(ini.c_str(), true);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "TRACE OUTPUT DISABLED: " + ini + "\n");
  EXPECT_FALSE(g_trc.IsEnabled());
  g_trc.Init();
  WriteFile(ini, "[TRACE_SETTINGS]\nTrace=1\nTraceFile=" + TraceFile() + "\nTraceLevel=2\nTraceInfo=1\n");
  testing::internal::CaptureStdout();
  g_trc.Enable_By_Profile(ini.c_str(), true);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "TRACE OUTPUT ENABLED: " + ini + ", " + TraceFile() + ", level=2\n");
}

TEST_F(TraceTest, TraceClearEmptiesTheFileOncePerProcess) {
  WriteFile(TraceFile(), "old content\n");
  Enable(4, "TraceClear=1\n");
  g_trc.OutTV2(TRC_ERROR, "void f()", TRC_INTERNAL, "", "first");
  g_trc.OutTV2(TRC_ERROR, "void f()", TRC_INTERNAL, "", "second");
  std::vector<std::string> lines = OutputLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Fields(lines[0]).back(), "first");

  g_trc.Init();
  WriteFile(TraceFile(), "kept\n");
  CArdoTrace::m_fFirst = true;
  Enable(4);  // without TraceClear lines are appended
  g_trc.OutTV2(TRC_ERROR, "void f()", TRC_INTERNAL, "", "more");
  EXPECT_EQ(Lines(Output())[0], "kept");
}

TEST_F(TraceTest, LongMessagesAreCutAtTheLineBuffer) {
  Enable(4);
  std::string huge(100000, 'm');
  g_trc.OutTV2(TRC_ERROR, "void f()", TRC_INTERNAL, "", "%s", huge.c_str());
  std::string out = Output();
  EXPECT_EQ(out.size(), static_cast<size_t>(CArdoTrace::kLineSize - 1) + 1);  // cut line and "\n"
  g_trc.Out(TRC_ERROR, "%s", huge.c_str());
  EXPECT_EQ(Output().size(), out.size() + CArdoTrace::kLineSize - 1);
}

TEST_F(TraceTest, HexDumpLayout) {
  Enable(4);
  unsigned char data[20];
  for (int i = 0; i < 20; ++i) data[i] = static_cast<unsigned char>(0x41 + i);
  data[3] = 0x0A;
  data[4] = 0x90;
  g_trc.OutBinary(TRC_INFO, data, 20, 16, 8, false, nullptr);
  std::vector<std::string> lines = Lines(Output());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "41 42 43 0A 90 46 47 48  49 4A 4B 4C 4D 4E 4F 50  ABC..FGH IJKLMNOP");
  EXPECT_EQ(lines[1], "51 52 53 54" + std::string(39, ' ') + "QRST" + std::string(13, ' '));
  EXPECT_EQ(lines[1].size(), 67u);
}

TEST_F(TraceTest, HexDumpSkipsTrailingZeroLines) {
  Enable(4);
  unsigned char data[64] = {};
  data[20] = 0x33;
  g_trc.OutBinary(TRC_INFO, data, 64, 16, 8, true, nullptr);
  std::vector<std::string> lines = Lines(Output());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], "... 2 zero lines skipped");

  std::remove(TraceFile().c_str());
  unsigned char zeros[64] = {};
  g_trc.OutBinary(TRC_INFO, zeros, 64, 16, 8, true, nullptr);
  lines = Lines(Output());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "... 3 zero lines skipped");

  std::remove(TraceFile().c_str());
  g_trc.OutBinary(TRC_INFO, zeros, 20, 16, 8, true, nullptr);  // fewer than a line of zeros behind the first
  EXPECT_EQ(Lines(Output()).size(), 2u);
}

TEST_F(TraceTest, HexDumpMasksAndNull) {
  Enable(4);
  g_trc.OutBinary(TRC_INFO, nullptr, 10, 16, 8, false, nullptr);
  EXPECT_EQ(Output(), "OutBinary(..., <null>, ...)\n");
  std::remove(TraceFile().c_str());

  unsigned char data[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
  int masks[] = {1, 2, 6, 1, -1};
  g_trc.OutBinary(TRC_INFO, data, 8, 8, 4, false, masks);
  EXPECT_EQ(Lines(Output())[0], "61 ?? ?? 64  65 66 ?? 68  a??d ef?h");

  std::remove(TraceFile().c_str());
  g_trc.OutTVBin2Secure(TRC_INFO, "void Send()", TRC_INTERNAL, "key", data, 8, 0, 4, -1);
  std::vector<std::string> lines = Lines(Output());
  ASSERT_EQ(lines.size(), 3u);  // header, the empty line of its "\n", one dump line
  EXPECT_NE(lines[0].find("(8 Bytes)"), std::string::npos);
  EXPECT_EQ(lines[2].substr(0, 12), "?? ?? ?? ?? ");
  EXPECT_NE(lines[2].find("????efgh"), std::string::npos);

  std::remove(TraceFile().c_str());
  g_trc.OutTVBin2(TRC_INFO, "void Send()", TRC_INTERNAL, "raw", data, 8, 4, 0, false);  // group 0: one group
  lines = Lines(Output());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "61 62 63 64  abcd");
}

TEST_F(TraceTest, StoreBinWritesBesideTheTraceFile) {
  Enable(4);
  const char first[] = "abc";
  const char second[] = "de";
  g_trc.StoreBin(TRC_INFO, "void f()", TRC_INTERNAL, "dump.bin", first, 3, false);
  g_trc.StoreBin(TRC_INFO, "void f()", TRC_INTERNAL, "dump.bin", second, 2, true);
  EXPECT_EQ(ReadFile(dir.File("dump.bin")), "abcde");
  g_trc.StoreBin(TRC_INFO, "void f()", TRC_INTERNAL, "dump.bin", second, 2, false);
  EXPECT_EQ(ReadFile(dir.File("dump.bin")), "de");
  std::vector<std::string> lines = OutputLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Fields(lines[0])[7], "DUMPING DATA INTO FILE");
  EXPECT_NE(lines[0].find("path='" + dir.File("dump.bin") + "'"), std::string::npos);
}

int g_calls = 0;
void StopA() { g_calls += 1; }
void StopB() { g_calls += 100; }

TEST_F(TraceTest, StopStack) {
  Enable(4);
  CArdoTrace* local = new CArdoTrace;
  EXPECT_EQ(local->StopPop(), nullptr);
  local->Stop();  // empty: nothing happens
  for (int i = 0; i < 10; ++i) local->StopPush(i % 2 ? StopB : StopA);
  local->StopPush(StopA);  // the 11th is refused
  EXPECT_EQ(local->StopCount(), 10);
  g_calls = 0;
  local->Stop();
  local->Stop();
  EXPECT_EQ(g_calls, 200);  // the top entry, not removed
  EXPECT_EQ(local->StopPop(), &StopB);
  EXPECT_EQ(local->StopPop(), &StopA);
  EXPECT_EQ(local->StopCount(), 8);
  delete local;

  std::vector<std::string> lines = OutputLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(Fields(lines[0])[7], "Pop on empty stop stack overflow");
  EXPECT_EQ(Fields(lines[0])[3], "Warning");
  EXPECT_EQ(Fields(lines[1])[7], "StopStack overflow");
  EXPECT_EQ(Fields(lines[1])[3], "Error");
}

TEST_F(TraceTest, DestructorReportsOnTheGlobalTrace) {
  Enable(6);
  CArdoTrace* local = new CArdoTrace;
  char expect[64];
  snprintf(expect, sizeof expect, "this=0x%p", static_cast<void*>(local));
  delete local;
  std::vector<std::string> lines = OutputLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Fields(lines[0])[4], "CArdoTrace");
  EXPECT_EQ(Fields(lines[0])[5], "~CArdoTrace");
  EXPECT_EQ(Fields(lines[0])[6], "Enter");
  EXPECT_EQ(Fields(lines[1])[6], "Leave");
}

TEST_F(TraceTest, BuildInfoDelayAndHold) {
  Enable(4);
  g_trc.BuildInfo(TRC_INFO, "int main()", TRC_INTERNAL);
  g_trc.Delay(TRC_INFO, 0);
  g_trc.Hold();
  EXPECT_FALSE(g_trc.IsEnabled());
  g_trc.OutTV2(TRC_ERROR, "void f()", TRC_INTERNAL, "", "held");
  g_trc.Continue();
  EXPECT_TRUE(g_trc.IsEnabled());
  time_t start = time(nullptr);
  g_trc.Delay(TRC_INFO, 1);
  EXPECT_GE(time(nullptr) - start, 1);
  std::vector<std::string> lines = OutputLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Fields(lines[0])[7], "BUILD INFORMATION");
  EXPECT_EQ(Fields(lines[0])[8].substr(0, 14), "NODEBUG; TIME=");
  EXPECT_EQ(Fields(lines[1])[4], "<global>");
  EXPECT_EQ(Fields(lines[1])[7], "EXECUTION DELAY BEGIN");
  EXPECT_EQ(Fields(lines[1])[8], "Execution is stopped for 1 seconds");
  EXPECT_EQ(Fields(lines[2])[8], "Execution continues");
}

TEST_F(TraceTest, MacroPassesTheCallersSignature) {
  Enable(4);
  KEB_TRACE(TRC_INFO, TRC_INTERNAL, "macro", "n=%d", 5);
  std::string signature = KEB_SIG;
  std::vector<std::string> lines = OutputLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(Fields(lines[0])[4], signature.substr(0, signature.find("::")));
  EXPECT_EQ(Fields(lines[0])[5].substr(Fields(lines[0])[5].size() - 8), "TestBody");
  EXPECT_EQ(Fields(lines[0])[8], "n=5");
}

}  // namespace
