#include "core/win/MainWindow.h"

#include <commctrl.h>

#include "core/InstanceControl.h"
#include "core/MainFlowHooks.h"
#include "core/win/WorkingFolderWin.h"
#include "update/DownloadAbort.h"
#include "util/DebugLog.h"

namespace stub {

namespace {

MainWindowHandles g_handles;
bool g_isAgent = false;
bool g_stopLoop = false;  // set when the main window is destroyed

bool RightToLeftCharset() {
  const int charset = Hooks().languageCharset ? Hooks().languageCharset() : 0;
  return charset == 177 || charset == 178;
}

void CreateChildControls(HWND window) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const bool rtl = RightToLeftCharset();
  g_handles.statusText = CreateWindowExA(rtl ? WS_EX_RTLREADING | WS_EX_RIGHT : 0, "STATIC", "",
                                         WS_CHILD | WS_VISIBLE, rtl ? 122 : 70, 20, 340, 18, window, nullptr,
                                         instance, nullptr);
  g_handles.statusFont = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
  if (g_handles.statusText && g_handles.statusFont)
    SendMessageA(g_handles.statusText, WM_SETFONT, reinterpret_cast<WPARAM>(g_handles.statusFont), FALSE);
  g_handles.progressBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 70, 38, 392, 13, window,
                                          nullptr, instance, nullptr);
  g_handles.activityBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, rtl ? 70 : 416, 20, 46, 13, window,
                                          nullptr, instance, nullptr);
  SetTimer(window, kMainTimerId, 1000, nullptr);
}

void Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MainIcon")) DrawIcon(dc, 18, 20, icon);
  EndPaint(window, &paint);
}

void OnTimer(HWND window) {
  const auto handle = reinterpret_cast<std::uintptr_t>(window);
  MainFlowHooks& hooks = Hooks();
  if (g_isAgent && hooks.agentTick) {
    hooks.agentTick(handle);
  } else if (!g_isAgent && hooks.runPlainPackage) {
    hooks.runPlainPackage(handle);
  } else {
    // Nothing to run in this build: one step, then the loop ends.
    KillTimer(window, kMainTimerId);
    PostQuitMessage(0);
  }
}

void OnDestroyOrQuit(bool destroy) {
  TraceLine(destroy ? "- wm_Destroy -" : "- wm_Quit -");
  LogLine(".. DestroyMainWindow() - Start");
  SetDownloadAbortRequested(true);
  DeleteWorkingFolder();
  PostQuitMessage(0);
  g_stopLoop = true;
  LogLine(".. DestroyMainWindow() - End");
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT queryCancelAutoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
  switch (message) {
    case WM_CREATE:
      g_handles.window = window;
      CreateChildControls(window);
      return 0;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_CLOSE:
      // The first close request only aborts a running transfer; a second one closes.
      if (!DownloadAbortRequested()) {
        SetDownloadAbortRequested(true);
        return 0;
      }
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
    case WM_QUIT:
      OnDestroyOrQuit(message == WM_DESTROY);
      if (message == WM_DESTROY) g_handles.window = nullptr;
      return 0;
    case WM_TIMER:
      if (wParam == kMainTimerId) OnTimer(window);
      return 0;
    case kMsgShutDown:
    case kMsgLocal:
    case kMsgAgent:
      if (Hooks().agentControl) {
        const std::intptr_t result =
            Hooks().agentControl(message, static_cast<std::uintptr_t>(wParam), static_cast<std::intptr_t>(lParam));
        if (message == kMsgAgent) return static_cast<LRESULT>(result);
      } else if (message == kMsgAgent) {
        return 0;
      }
      break;
    default:
      if (message == queryCancelAutoPlay && message != 0) return 1;
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

RECT CentredInWorkArea() {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  RECT r;
  r.left = work.left + ((work.right - work.left) - kMainWindowWidth) / 2;
  r.top = work.top + ((work.bottom - work.top) - kMainWindowHeight) / 2;
  r.right = r.left + kMainWindowWidth;
  r.bottom = r.top + kMainWindowHeight;
  return r;
}

}  // namespace

const MainWindowHandles& MainWindow() { return g_handles; }

void RunMainWindow(const MainWindowSetup& setup) {
  g_isAgent = setup.isAgent;
  g_stopLoop = false;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, "MainIcon");
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = setup.className.c_str();
  if (!RegisterClassExA(&wc)) {
    TracePid(" RegisterClass failed for " + setup.className + " (" + std::to_string(GetLastError()) + ")");
    return;
  }

  const std::string title = Hooks().mainWindowTitle ? Hooks().mainWindowTitle() : kDefaultMainWindowTitle;
  const RECT r = CentredInWorkArea();
  HWND window = CreateWindowExA(RightToLeftCharset() ? WS_EX_RTLREADING : 0, setup.className.c_str(), title.c_str(),
                                WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, r.left, r.top, kMainWindowWidth,
                                kMainWindowHeight, nullptr, nullptr, instance, nullptr);
  if (!window) {
    TracePid(" CreateWindow failed (" + std::to_string(GetLastError()) + ")");
    UnregisterClassA(setup.className.c_str(), instance);
    return;
  }
  ShowWindow(window, SW_HIDE);
  if (Hooks().setMessageBoxFont) Hooks().setMessageBoxFont();

  MSG msg;
  while (!g_stopLoop && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }

  KillTimer(window, kMainTimerId);
  SetDownloadAbortRequested(true);
  if (Hooks().closeHttp) Hooks().closeHttp();
  if (Hooks().notifyAgentTarget) Hooks().notifyAgentTarget(43, 0);
  if (IsWindow(window)) DestroyWindow(window);
  // Destroying the window posts a quit message; drop it so that it cannot end a message
  // box shown later in this process (e.g. on the way out).
  MSG quit;
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  if (g_handles.statusFont) {
    DeleteObject(g_handles.statusFont);
    g_handles.statusFont = nullptr;
  }
  UnregisterClassA(setup.className.c_str(), instance);
}

}  // namespace stub
