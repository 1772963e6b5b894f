// Win32 binding of the message box: window class, rich-text area, buttons, painting and
// the private message loop that applies the keyboard rules before dispatching.
#include "ui/win/MsgBox.h"

#include <richedit.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "ui/ButtonSet.h"
#include "ui/MarkupText.h"
#include "ui/MsgBoxGeometry.h"
#include "ui/MsgBoxKeys.h"
#include "ui/win/RichEditLibrary.h"
#include "ui/win/UiPump.h"
#include "util/SelfDelimitedList.h"

namespace {

const char kBoxClass[] = "BMsgBox";
constexpr UINT_PTR kTimeoutTimer = 1;
constexpr int kFirstButtonId = 100;
constexpr int kTextAreaId = 10;

struct FontSetting {
  std::string face = "Tahoma";
  int size = 8;
  int charset = 1;
} g_font;

// One box is open at a time; its state is process-wide.
struct BoxState {
  ButtonSet buttons;
  HWND buttonWindows[3] = {};
  HWND box = nullptr;
  HWND text = nullptr;
  HWND remembered = nullptr;
  HFONT font = nullptr;
  HICON icon = nullptr;
  uint32_t style = 0;
  unsigned timeoutMs = 0;
  int result = kResultNone;
  UINT queryCancelAutoPlay = 0;
  SIZE requested{};  // last size the rich-text control asked for
} g_box;

MsgBoxReport g_report;

int FocusedSlot() {
  HWND focus = GetFocus();
  for (int s = 0; s < g_box.buttons.count; ++s)
    if (g_box.buttonWindows[s] && g_box.buttonWindows[s] == focus) return s;
  return -1;
}

void FocusSlot(int slot) {
  for (int s = 0; s < g_box.buttons.count; ++s)
    SendMessageA(g_box.buttonWindows[s], BM_SETSTYLE, s == slot ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  if (slot >= 0 && slot < g_box.buttons.count) SetFocus(g_box.buttonWindows[slot]);
}

void CloseWith(int result) {
  g_box.result = result;
  PostMessageA(g_box.box, WM_CLOSE, 0, 0);
}

HICON IconForStyle(uint32_t style) {
  switch (style & kStyleIconMask) {
    case 0x10: return LoadIconA(nullptr, IDI_HAND);
    case 0x20: return LoadIconA(nullptr, IDI_QUESTION);
    case 0x30: return LoadIconA(nullptr, IDI_EXCLAMATION);
    case 0x40: return LoadIconA(nullptr, IDI_ASTERISK);
    default: break;
  }
  HICON own = LoadIconA(GetModuleHandleA(nullptr), "MainIcon");
  return own ? own : LoadIconA(nullptr, IDI_APPLICATION);
}

void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT c;
  GetClientRect(window, &c);
  const int ch = c.bottom;
  FillRect(dc, &c, GetSysColorBrush(COLOR_WINDOW));
  HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
  HPEN white = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(dc, dark);
  MoveToEx(dc, 0, ch - 37, nullptr);
  LineTo(dc, c.right, ch - 37);
  SelectObject(dc, white);
  MoveToEx(dc, 0, ch - 36, nullptr);
  LineTo(dc, c.right, ch - 36);
  SelectObject(dc, old);
  DeleteObject(dark);
  DeleteObject(white);
  RECT band{0, ch - 35, c.right, ch};
  FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
  RECT blue{0, 0, kBandWidth, ch - 37};
  HBRUSH blueBrush = CreateSolidBrush(RGB(0, 78, 152));
  FillRect(dc, &blue, blueBrush);
  DeleteObject(blueBrush);
  if (g_box.icon) DrawIcon(dc, 11, 20, g_box.icon);
  EndPaint(window, &ps);
}

LRESULT CALLBACK BoxProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (g_box.queryCancelAutoPlay && msg == g_box.queryCancelAutoPlay) return 1;
  switch (msg) {
    case WM_CREATE:
      if (g_box.timeoutMs > 0) SetTimer(window, kTimeoutTimer, g_box.timeoutMs, nullptr);
      return 0;
    case WM_TIMER:
      if (wp == kTimeoutTimer) {
        KillTimer(window, kTimeoutTimer);
        CloseWith(g_box.buttons.count > 0 ? g_box.buttons.slots[0].result : kResultNone);
      }
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wp) - kFirstButtonId;
      if (HIWORD(wp) == BN_CLICKED && id >= 0 && id < g_box.buttons.count) CloseWith(g_box.buttons.slots[id].result);
      return 0;
    }
    case WM_NOTIFY: {
      const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr && hdr->code == EN_REQUESTRESIZE) {
        const REQRESIZE* rr = reinterpret_cast<const REQRESIZE*>(lp);
        g_box.requested = {rr->rc.right - rr->rc.left, rr->rc.bottom - rr->rc.top};
      }
      return 0;
    }
    case WM_SYSCOMMAND:
      // A greyed Close command stays without effect, whichever way it is invoked.
      if ((wp & 0xFFF0) == SC_CLOSE && (g_box.style & kStyleNoClose)) return 0;
      return DefWindowProcA(window, msg, wp, lp);
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_CLOSE:
      // Give the owner back its input before this window goes, so it is re-activated.
      if (g_box.remembered) {
        EnableWindow(g_box.remembered, TRUE);
        SetActiveWindow(g_box.remembered);
      }
      KillTimer(window, kTimeoutTimer);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (g_box.font) DeleteObject(g_box.font);
      g_box.font = nullptr;
      g_report.box = nullptr;
      return 0;
    default:
      return DefWindowProcA(window, msg, wp, lp);
  }
}

