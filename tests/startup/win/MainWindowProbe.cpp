// Drives the stub's main window through its message table and writes what happened, one
// fact per line, to OUTFILE (checked by test_startup.py):
//   mainwindow_probe.exe OUTFILE [rtl]
// The probe runs the window as an agent whose ticks send the control messages, close
// requests and the AutoPlay query to the window itself.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/MainFlowHooks.h"
#include "core/win/MainWindow.h"
#include "update/DownloadAbort.h"

namespace {

FILE* g_out = nullptr;
int g_ticks = 0;

void Fact(const std::string& text) {
  std::fprintf(g_out, "%s\n", text.c_str());
  std::fflush(g_out);
}

std::string N(long long v) { return std::to_string(v); }

void Tick(std::uintptr_t handle) {
  HWND window = reinterpret_cast<HWND>(handle);
  ++g_ticks;
  Fact("tick " + N(g_ticks));
  if (g_ticks == 1) {
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    Fact(std::string("title ") + title);
    RECT r;
    GetWindowRect(window, &r);
    Fact("size " + N(r.right - r.left) + "x" + N(r.bottom - r.top));
    Fact(std::string("visible ") + (IsWindowVisible(window) ? "1" : "0"));
    const stub::MainWindowHandles& h = stub::MainWindow();
    RECT s, p, a;
    GetWindowRect(h.statusText, &s);
    GetWindowRect(h.progressBar, &p);
    GetWindowRect(h.activityBar, &a);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    Fact("status " + N(s.left - origin.x) + "," + N(s.top - origin.y) + " " + N(s.right - s.left) + "x" +
         N(s.bottom - s.top));
    Fact("progress " + N(p.left - origin.x) + "," + N(p.top - origin.y) + " " + N(p.right - p.left) + "x" +
         N(p.bottom - p.top) + (GetWindowLongA(h.progressBar, GWL_STYLE) & WS_VISIBLE ? " shown" : " hidden"));
    Fact("activity " + N(a.left - origin.x) + "," + N(a.top - origin.y) + " " + N(a.right - a.left) + "x" +
         N(a.bottom - a.top) + (GetWindowLongA(h.activityBar, GWL_STYLE) & WS_VISIBLE ? " shown" : " hidden"));
    Fact("agent result " + N(SendMessageA(window, 0x465, 31, 7)));
    SendMessageA(window, 0x463, 5, 0);
    SendMessageA(window, 0x464, 1, 2);
    Fact("autoplay " + N(SendMessageA(window, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0)));
    SendMessageA(window, WM_CLOSE, 0, 0);
    Fact(std::string("after first close: window ") + (IsWindow(window) ? "1" : "0") + " abort " +
         (stub::DownloadAbortRequested() ? "1" : "0"));
  } else if (g_ticks == 2) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    Fact(std::string("after second close: window ") + (IsWindow(window) ? "1" : "0"));
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2 || !(g_out = std::fopen(__argv[1], "wb"))) return 2;
  const bool rtl = __argc > 2 && std::string(__argv[2]) == "rtl";
  stub::MainFlowHooks& hooks = stub::Hooks();
  hooks.agentTick = Tick;
  hooks.agentControl = [](unsigned message, std::uintptr_t w, std::intptr_t l) -> std::intptr_t {
    Fact("control " + N(message) + " " + N(static_cast<long long>(w)) + " " + N(l));
    return message == 0x465 ? 4242 : 0;
  };
  hooks.notifyAgentTarget = [](int code, int value) { Fact("notify " + N(code) + " " + N(value)); };
  hooks.closeHttp = [] { Fact("close http"); };
  hooks.setMessageBoxFont = [] { Fact("message box font"); };
  hooks.languageCharset = [rtl] { return rtl ? 177 : 0; };
  stub::SetDownloadAbortRequested(false);
  stub::RunMainWindow({".Probe.MainWindow", true});
  Fact("loop ended after " + N(g_ticks) + " ticks");
  std::fclose(g_out);
  return 0;
}
