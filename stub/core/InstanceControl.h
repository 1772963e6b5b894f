// What one stub instance hands to another: the command lines of the copies it starts
// and the control messages it forwards to a running agent.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/CommandLine.h"

namespace stub {

constexpr unsigned kMsgShutDown = 0x463;  // wm_ShutDown  (WM_USER + 99)
constexpr unsigned kMsgLocal = 0x464;     // wm_LocalMsg
constexpr unsigned kMsgAgent = 0x465;     // wm_AgentMsg
constexpr std::uintptr_t kAgentPerformUpdateCycle = 31;

// Arguments of the "X_" copy started by the agent launcher:
// " /TRANSIENTx=" + "/TRANSIENT=" value, then " /SleepX=" + "/DELAY=" value, each when given.
std::string RunningAgentArguments(const CommandLineSwitches& switches);

// Command line of the "Y_" copy: copy path, a blank, and the trimmed text of the tail
// (without any "/SpanCdLvl=" of its own) +
// " /SpanCdLvl=2 /SpanDiskFName1=" + quoted stub path + ".001" + " /OriginExe=" + quoted path.
std::string SpanCopyCommandLine(const std::string& copyPath, const std::string& tail,
                                const std::string& stubPath);

struct ForwardedMessage {
  unsigned message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
  std::string logText;  // the agent-log line written before posting
};

// The messages the agent launcher posts to its running copy, in order, for the
// switches "/STOP=", "/WM_MSG=" and "/TEST="; startedNewCopy tells whether this launcher
// has just started the copy.
std::vector<ForwardedMessage> ForwardedMessages(const CommandLineSwitches& switches,
                                                const std::string& targetPath, bool startedNewCopy);

}  // namespace stub