// Applies the keyboard rules to a queued message; true when it was handled.
bool PreTranslate(const MSG& msg) {
  if (msg.hwnd != g_box.box && !IsChild(g_box.box, msg.hwnd)) return false;
  BoxInput input;
  if (msg.message == WM_KEYDOWN) {
    input = {BoxInput::KeyDown, static_cast<int>(msg.wParam)};
  } else if (msg.message == WM_SYSCHAR) {
    input = {BoxInput::AltChar, static_cast<int>(msg.wParam & 0xFF)};
  } else {
    return false;
  }
  BoxAction action = DecideBoxInput(g_box.buttons, FocusedSlot(), input);
  switch (action.kind) {
    case BoxAction::Focus: FocusSlot(action.slot); return true;
    case BoxAction::Close: CloseWith(action.result); return true;
    default: return false;
  }
}

// Width of one line in the box's font. Tabs advance to the rich-text control's default
// stops (every half inch), so lines with tabs are not measured too narrow.
int LineWidth(HDC dc, const std::string& line) {
  const int tabStop = GetDeviceCaps(dc, LOGPIXELSX) / 2;
  int x = 0;
  size_t from = 0;
  while (true) {
    size_t tab = line.find('\t', from);
    std::string part = line.substr(from, tab == std::string::npos ? std::string::npos : tab - from);
    SIZE s{};
    if (!part.empty()) GetTextExtentPoint32A(dc, part.c_str(), static_cast<int>(part.size()), &s);
    x += s.cx;
    if (tab == std::string::npos) break;
    x = (x / tabStop + 1) * tabStop;
    from = tab + 1;
  }
  return x;
}

