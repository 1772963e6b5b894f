#include "core/win/StubStartup.h"

#include <windows.h>

#include <memory>

#include "core/InstanceControl.h"
#include "core/MainFlowHooks.h"
#include "core/win/MainWindow.h"
#include "core/win/WorkingFolderWin.h"
#include "update/win/ProcessWindows.h"
#include "util/AsciiText.h"
#include "util/DebugLog.h"
#include "util/PathText.h"
#include "util/win/SystemQueries.h"

namespace stub {

namespace {

StubProcess g_process;
std::unique_ptr<TGFileInfo> g_ownPackage;

void PumpFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return;
    Sleep(milliseconds - elapsed < 25 ? milliseconds - elapsed : 25);
  }
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

void RunMainWindowFor(const StubProcess& p, bool isAgent) {
  const std::int64_t sleep = p.switches.Number("/SleepX=", -1);
  if (sleep >= 0 && Hooks().setAgentTickCount) Hooks().setAgentTickCount(-sleep);
  RunMainWindow({p.role.windowClass, isAgent});
}

// Makes the running agent's "X_" copy and starts it; true when a new copy was started.
bool CreateAndRunX(const StubProcess& p, bool agentRunning) {
  LogLine("CreateAndRun_X_Exe() --- Start");
  const std::string zz = p.switches.Text("/_ZZ=");
  TracePid(" CreateAndRun_X_Exe-1 " + zz);
  bool started = false;
  if (!agentRunning || zz == "99") {
    if (AsciiEqualsNoCase(p.stubFileName, OwnPackage().ConfigField(2))) {
      TracePid(" CreateAndRun_X_Exe-2");
      std::int64_t wait = p.switches.Number("/WAIT=", 0);
      if (wait < 0) wait = 0;
      LogLinef("Wait %d SEC", static_cast<int>(wait));
      if (wait > 0) PumpFor(static_cast<DWORD>(wait * 1000));
      const std::string copy = RunningAgentPath(p.stubPath);
      CopyFileA(p.stubPath.c_str(), copy.c_str(), FALSE);
      LogLine("Create X_ File " + copy);
      const std::string args = RunningAgentArguments(p.switches);
      LogLine("WinExec: " + copy + args);
      started = WinExec((Quoted(copy) + args).c_str(), SW_HIDE) > 31;
      if (started && p.switches.HasArguments()) {
        for (int step = 0; step < 15 && !IsProcessRunning(copy); ++step) Sleep(200);
      }
    }
  }
  LogLine("CreateAndRun_X_Exe() --- End");
  return started;
}

void HandleForwardingSwitches(const StubProcess& p, bool startedNewCopy) {
  LogLine("HandleParamOK() --- Start");
  const std::string target = RunningAgentPath(p.stubPath);
  for (const ForwardedMessage& m : ForwardedMessages(p.switches, target, startedNewCopy)) {
    if (!FileExists(target)) continue;
    if (!m.logText.empty()) LogLine(m.logText);
    if (HWND window = FindMainWindow(target))
      PostMessageA(window, m.message, static_cast<WPARAM>(m.wParam), static_cast<LPARAM>(m.lParam));
  }
  const std::string transient = p.switches.Text("/TRANSIENTx=");
  if (!transient.empty() && Hooks().applyTransientSettings) Hooks().applyTransientSettings(transient);
  LogLine("HandleParamOK() --- End");
}

void TemporarySpanCopy(const StubProcess& p) {
  const std::string copy = WorkingFolder() + "\\Y_" + p.stubFileName;
  CopyFileA(p.stubPath.c_str(), copy.c_str(), FALSE);
  const std::string command = SpanCopyCommandLine(Quoted(copy), p.switches.Tail(), p.stubPath);
  TracePid(" TemporarySpanCopy: " + command);
  WinExec(command.c_str(), SW_HIDE);
}

void DoRunStubWin(StubProcess& p) {
  LogLine("DoRunStubWin() --- Start");
  const bool agentRunning = FindWindowA(p.role.runningAgentClass.c_str(), nullptr) != nullptr;
  LogLine(std::string("X_ExeIsRunning=") + TrueFalse(agentRunning));
  LogLine(std::string("ThisIs_Plain_AutoUpdate_Exe=") + TrueFalse(p.role.isAgentLauncher));
  LogLine(std::string("ThisIs_X_AutoUpdate_Exe=") + TrueFalse(p.role.isRunningAgent));

  bool startedNewCopy = false;
  if (FindWindowA(p.role.windowClass.c_str(), nullptr) == nullptr) {
    switch (p.role.action) {
      case StartupAction::CreateAndRunX:
        startedNewCopy = CreateAndRunX(p, agentRunning);
        break;
      case StartupAction::RunAgent:
        LogLine("CheckTestMode");
        if (Hooks().agentTestModeCheck) Hooks().agentTestModeCheck();
        LogLine("WinMain");
        RunMainWindowFor(p, true);
        LogLine("DeleteMySelf");
        StartSelfDelete(false);
        break;
      case StartupAction::TemporarySpanCopy:
        TemporarySpanCopy(p);
        break;
      case StartupAction::RunMainWindow:
        RunMainWindowFor(p, OwnPackage().IsAgent() != 0);
        if (p.switches.Number("/SpanCdLvl=", 1) == 2) StartSelfDelete(true);
        break;
    }
  }
  if (p.role.isAgentLauncher) HandleForwardingSwitches(p, startedNewCopy);
  LogLine("DoRunStubWin() --- End");
}

}  // namespace

const StubProcess& CurrentStub() { return g_process; }

const TGFileInfo& OwnPackage() {
  static const TGFileInfo empty;
  return g_ownPackage ? *g_ownPackage : empty;
}

int RunStub() {
  StubProcess& p = g_process;
  p.rawCommandLine = GetCommandLineA();
  p.stubPath = OwnExecutablePath();
  p.stubFileName = FileNamePart(p.stubPath);
  p.switches = CommandLineSwitches(CommandLineTail(p.rawCommandLine, p.stubFileName, p.stubPath));

  TracePid(" ==== STUB START ====> " + p.rawCommandLine + "<");
  g_ownPackage = std::make_unique<TGFileInfo>(p.stubPath);
  const TGFileInfo& package = *g_ownPackage;

  RoleInputs inputs;
  inputs.isAgent = package.IsAgent() != 0;
  inputs.runFromTempCopy = package.RunFromTempCopy();
  inputs.agentName = package.ConfigField(2);
  inputs.stubPath = p.stubPath;
  inputs.spanLevel = p.switches.Number("/SpanCdLvl=", 1);
  p.role = DecideRole(inputs);

  AgentLogSetup log;
  log.enabled = package.AgentLogging() && inputs.isAgent;
  log.stubPath = p.stubPath;
  log.indent = p.role.isRunningAgent ? kRunningAgentLogIndent : kLogIndent;
  ConfigureAgentLog(log);

  LogLine("");
  LogLine("");
  LogLine("=== START === " + p.stubPath);
  LogLine("CommandLine=" + p.rawCommandLine);
  LogLine("Agent Version=" + FileVersionText(p.stubPath, 4));
  TracePid(std::string(" ==== ThisIs_AutoUpdateProg=") + TrueFalse(inputs.isAgent));

  DoRunStubWin(p);

  g_ownPackage.reset();
  TracePid(" ==== STUB END ====> " + p.rawCommandLine + "<");
  TraceLine("");
  LogLine("=== EXIT === " + p.stubPath);
  LogLine("");
  return static_cast<int>(StubExitCode());
}

}  // namespace stub
