// Test stand-in for a running program: owns a hidden top-level window of a given class
// and title and records every application message it receives (WM_USER and above, and
// WM_CLOSE) as "message wParam lParam" lines, in decimal.
//
//   msgrecorder.exe CLASS TITLE OUTFILE STOPFILE
// OUTFILE is created (empty) once the window exists. The program ends when STOPFILE
// appears, or after ten minutes at the latest.
#include <windows.h>

#include <cstdio>

namespace {

const char* g_outFile = nullptr;
const char* g_stopFile = nullptr;
DWORD g_startTicks = 0;

void Record(UINT message, WPARAM wParam, LPARAM lParam) {
  if (FILE* f = std::fopen(g_outFile, "ab")) {
    std::fprintf(f, "%u %lu %ld\n", message, static_cast<unsigned long>(wParam), static_cast<long>(lParam));
    std::fclose(f);
  }
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER && message <= 0x7FFF) {
    Record(message, wParam, lParam);
    return 0;
  }
  switch (message) {
    case WM_CLOSE:
      Record(message, wParam, lParam);
      return 0;
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
  if (__argc < 5) return 2;
  g_outFile = __argv[3];
  g_stopFile = __argv[4];
  g_startTicks = GetTickCount();

  WNDCLASSA wc{};
  wc.lpfnWndProc = RecorderProc;
  wc.hInstance = instance;
  wc.lpszClassName = __argv[1];
  if (!RegisterClassA(&wc)) return 3;
  HWND window = CreateWindowA(__argv[1], __argv[2], WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
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
