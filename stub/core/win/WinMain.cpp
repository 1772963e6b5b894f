// Program entry of pkgstub.exe.
#include <windows.h>

#include "core/win/StubStartup.h"
#include "ui/win/UiHooks.h"
#include "util/win/TraceViewerSink.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  stub::InstallTraceViewerSink();
  // Parts that fill the main flow's hooks (core/MainFlowHooks.h) install them here.
  stub::InstallUserInterface();
  return stub::RunStub();
}
