// Test program for the wine tests (never shipped): shows a message box, the text viewer or
// the progress display from its command-line arguments (name=value) and prints what it
// did on one line: the result code and the rectangles used.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "ui/LanguageStrings.h"
#include "ui/win/LanguageWin.h"
#include "ui/win/MsgBox.h"
#include "ui/win/ProgressWin.h"
#include "ui/win/TextViewer.h"

namespace {

std::map<std::string, std::string> g_args;

std::string Arg(const std::string& name, const std::string& def = "") {
  auto it = g_args.find(name);
  return it == g_args.end() ? def : it->second;
}
long Num(const std::string& name, long def) {
  std::string v = Arg(name);
  return v.empty() ? def : std::strtol(v.c_str(), nullptr, 0);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Rect(const RECT& r) {
  std::ostringstream o;
  o << r.left << "," << r.top << "," << (r.right - r.left) << "," << (r.bottom - r.top);
  return o.str();
}

void Print(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// A plain visible window that plays the box's owner; its timer notes whether it was
// disabled while the box was open.
bool g_ownerDisabledSeen = false;
LRESULT CALLBACK OwnerProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    if (!IsWindowEnabled(w)) g_ownerDisabledSeen = true;
    return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}
HWND MakeOwner() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "UiProbeOwner";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, "UiProbeOwner", "Probe owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                           nullptr, nullptr, wc.hInstance, nullptr);
  SetActiveWindow(w);
  SetTimer(w, 1, 50, nullptr);
  return w;
}

// Helpers that act while the box runs its own loop: they come in as thread timers.
LRESULT g_autoPlayReply = -1;
int g_innerResult = -1;
VOID CALLBACK AskAutoPlay(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_autoPlayReply = SendMessageA(LastMsgBoxReport().box, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0);
}
VOID CALLBACK OpenInnerBox(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_innerResult = MsgBoxShow(1, "Inner box", "Inner", 0, 0x1, 0, "");
}

void SetUpLanguage() {
  const std::string blockFile = Arg("block");
  const std::string block = blockFile.empty() ? std::string() : ReadFile(blockFile);
  LangSetupFromPlatform([block] { return block; });
  MsgBoxSetFont(LangFontName(), LangFontSize(), LangCharset());
}

int RunBox() {
  SetUpLanguage();
  if (!Arg("font").empty() || !Arg("size").empty())
    MsgBoxSetFont(Arg("font", "Tahoma"), static_cast<int>(Num("size", 0)), static_cast<int>(Num("fontcharset", 1)));
  HWND owner = Arg("ownerwindow") == "1" ? MakeOwner() : nullptr;
  std::string text = Arg("textfile").empty() ? Arg("text") : ReadFile(Arg("textfile"));
  const int charset = static_cast<int>(Num("charset", LangCharset()));
  const std::string buttons = g_args.count("buttons") ? Arg("buttons") : LangText("BtnText");
  const MsgBoxOwner mode = static_cast<MsgBoxOwner>(Num("owner", 1));
  const unsigned timeout = static_cast<unsigned>(Num("timeout", 0));
  const std::string front = Arg("front", "show");
  if (Arg("autoplay") == "1") SetTimer(nullptr, 0, 300, AskAutoPlay);
  if (Arg("nested") == "1") SetTimer(nullptr, 0, 300, OpenInnerBox);
  int result = -1;
  if (front == "error") {
    MsgBoxError(mode, text, Arg("caption", LangText("Error")), charset, buttons);
  } else if (front == "attention") {
    MsgBoxAttention(mode, text, Arg("caption", LangText("Attention")), charset, buttons, timeout);
  } else if (front == "confirm") {
    result = MsgBoxConfirm(mode, text, Arg("caption", LangText("Confirm")), charset, buttons, timeout) ? 1 : 0;
  } else if (front == "okcancel") {
    result = MsgBoxOkCancel(mode, text, Arg("caption", LangText("Confirm")), charset, buttons) ? 1 : 0;
  } else {
    result = MsgBoxShow(mode, text, Arg("caption"), timeout, static_cast<uint32_t>(Num("style", 0)), charset, buttons);
  }
  const MsgBoxReport& r = LastMsgBoxReport();
  std::ostringstream o;
  o << "result=" << result << " window=" << Rect(r.window) << " text=" << Rect(r.textArea)
    << " client=" << Rect(r.client) << " area=" << r.area.cx << "," << r.area.cy << " measured=" << r.measured.cx
    << "," << r.measured.cy << " textarea=" << (r.hadTextArea ? 1 : 0) << " bold=" << r.boldRanges
    << " lines=" << r.textLines << " right=" << (r.rightAligned ? 1 : 0) << " rtl=" << (r.rightToLeft ? 1 : 0)
    << " closegreyed=" << (r.closeGreyed ? 1 : 0);
  if (g_autoPlayReply != -1) o << " autoplay=" << g_autoPlayReply;
  if (g_innerResult != -1) o << " inner=" << g_innerResult;
  if (owner) {
    o << " owner_disabled_during=" << (g_ownerDisabledSeen ? 1 : 0) << " owner_enabled_after=" << (IsWindowEnabled(owner) ? 1 : 0)
      << " owner_active_after=" << (GetActiveWindow() == owner ? 1 : 0);
  }
  Print(o.str());
  return 0;
}

int RunViewer() {
  std::string text = Arg("textfile").empty() ? Arg("text") : ReadFile(Arg("textfile"));
  bool shown = TextViewerShow(nullptr, Arg("caption", "Viewer"), Arg("label", "Open"), static_cast<int>(Num("charset", 0)),
                              static_cast<int>(Num("size", 8)), Arg("font", "Tahoma"), Arg("rtl") == "1",
                              static_cast<int>(Num("height", 300)), static_cast<int>(Num("width", 500)), Arg("link"), text);
  const TextViewerReport& r = LastTextViewerReport();
  Print("shown=" + std::to_string(shown ? 1 : 0) + " window=" + Rect(r.window) + " text=" + Rect(r.textArea) +
        " button=" + Rect(r.button) + " hadbutton=" + std::to_string(r.hadButton ? 1 : 0) +
        " openedlink=" + std::to_string(r.openedLink ? 1 : 0));
  return 0;
}

int RunProgress() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  HWND window = CreateWindowExA(0, "STATIC", "Progress probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 492, 110,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND label = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 70, 20, 340, 18, window, nullptr, nullptr, nullptr);
  HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 70, 38, 392, 13, window, nullptr, nullptr, nullptr);
  HWND activity = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 416, 20, 46, 13, window, nullptr, nullptr, nullptr);
  ProgressUseBars(bar, activity);
  const int steps = static_cast<int>(Num("steps", 6));
  TProgBar& progress = ProcessProgBar();
  progress.Start(static_cast<int>(Num("position", 0)), static_cast<int>(Num("maximum", 100)));
  for (int i = 0; i < steps; ++i) progress.Step("item");
  const int charset = static_cast<int>(Num("charset", 0));
  SetProgressLabel(label, Arg("label", "Extracting Files..."), "Tahoma", charset, 8);
  PBRANGE range{};
  SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const LONG style = GetWindowLongA(label, GWL_STYLE), ex = GetWindowLongA(label, GWL_EXSTYLE);
  std::ostringstream o;
  o << "range=" << range.iLow << "," << range.iHigh << " main=" << SendMessageA(bar, PBM_GETPOS, 0, 0)
    << " activity=" << SendMessageA(activity, PBM_GETPOS, 0, 0) << " label_right=" << ((style & SS_RIGHT) ? 1 : 0)
    << " label_rtl=" << ((ex & WS_EX_RTLREADING) ? 1 : 0);
  char text[256] = {};
  GetWindowTextA(label, text, sizeof(text));
  o << " label=" << text;
  progress.Finish();
  o << " after_finish=" << SendMessageA(bar, PBM_GETPOS, 0, 0) << "," << SendMessageA(activity, PBM_GETPOS, 0, 0);
  Print(o.str());
  DestroyWindow(window);
  return 0;
}

