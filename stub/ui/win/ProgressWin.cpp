#include "ui/win/ProgressWin.h"

#include <commctrl.h>

#include <memory>

#include "ui/win/UiPump.h"

namespace {

class WindowBars : public ProgressBars {
 public:
  HWND main = nullptr;
  HWND activity = nullptr;

  void SetMainRange(int low, int high) override { Send(main, PBM_SETRANGE, 0, MAKELPARAM(low, high)); }
  void SetMainPosition(int p) override { Send(main, PBM_SETPOS, p, 0); }
  void SetMainStep(int s) override { Send(main, PBM_SETSTEP, s, 0); }
  void StepMain() override { Send(main, PBM_STEPIT, 0, 0); }
  void SetActivityRange(int low, int high) override { Send(activity, PBM_SETRANGE, 0, MAKELPARAM(low, high)); }
  void SetActivityPosition(int p) override { Send(activity, PBM_SETPOS, p, 0); }
  void SetActivityStep(int s) override { Send(activity, PBM_SETSTEP, s, 0); }

 private:
  static void Send(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (w) SendMessageA(w, msg, wp, lp);
  }
};

WindowBars g_bars;
HFONT g_labelFont = nullptr;

void DeleteLabelFont() {
  if (g_labelFont) DeleteObject(g_labelFont);
  g_labelFont = nullptr;
}

}  // namespace

void ProgressUseBars(HWND mainBar, HWND activityBar) {
  g_bars.main = mainBar;
  g_bars.activity = activityBar;
  ProgressAttachBars(mainBar || activityBar ? &g_bars : nullptr);
}

TProgBar& ProcessProgBar() {
  static TProgBar bar(ProgressDriver, PumpMessagesOnce);
  return bar;
}

void SetProgressLabel(HWND label, const std::string& text, const std::string& fontFace, int charset, int size) {
  if (!label) return;
  if (LabelIsRightToLeft(charset)) {
    SetWindowLongA(label, GWL_EXSTYLE, WS_EX_RTLREADING);
    SetWindowLongA(label, GWL_STYLE, WS_CHILD | WS_VISIBLE | SS_RIGHT);
  } else {
    SetWindowLongA(label, GWL_EXSTYLE, 0);
    SetWindowLongA(label, GWL_STYLE, WS_CHILD | WS_VISIBLE);
  }
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(size, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  HFONT font = CreateFontA(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, static_cast<BYTE>(charset),
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           fontFace.c_str());
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  // The label keeps one font of ours; the one it had before is released.
  DeleteLabelFont();
  g_labelFont = font;
  SendMessageA(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  InvalidateRect(label, nullptr, TRUE);
}
