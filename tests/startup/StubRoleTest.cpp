#include <gtest/gtest.h>

#include "core/StubRole.h"
#include "core/WorkingFolder.h"
#include "update/MainWindowChoice.h"
#include "util/SelfDeleteBatch.h"

namespace {

using stub::StartupAction;

struct RoleCase {
  bool isAgent;
  bool runFromTempCopy;
  const char* agentName;
  const char* path;
  long long spanLevel;
  StartupAction action;
  bool launcher;
  bool runningAgent;
  const char* windowClass;
};

TEST(DecideRole, FromPackageFileNameAndSpanLevel) {
  const RoleCase cases[] = {
      {false, false, "agent.exe", R"(C:\p\setup.exe)", 1, StartupAction::RunMainWindow, false, false,
       R"(C:\p\setup.exe)"},
      {true, false, "Agent.exe", R"(C:\p\agent.EXE)", 1, StartupAction::CreateAndRunX, true, false,
       ".AutoUpdate.agent"},
      {true, false, "agent.exe", R"(C:\p\x_AGENT.exe)", 1, StartupAction::RunAgent, false, true,
       ".AutoUpdate.x_AGENT"},
      // An agent under another file name runs its window like any stub.
      {true, false, "agent.exe", R"(C:\p\other.exe)", 1, StartupAction::RunMainWindow, false, false,
       ".AutoUpdate.other"},
      {false, true, "", R"(C:\p\setup.exe)", 1, StartupAction::TemporarySpanCopy, false, false,
       R"(C:\p\setup.exe)"},
      {false, true, "", R"(C:\t\Y_setup.exe)", 2, StartupAction::RunMainWindow, false, false,
       R"(C:\t\Y_setup.exe)"},
      // Without IsAgent the agent name means nothing.
      {false, false, "setup.exe", R"(C:\p\setup.exe)", 1, StartupAction::RunMainWindow, false, false,
       R"(C:\p\setup.exe)"},
  };
  for (const RoleCase& c : cases) {
    stub::RoleInputs in;
    in.isAgent = c.isAgent;
    in.runFromTempCopy = c.runFromTempCopy;
    in.agentName = c.agentName;
    in.stubPath = c.path;
    in.spanLevel = c.spanLevel;
    const stub::RoleDecision d = stub::DecideRole(in);
    EXPECT_EQ(d.action, c.action) << c.path;
    EXPECT_EQ(d.isAgentLauncher, c.launcher) << c.path;
    EXPECT_EQ(d.isRunningAgent, c.runningAgent) << c.path;
    EXPECT_EQ(d.windowClass, c.windowClass) << c.path;
  }
}

TEST(ClassNames, AgentClassesDropOnlyTheLastExtension) {
  EXPECT_EQ(stub::MainWindowClassName(true, R"(C:\p\Agent.Upd.exe)"), ".AutoUpdate.Agent.Upd");
  EXPECT_EQ(stub::MainWindowClassName(false, R"(C:\p\Agent.Upd.exe)"), R"(C:\p\Agent.Upd.exe)");
  EXPECT_EQ(stub::RunningAgentClassName("agent.exe"), ".AutoUpdate.X_agent");
  EXPECT_EQ(stub::RunningAgentClassName("agent"), ".AutoUpdate.X_agent");
  EXPECT_EQ(stub::RunningAgentPath(R"(C:\p q\agent.exe)"), R"(C:\p q\X_agent.exe)");
}

TEST(WorkingFolderName, UsesTheTimeHalfOfTheDosDateTime) {
  EXPECT_EQ(stub::WorkingFolderName(R"(C:\Temp\)", 0x5A8B9C6Du), R"(C:\Temp\SETUP_40045)");
  EXPECT_EQ(stub::WorkingFolderName(R"(C:\Temp)", 0x0000FFFFu), R"(C:\Temp\SETUP_65535)");
  EXPECT_EQ(stub::WorkingFolderName(R"(C:\Temp\\)", 0), R"(C:\Temp\SETUP_0)");
}

TEST(SelfDeleteBatch, QuotedWithAndWithoutFolderRemoval) {
  EXPECT_EQ(stub::SelfDeleteBatchText(R"(C:\T\_DEL_ME_.BAT)", R"(C:\a b\s.exe)", R"(C:\a b)", false, "\""),
            ":START\r\nDEL \"C:\\a b\\s.exe\"\r\nIF exist \"C:\\a b\\s.exe\" GOTO START\r\n"
            "DEL \"C:\\T\\_DEL_ME_.BAT\"\r\n");
  EXPECT_EQ(stub::SelfDeleteBatchText(R"(C:\T\_DEL_ME_.BAT)", R"(C:\AB~1\s.exe)", R"(C:\AB~1)", true, ""),
            ":START\r\nDEL C:\\AB~1\\s.exe\r\nIF exist C:\\AB~1\\s.exe GOTO START\r\nRD C:\\AB~1\r\n"
            "DEL C:\\T\\_DEL_ME_.BAT\r\n");
}

TEST(ChooseMainWindow, OwnersTitlesAndVisibility) {
  using W = stub::TopLevelWindow;
  // A hidden untitled helper, the owner of a dialog, and the dialog itself.
  EXPECT_EQ(stub::ChooseMainWindow({W{1, 0, false, false}, W{2, 0, true, false}, W{3, 2, true, true}}), 1);
  // Equal scores: the first collected wins.
  EXPECT_EQ(stub::ChooseMainWindow({W{1, 0, true, false}, W{2, 0, true, false}}), 0);
  // Visibility decides between otherwise equal windows.
  EXPECT_EQ(stub::ChooseMainWindow({W{1, 0, false, false}, W{2, 0, false, true}}), 1);
  // An owner outside the list scores nothing.
  EXPECT_EQ(stub::ChooseMainWindow({W{5, 99, false, false}}), -1);
  EXPECT_EQ(stub::ChooseMainWindow({}), -1);
}

}  // namespace
