#include "core/StubRole.h"

#include "util/AsciiText.h"
#include "util/PathText.h"

namespace stub {

std::string MainWindowClassName(bool isAgent, const std::string& stubPath) {
  if (!isAgent) return stubPath;
  return ".AutoUpdate." + WithoutLastExtension(FileNamePart(stubPath));
}

std::string RunningAgentClassName(const std::string& agentName) {
  return ".AutoUpdate.X_" + WithoutLastExtension(agentName);
}

std::string RunningAgentPath(const std::string& stubPath) {
  return FolderPart(stubPath) + "X_" + FileNamePart(stubPath);
}

RoleDecision DecideRole(const RoleInputs& in) {
  RoleDecision d;
  const std::string fileName = FileNamePart(in.stubPath);
  d.isAgentLauncher = in.isAgent && AsciiEqualsNoCase(fileName, in.agentName);
  d.isRunningAgent = in.isAgent && AsciiEqualsNoCase(fileName, "X_" + in.agentName);
  d.windowClass = MainWindowClassName(in.isAgent, in.stubPath);
  d.runningAgentClass = RunningAgentClassName(in.agentName);
  if (d.isAgentLauncher)
    d.action = StartupAction::CreateAndRunX;
  else if (d.isRunningAgent)
    d.action = StartupAction::RunAgent;
  else if (!in.isAgent && in.runFromTempCopy && in.spanLevel == 1)
    d.action = StartupAction::TemporarySpanCopy;
  else
    d.action = StartupAction::RunMainWindow;
  return d;
}

}  // namespace stub
