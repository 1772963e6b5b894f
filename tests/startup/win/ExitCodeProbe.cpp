// The stub's entry with a package run that only sets the exit code, so that a test can
// check how the code set by the package run becomes the process exit code:
//   exitcode_probe.exe /ExitWith=N
#include <windows.h>

#include "core/MainFlowHooks.h"
#include "core/win/StubStartup.h"
#include "util/win/TraceViewerSink.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  stub::InstallTraceViewerSink();
  stub::Hooks().runPlainPackage = [](std::uintptr_t window) {
    KillTimer(reinterpret_cast<HWND>(window), 1);
    stub::SetStubExitCode(static_cast<std::uint32_t>(stub::CurrentStub().switches.Number("/ExitWith=", 0)));
    PostQuitMessage(0);
  };
  return stub::RunStub();
}
