#include <gtest/gtest.h>

#include "core/InstanceControl.h"

namespace {

using stub::CommandLineSwitches;

struct Expected {
  unsigned message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

struct ForwardCase {
  const char* tail;
  bool startedNewCopy;
  std::vector<Expected> messages;
};

TEST(ForwardedMessages, SwitchesBecomeControlMessages) {
  const ForwardCase cases[] = {
      {"/STOP=5", false, {{0x463, 5, 0}}},
      {"/STOP=0", false, {{0x463, 0, 0}}},
      {"/STOP=-1", false, {}},
      {"/STOP=abc", false, {}},
      {"/WM_MSG=7", false, {{0x464, 7, 0}}},
      {"/WM_MSG=7:9", false, {{0x464, 7, 9}}},
      {"/WM_MSG=", false, {}},
      {"/TEST=3", false, {{0x465, 31, 3}, {0x463, 2, 0}}},
      {"/TEST=3", true, {{0x465, 31, 3}}},
      {"/TEST=0", false, {{0x465, 31, 0}}},
      {"/TEST=2 /WM_MSG=1:2 /STOP=4", true, {{0x463, 4, 0}, {0x464, 1, 2}, {0x465, 31, 2}}},
      {"-STOP=4", false, {}},
  };
  for (const ForwardCase& c : cases) {
    const auto got = stub::ForwardedMessages(CommandLineSwitches(c.tail), R"(C:\p\X_a.exe)", c.startedNewCopy);
    ASSERT_EQ(got.size(), c.messages.size()) << c.tail;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].message, c.messages[i].message) << c.tail << " #" << i;
      EXPECT_EQ(got[i].wParam, c.messages[i].wParam) << c.tail << " #" << i;
      EXPECT_EQ(got[i].lParam, c.messages[i].lParam) << c.tail << " #" << i;
    }
  }
}

TEST(ForwardedMessages, LogTextsNameTheTarget) {
  const auto got = stub::ForwardedMessages(CommandLineSwitches("/STOP=1 /WM_MSG=7 /TEST=4"), R"(C:\p\X_a.exe)", true);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].logText, R"(PostProcessMessage(wm_ShutDown) to: C:\p\X_a.exe)");
  EXPECT_EQ(got[1].logText, R"(PostProcessMessage(wm_LocalMsg) to: C:\p\X_a.exe - :7:)");
  EXPECT_EQ(got[2].logText, R"(PostProcessMessage(wm_AgentMsg) to: C:\p\X_a.exe - AU_PerformUpdateCycle (4))");
}

TEST(RunningAgentArguments, TransientAndDelayArePassedOn) {
  EXPECT_EQ(stub::RunningAgentArguments(CommandLineSwitches("/TRANSIENT=abc /DELAY=10")),
            " /TRANSIENTx=abc /SleepX=10");
  EXPECT_EQ(stub::RunningAgentArguments(CommandLineSwitches("/DELAY=3")), " /SleepX=3");
  EXPECT_EQ(stub::RunningAgentArguments(CommandLineSwitches("/hide")), "");
}

TEST(SpanCopyCommandLine, AddsSpanSwitchesAndOrigin) {
  EXPECT_EQ(stub::SpanCopyCommandLine(R"("C:\T\SETUP_1\Y_s.exe")", "/hide", R"(D:\s.exe)"),
            R"("C:\T\SETUP_1\Y_s.exe" /hide /SpanCdLvl=2 /SpanDiskFName1="D:\s.exe.001" /OriginExe="D:\s.exe")");
  EXPECT_EQ(stub::SpanCopyCommandLine("Y.exe", "", R"(D:\s.exe)"),
            R"(Y.exe /SpanCdLvl=2 /SpanDiskFName1="D:\s.exe.001" /OriginExe="D:\s.exe")");
}

}  // namespace

namespace {

TEST(SpanCopyCommandLine, DropsTheTailsOwnSpanLevel) {
  // Left in, an earlier level would win the lookup and the copy would copy itself again.
  const struct {
    const char* tail;
    const char* kept;
  } cases[] = {
      {"/SpanCdLvl=", ""},
      {"/spancdlvl=1 /hide", "/hide"},
      {"/a=1 /SpanCdLvl=1 /b=\"x y\"", "/a=1 /b=\"x y\""},
      {"/x=a/SpanCdLvl=1", "/x=a/SpanCdLvl=1"},  // not a switch of its own
  };
  for (const auto& c : cases) {
    const std::string kept = c.kept;
    EXPECT_EQ(stub::SpanCopyCommandLine("Y.exe", c.tail, R"(D:\s.exe)"),
              "Y.exe " + (kept.empty() ? "" : kept + " ") +
                  R"(/SpanCdLvl=2 /SpanDiskFName1="D:\s.exe.001" /OriginExe="D:\s.exe")")
        << c.tail;
    EXPECT_EQ(stub::CommandLineSwitches(stub::SpanCopyCommandLine("Y.exe", c.tail, "D:\\s.exe").substr(6))
                  .Number("/SpanCdLvl=", 1),
              2)
        << c.tail;
  }
}

}  // namespace
