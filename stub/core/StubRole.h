// The role a started stub plays, decided from its own package, its file name and the
// command line; and the window class names that identify running instances.
#pragma once
#include <string>

namespace stub {

// What the package and the command line say, as far as the role decision needs it.
struct RoleInputs {
  bool isAgent = false;          // trailer IsAgent
  bool runFromTempCopy = false;  // trailer flag RunFromTempCopy
  std::string agentName;         // config field 2
  std::string stubPath;          // full path of the stub's own file
  long long spanLevel = 1;       // "/SpanCdLvl=" (default 1)
};

enum class StartupAction {
  CreateAndRunX,      // agent launcher: make and start the "X_" copy
  RunAgent,           // running agent ("X_" copy): agent window, then delete itself
  TemporarySpanCopy,  // relaunch from a "Y_" copy in the working folder
  RunMainWindow,      // plain stub (and any other agent file name)
};

struct RoleDecision {
  bool isAgentLauncher = false;  // file name equals the agent name
  bool isRunningAgent = false;   // file name equals "X_" + the agent name
  StartupAction action = StartupAction::RunMainWindow;
  std::string windowClass;       // this instance's class (its single-instance key)
  std::string runningAgentClass; // class of the running "X_" copy
};

RoleDecision DecideRole(const RoleInputs& in);

// ".AutoUpdate." + file name without its last extension for an agent, else the full path.
std::string MainWindowClassName(bool isAgent, const std::string& stubPath);
// ".AutoUpdate.X_" + the agent name without its last extension.
std::string RunningAgentClassName(const std::string& agentName);
// Own folder + "X_" + own file name: the running agent's file next to the launcher.
std::string RunningAgentPath(const std::string& stubPath);

}  // namespace stub
