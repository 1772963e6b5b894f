#include "ui/win/UiPump.h"

#include <windows.h>

void PumpMessagesOnce() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {  // leave the quit message to the main loop
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  Sleep(1);
}

void PumpMessagesFor(unsigned milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) PumpMessagesOnce();
}
