// Test trace viewer: owns a top-level window of class ".BDebug.", receives the stub's
// trace through the registered message ".B_DebugMsg." (the text in a global atom) and
// appends every piece, exactly as received, to a file.
//
//   traceviewer.exe OUTFILE STOPFILE
// OUTFILE is created (empty) once the window exists, so a caller can wait for it.
// The viewer ends when STOPFILE appears, or after ten minutes at the latest.
#include <windows.h>

#include <cstdio>

namespace {

UINT g_traceMessage = 0;
const char* g_outFile = nullptr;
const char* g_stopFile = nullptr;
DWORD g_startTicks = 0;

void Append(const char* text, int length) {
  if (FILE* f = std::fopen(g_outFile, "ab")) {
    std::fwrite(text, 1, static_cast<size_t>(length), f);
    std::fclose(f);
  }
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == g_traceMessage && g_traceMessage != 0) {
    char text[512];
    const UINT n = GlobalGetAtomNameA(static_cast<ATOM>(lParam), text, sizeof text);
    if (n > 0) Append(text, static_cast<int>(n));
    return 1;
  }
  switch (message) {
    case WM_TIMER:
      if (GetFileAttributesA(g_stopFile) != INVALID_FILE_ATTRIBUTES || GetTickCount() - g_startTicks > 600000)
        DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (__argc < 3) return 2;
  g_outFile = __argv[1];
  g_stopFile = __argv[2];
  g_startTicks = GetTickCount();
  g_traceMessage = RegisterWindowMessageA(".B_DebugMsg.");

  WNDCLASSA wc{};
  wc.lpfnWndProc = ViewerProc;
  wc.hInstance = instance;
  wc.lpszClassName = ".BDebug.";
  if (!RegisterClassA(&wc)) return 3;
  HWND window = CreateWindowA(".BDebug.", "Trace viewer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              instance, nullptr);
  if (!window) return 4;
  SetTimer(window, 1, 50, nullptr);
  if (FILE* f = std::fopen(g_outFile, "wb")) std::fclose(f);  // ready

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
