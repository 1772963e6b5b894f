#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

#include "util/DebugLog.h"

namespace {

TEST(AgentLogFileName, PrefixAndExtension) {
  const struct {
    const char* stub;
    const char* log;
  } cases[] = {
      {R"(C:\a\agent.exe)", R"(C:\a\X_agent.log)"},
      {R"(C:\a\X_agent.exe)", R"(C:\a\X_agent.log)"},
      {R"(C:\a\x_agent.exe)", R"(C:\a\x_agent.log)"},
      {R"(C:\a.b\agent)", R"(C:\a.b\X_agent.log)"},
      {R"(C:\a\my.agent.exe)", R"(C:\a\X_my.agent.log)"},
  };
  for (const auto& c : cases) EXPECT_EQ(stub::AgentLogFileName(c.stub), c.log) << c.stub;
}

TEST(FormatLogLine, TimeThreadIdIndentText) {
  stub::LogClock clock;
  clock.day = 5;
  clock.month = 3;
  clock.year = 2026;
  clock.hour = 7;
  clock.minute = 8;
  clock.second = 9;
  EXPECT_EQ(stub::FormatLogLine(clock, 42, "   ", "hello"), "05/03/26 07:08:09    42   hello\r\n");
  EXPECT_EQ(stub::FormatLogLine(clock, 123456, " X ", ""), "05/03/26 07:08:09 123456 X \r\n");
  clock.year = 1999;
  EXPECT_EQ(stub::FormatLogLine(clock, 0, "   ", "t"), "05/03/99 07:08:09     0   t\r\n");
}

class AgentLogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/debuglogXXXXXX";
    folder_ = mkdtemp(pattern);
    stubPath_ = folder_ + "/agent.exe";
    logPath_ = folder_ + "/X_agent.log";
    stub::SetDebugLogIds([] { return 7u; }, 99);
  }
  void TearDown() override {
    stub::ConfigureAgentLog({});
    std::remove(logPath_.c_str());
    rmdir(folder_.c_str());
  }
  std::string ReadLog() const {
    std::ifstream in(logPath_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string folder_, stubPath_, logPath_;
};

TEST_F(AgentLogFile, WrittenOnlyWhenEnabled) {
  stub::ConfigureAgentLog({false, stubPath_, stub::kLogIndent});
  stub::LogLine("not written");
  EXPECT_EQ(ReadLog(), "");

  stub::ConfigureAgentLog({true, stubPath_, stub::kRunningAgentLogIndent});
  stub::LogLine("first");
  stub::LogLine("");
  stub::LogLinef("Wait %d SEC", 3);
  const std::string log = ReadLog();
  // Three appended lines, each with time, thread id 7 and the running agent's indentation.
  std::istringstream lines(log);
  std::string line;
  std::vector<std::string> got;
  while (std::getline(lines, line)) got.push_back(line);
  ASSERT_EQ(got.size(), 3u) << log;
  EXPECT_EQ(got[0].substr(17), "     7 X first\r");
  EXPECT_EQ(got[1].substr(17), "     7 X \r");
  EXPECT_EQ(got[2].substr(17), "     7 X Wait 3 SEC\r");
  EXPECT_EQ(got[0][2], '/');
  EXPECT_EQ(got[0][5], '/');
  EXPECT_EQ(got[0][11], ':');
}

TEST(Trace, LinesGoToStandardOutputWithTheProcessId) {
  std::ostringstream captured;
  std::streambuf* previous = std::cout.rdbuf(captured.rdbuf());
  stub::SetDebugLogIds([] { return 1u; }, 4321);
  stub::TracePid(" ==== STUB START ====> x<");
  stub::TraceLine("- wm_Destroy -");
  std::cout.rdbuf(previous);
  EXPECT_EQ(captured.str(), "4321 ==== STUB START ====> x<\n- wm_Destroy -\n");
}

}  // namespace