void ApplyBold(HWND text, const std::vector<BoldRange>& ranges, int textLength) {
  for (const BoldRange& r : ranges) {
    // Ranges are offsets at the moment they were found; odd nesting can leave them past the end.
    CHARRANGE sel{std::min(r.start, textLength), std::min(r.end, textLength)};
    SendMessageA(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    CHARFORMATA cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    cf.dwEffects = CFE_BOLD;
    SendMessageA(text, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  }
  CHARRANGE none{0, 0};
  SendMessageA(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
}

void BuildBox(const std::string& markup, bool haveRichText) {
  const MarkupResult converted = ConvertMarkup(markup);
  g_report.boldRanges = static_cast<int>(converted.bold.size());
  g_report.hadTextArea = false;
  HWND box = g_box.box;

  // Measure the text in the box's font.
  HDC dc = GetDC(box);
  HGDIOBJ oldFont = SelectObject(dc, g_box.font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int lineHeight = MsgBoxLineHeight(tm.tmHeight, tm.tmExternalLeading, g_font.face);
  Size2 area = MsgBoxTextAreaSize(converted.text, lineHeight, [&](const std::string& l) { return LineWidth(dc, l); });
  SelectObject(dc, oldFont);
  ReleaseDC(box, dc);

  if (haveRichText) {
    DWORD style = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY;
    DWORD exStyle = 0;
    if (g_box.style & kStyleRightAlign) style |= ES_RIGHT;
    if (g_box.style & kStyleRtlReading) exStyle |= WS_EX_RTLREADING;
    g_box.text = CreateWindowExA(exStyle, "RICHEDIT", "", style, 0, 0, area.cx, area.cy, box,
                                 reinterpret_cast<HMENU>(kTextAreaId), GetModuleHandleA(nullptr), nullptr);
  }
  if (g_box.text) {
    g_report.hadTextArea = true;
    SendMessageA(g_box.text, WM_SETFONT, reinterpret_cast<WPARAM>(g_box.font), FALSE);
    SendMessageA(g_box.text, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_WINDOW));
    SendMessageA(g_box.text, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    SendMessageA(g_box.text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(converted.text.c_str()));
    ApplyBold(g_box.text, converted.bold, static_cast<int>(converted.text.size()));
    g_report.measured = {area.cx, area.cy};
    if (!converted.bold.empty()) {
      SendMessageA(g_box.text, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
      const int height = area.cy;
      area.cx = MsgBoxWidenForBold(area.cx, height, [&](int width) {
        g_box.requested = {width, 0x7FFF};
        SetWindowPos(g_box.text, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(g_box.text, EM_REQUESTRESIZE, 0, 0);
        return Size2{g_box.requested.cx, g_box.requested.cy};
      });
      SendMessageA(g_box.text, EM_SETEVENTMASK, 0, 0);
    }
  }
  g_report.area = {area.cx, area.cy};

  WindowMetrics m;
  m.frameX = GetSystemMetrics(SM_CXFIXEDFRAME);
  m.frameY = GetSystemMetrics(SM_CYFIXEDFRAME);
  m.caption = GetSystemMetrics(SM_CYCAPTION);
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  m.workArea = {work.left, work.top, work.right - work.left, work.bottom - work.top};
  const char* dvx = std::getenv("DVX");
  Rect2 wr = MsgBoxWindowRect(area, m, converted.text, dvx ? dvx : "");
  SetWindowPos(box, HWND_TOPMOST, wr.x, wr.y, wr.w, wr.h, SWP_NOACTIVATE);

  RECT client;
  GetClientRect(box, &client);
  if (g_box.text) {
    Rect2 tr = MsgBoxTextAreaRect(client.right, client.bottom, area);
    SetWindowPos(g_box.text, nullptr, tr.x, tr.y, tr.w, tr.h, SWP_NOZORDER | SWP_NOACTIVATE);
    g_report.textArea = {tr.x, tr.y, tr.x + tr.w, tr.y + tr.h};
    g_report.textLines = static_cast<int>(SendMessageA(g_box.text, EM_GETLINECOUNT, 0, 0));
    g_report.rightAligned = (GetWindowLongA(g_box.text, GWL_STYLE) & ES_RIGHT) != 0;
    g_report.rightToLeft = (GetWindowLongA(g_box.text, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
  } else {
    g_report.textArea = {};
  }

  g_box.icon = IconForStyle(g_box.style);
  std::vector<Rect2> rects = MsgBoxButtonRects(client.right, client.bottom, g_box.buttons.count);
  for (int s = 0; s < g_box.buttons.count; ++s) {
    const Rect2& r = rects[s];
    g_box.buttonWindows[s] = CreateWindowExA(0, "BUTTON", g_box.buttons.slots[s].label.c_str(),
                                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, r.x, r.y, r.w, r.h,
                                             box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + s)),
                                             GetModuleHandleA(nullptr), nullptr);
    SendMessageA(g_box.buttonWindows[s], WM_SETFONT, reinterpret_cast<WPARAM>(g_box.font), FALSE);
  }
}

int ShowBox(HWND owner, const std::string& markup, const std::string& caption, unsigned timeoutMs, uint32_t style,
            const std::string& buttonList) {
  RichEditLibrary richText;  // released when the box has gone
  // A box opened from inside another box's loop must not lose the outer box's state.
  const BoxState outer = g_box;
  g_box = BoxState{};
  g_box.remembered = GetActiveWindow();
  if (g_box.remembered) EnableWindow(g_box.remembered, FALSE);
  g_box.result = kResultNone;
  g_box.timeoutMs = timeoutMs;
  g_box.style = style;
  g_box.buttons = ResolveButtons(style, buttonList);
  g_box.queryCancelAutoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");

  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(g_font.size, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  g_box.font = CreateFontA(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, static_cast<BYTE>(g_font.charset),
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, g_font.face.c_str());

  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = BoxProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kBoxClass;
  RegisterClassA(&wc);

  g_box.box = CreateWindowExA(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, kBoxClass, caption.c_str(),
                              WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 360, 120, owner, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (!g_box.box) {
    if (g_box.font) DeleteObject(g_box.font);
    UnregisterClassA(kBoxClass, GetModuleHandleA(nullptr));
    if (g_box.remembered) EnableWindow(g_box.remembered, TRUE);
    g_box = outer;
    return kResultNone;
  }
  g_report = MsgBoxReport{};
  g_report.box = g_box.box;
  if (style & kStyleNoClose) EnableMenuItem(GetSystemMenu(g_box.box, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);

  BuildBox(markup, richText.Loaded());
  GetWindowRect(g_box.box, &g_report.window);
  GetClientRect(g_box.box, &g_report.client);
  MapWindowPoints(g_box.box, nullptr, reinterpret_cast<POINT*>(&g_report.client), 2);
  g_report.closeGreyed = (GetMenuState(GetSystemMenu(g_box.box, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED) != 0;
  ShowWindow(g_box.box, SW_SHOW);
  SetForegroundWindow(g_box.box);
  g_box.buttons.focusSlot >= 0 ? FocusSlot(g_box.buttons.focusSlot) : (void)SetFocus(g_box.box);

  MSG msg;
  while (IsWindow(g_box.box)) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {  // the quit message belongs to the caller's loop
      PostQuitMessage(static_cast<int>(msg.wParam));
      if (IsWindow(g_box.box)) DestroyWindow(g_box.box);
      break;
    }
    if (got < 0) break;
    if (PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (g_box.remembered) EnableWindow(g_box.remembered, TRUE);
  UnregisterClassA(kBoxClass, GetModuleHandleA(nullptr));
  const int result = g_box.result;
  g_box = outer;
  return result;
}

std::string CaptionOr(const std::string& caption, int item) {
  return caption.empty() ? SelfDelimitedList::Field(kDefaultCaptionList, item, "") : caption;
}

}  // namespace

const MsgBoxReport& LastMsgBoxReport() { return g_report; }

void MsgBoxSetFont(const std::string& face, int size, int charset) {
  g_font.face = face;
  if (size != 0) g_font.size = size;
  g_font.charset = charset;
}

int MsgBoxShow(MsgBoxOwner owner, const std::string& text, const std::string& caption, unsigned timeoutMs,
               uint32_t style, int charset, const std::string& buttonList) {
  if (charset == 177 || charset == 178) style |= kStyleRightAlign | kStyleRtlReading;
  std::string markup = owner == 0 ? AddCaptionHeader(caption, text) : text;
  if (owner == 2) style |= kStyleNoClose;
  HWND ownerWindow = owner > 2 ? reinterpret_cast<HWND>(owner) : GetActiveWindow();
  const int result = ShowBox(ownerWindow, markup, caption, timeoutMs, style | kStyleFrontEndBits, buttonList);
  PumpMessagesFor(100);  // lets the owner repaint before the caller goes on
  return result;
}

void MsgBoxError(MsgBoxOwner owner, const std::string& text, const std::string& caption, int charset,
                 const std::string& buttonList) {
  MsgBoxShow(owner, text, CaptionOr(caption, 0), 0, 0x10, charset, buttonList);
}

void MsgBoxAttention(MsgBoxOwner owner, const std::string& text, const std::string& caption, int charset,
                     const std::string& buttonList, unsigned timeoutMs) {
  MsgBoxShow(owner, text, CaptionOr(caption, 1), timeoutMs, 0x30, charset, buttonList);
}

bool MsgBoxConfirm(MsgBoxOwner owner, const std::string& text, const std::string& caption, int charset,
                   const std::string& buttonList, unsigned timeoutMs) {
  return MsgBoxShow(owner, text, CaptionOr(caption, 2), timeoutMs, 0x24, charset, buttonList) == kResultYes;
}

bool MsgBoxOkCancel(MsgBoxOwner owner, const std::string& text, const std::string& caption, int charset,
                    const std::string& buttonList) {
  return MsgBoxShow(owner, text, CaptionOr(caption, 2), 0, 0x21, charset, buttonList) == kResultOk;
}
