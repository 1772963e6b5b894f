#include "ui/win/TextViewer.h"

#include <richedit.h>
#include <shellapi.h>

#include "ui/MsgBoxGeometry.h"
#include "ui/win/RichEditLibrary.h"
#include "util/SelfDelimitedList.h"

namespace {

const char kViewerClass[] = "BRichEditBox";
constexpr int kLinkButtonId = 101;

struct ViewerState {
  HWND window = nullptr;
  HWND text = nullptr;
  HWND button = nullptr;
  HFONT buttonFont = nullptr;
  HFONT textFont = nullptr;
  std::string link;
} g_viewer;

TextViewerReport g_report;

void OpenLink(const std::string& link) {
  ShellExecuteA(nullptr, "open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  g_report.openedLink = true;
}

void Layout(HWND window) {
  RECT c;
  GetClientRect(window, &c);
  const bool hasLink = g_viewer.button != nullptr;
  Rect2 t = ViewerTextRect(c.right, c.bottom, hasLink);
  if (g_viewer.text) SetWindowPos(g_viewer.text, nullptr, t.x, t.y, t.w, t.h, SWP_NOZORDER | SWP_NOACTIVATE);
  g_report.textArea = {t.x, t.y, t.x + t.w, t.y + t.h};
  if (hasLink) {
    Rect2 b = ViewerButtonRect(c.right, c.bottom);
    SetWindowPos(g_viewer.button, nullptr, b.x, b.y, b.w, b.h, SWP_NOZORDER | SWP_NOACTIVATE);
    g_report.button = {b.x, b.y, b.x + b.w, b.y + b.h};
  }
  InvalidateRect(window, nullptr, TRUE);
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT c;
  GetClientRect(window, &c);
  FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
  if (g_viewer.button) {
    RECT band{0, c.bottom - 42, c.right, c.bottom};
    FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
    HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
    HGDIOBJ old = SelectObject(dc, dark);
    MoveToEx(dc, 0, c.bottom - 43, nullptr);
    LineTo(dc, c.right, c.bottom - 43);
    SelectObject(dc, old);
    DeleteObject(dark);
  }
  EndPaint(window, &ps);
}

LRESULT CALLBACK ViewerProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      Layout(window);
      return 0;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
      if (LOWORD(wp) == kLinkButtonId && HIWORD(wp) == BN_CLICKED) {
        OpenLink(g_viewer.link);
        PostMessageA(window, WM_CLOSE, 0, 0);
      }
      return 0;
    case WM_DESTROY:
      return 0;
    default:
      return DefWindowProcA(window, msg, wp, lp);
  }
}

HFONT PointFont(int size, int charset, const std::string& face) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(size, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontA(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, static_cast<BYTE>(charset), OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face.c_str());
}

void RunViewer(HWND owner, const std::string& caption, const std::string& buttonLabel, int charset, int fontSize,
               const std::string& fontFace, bool rightToLeft, int height, int width, const std::string& link,
               const std::string& text) {
  RichEditLibrary richText;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  g_viewer = ViewerState{};
  g_viewer.link = link;
  g_report = TextViewerReport{};

  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = ViewerProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kViewerClass;
  RegisterClassA(&wc);

  g_viewer.buttonFont = PointFont(fontSize > 0 ? fontSize : 8, charset, fontFace.empty() ? "Tahoma" : fontFace);
  const std::string textFace = (!fontFace.empty() && fontFace != "Tahoma") ? fontFace : "Verdana";
  g_viewer.textFont = CreateFontA(15, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, static_cast<BYTE>(charset),
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                  textFace.c_str());

  // A window too small to show anything is of no use; keep a sensible minimum.
  if (width < 200) width = 200;
  if (height < 120) height = 120;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  HWND remembered = GetActiveWindow();
  g_viewer.window = CreateWindowExA(WS_EX_DLGMODALFRAME, kViewerClass, caption.c_str(),
                                    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, x, y, width, height, owner,
                                    nullptr, instance, nullptr);
  if (!g_viewer.window) {
    DeleteObject(g_viewer.buttonFont);
    DeleteObject(g_viewer.textFont);
    UnregisterClassA(kViewerClass, instance);
    return;
  }
  if (remembered) EnableWindow(remembered, FALSE);

  DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
  DWORD exStyle = 0;
  if (rightToLeft) {
    style |= ES_RIGHT;
    exStyle |= WS_EX_RTLREADING;
  }
  // Without the rich-text library the plain edit control still shows the text.
  const char* textClass = richText.Loaded() ? "RICHEDIT" : "EDIT";
  g_viewer.text = CreateWindowExA(exStyle, textClass, "", style, 0, 0, 10, 10, g_viewer.window, nullptr, instance, nullptr);
  if (g_viewer.text) {
    SendMessageA(g_viewer.text, WM_SETFONT, reinterpret_cast<WPARAM>(g_viewer.textFont), FALSE);
    if (richText.Loaded()) {
      SendMessageA(g_viewer.text, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_WINDOW));
      SendMessageA(g_viewer.text, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    } else {
      SendMessageA(g_viewer.text, EM_SETLIMITTEXT, 0, 0);
    }
    SendMessageA(g_viewer.text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  if (!link.empty()) {
    g_viewer.button = CreateWindowExA(0, "BUTTON", buttonLabel.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                      0, 0, 160, 25, g_viewer.window,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLinkButtonId)), instance, nullptr);
    SendMessageA(g_viewer.button, WM_SETFONT, reinterpret_cast<WPARAM>(g_viewer.buttonFont), FALSE);
    g_report.hadButton = true;
  }
  Layout(g_viewer.window);
  GetWindowRect(g_viewer.window, &g_report.window);
  ShowWindow(g_viewer.window, SW_SHOW);
  SetForegroundWindow(g_viewer.window);
  SetFocus(g_viewer.button ? g_viewer.button : g_viewer.text);

  MSG msg;
  while (IsWindow(g_viewer.window)) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      DestroyWindow(g_viewer.window);
      break;
    }
    if (got < 0) break;
    // Enter on the focused link button presses it, as in a dialog.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && g_viewer.button && GetFocus() == g_viewer.button) {
      SendMessageA(g_viewer.window, WM_COMMAND, MAKEWPARAM(kLinkButtonId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(g_viewer.button));
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (remembered) {
    EnableWindow(remembered, TRUE);
    SetActiveWindow(remembered);
  }
  DeleteObject(g_viewer.buttonFont);
  DeleteObject(g_viewer.textFont);
  UnregisterClassA(kViewerClass, instance);
  g_viewer = ViewerState{};
}

}  // namespace

const TextViewerReport& LastTextViewerReport() { return g_report; }

bool TextViewerShow(HWND owner, const std::string& caption, const std::string& buttonLabel, int charset, int fontSize,
                    const std::string& fontFace, bool rightToLeft, int height, int width, const std::string& link,
                    const std::string& text) {
  const std::string trimmed = SelfDelimitedList::Trim(link);
  if (text.empty()) {
    if (trimmed.empty()) return false;
    g_report = TextViewerReport{};
    OpenLink(trimmed);
    return true;
  }
  RunViewer(owner, caption, buttonLabel, charset, fontSize, fontFace, rightToLeft, height, width, trimmed, text);
  return true;
}