int RunLanguage() {
  SetUpLanguage();
  Print("system=" + SystemLanguageName() + " s0=" + LangText("s0") + " charset=" + std::to_string(LangCharset()) +
        " size=" + std::to_string(LangFontSize()) + " font=" + LangFontName() +
        " ini=" + IniLangText("RunTimeDir_01", "RunTimeDir (<?>)<P><P>Not Found!", "C:\\RT"));
  return 0;
}

// Finds another program's top-level window whose class name ends with `suffix` (the
// stub's main window class is its full path) and prints its title and reading order.
struct FoundWindow {
  std::string suffix;
  HWND window = nullptr;
};
BOOL CALLBACK MatchClass(HWND w, LPARAM lp) {
  auto* found = reinterpret_cast<FoundWindow*>(lp);
  char cls[512] = {};
  const int n = GetClassNameA(w, cls, sizeof(cls));
  std::string name(cls, n > 0 ? n : 0);
  if (name.size() >= found->suffix.size() &&
      lstrcmpiA(name.c_str() + name.size() - found->suffix.size(), found->suffix.c_str()) == 0) {
    found->window = w;
    return FALSE;
  }
  return TRUE;
}

int RunMainWindowQuery() {
  FoundWindow found;
  found.suffix = Arg("suffix");
  const DWORD start = GetTickCount();
  while (!found.window && GetTickCount() - start < static_cast<DWORD>(Num("timeout", 10000))) {
    EnumWindows(MatchClass, reinterpret_cast<LPARAM>(&found));
    if (!found.window) Sleep(10);
  }
  if (!found.window) {
    Print("found=0");
    return 1;
  }
  char title[512] = {};
  GetWindowTextA(found.window, title, sizeof(title));
  const LONG ex = GetWindowLongA(found.window, GWL_EXSTYLE);
  Print(std::string("found=1 rtl=") + ((ex & WS_EX_RTLREADING) ? "1" : "0") + " title=" + title);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    size_t eq = a.find('=');
    if (eq == std::string::npos) {
      std::fprintf(stderr, "argument without '=': %s\n", a.c_str());
      return 2;
    }
    g_args[a.substr(0, eq)] = a.substr(eq + 1);
  }
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "box") return RunBox();
  if (mode == "viewer") return RunViewer();
  if (mode == "progress") return RunProgress();
  if (mode == "language") return RunLanguage();
  if (mode == "mainwindow") return RunMainWindowQuery();
  std::fprintf(stderr, "usage: ui_probe box|viewer|progress|language name=value...\n");
  return 2;
}
