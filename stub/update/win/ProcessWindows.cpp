#include "update/win/ProcessWindows.h"

#include <tlhelp32.h>

#include <vector>

#include "update/MainWindowChoice.h"
#include "util/AsciiText.h"

namespace stub {

namespace {

std::string CleanProgramPath(const std::string& program) {
  std::string path = TrimBlanks(program);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  return TrimBlanks(path);
}

std::string ShortPath(const std::string& path) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  return (n > 0 && n < sizeof buffer) ? std::string(buffer, n) : std::string();
}

std::string ProcessImagePath(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return std::string();
  char buffer[MAX_PATH * 2] = {};
  DWORD size = sizeof buffer;
  std::string path;
  if (QueryFullProcessImageNameA(process, 0, buffer, &size)) path.assign(buffer, size);
  CloseHandle(process);
  return path;
}

bool SameProgram(const std::string& wanted, const std::string& wantedShort, const std::string& image) {
  if (image.empty()) return false;
  if (AsciiEqualsNoCase(TrimBlanks(image), wanted)) return true;
  if (wantedShort.empty()) return false;
  const std::string imageShort = ShortPath(image);
  return !imageShort.empty() && AsciiEqualsNoCase(imageShort, wantedShort);
}

// Process ids whose executable is program, in snapshot order.
std::vector<DWORD> ProcessesOf(const std::string& program) {
  std::vector<DWORD> ids;
  const std::string wanted = CleanProgramPath(program);
  if (wanted.empty()) return ids;
  const std::string wantedShort = ShortPath(wanted);
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (SameProgram(wanted, wantedShort, ProcessImagePath(entry.th32ProcessID))) ids.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return ids;
}

struct WindowCollection {
  DWORD pid;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* collection = reinterpret_cast<WindowCollection*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == collection->pid && collection->windows.size() < kMaxAnalysedWindows)
    collection->windows.push_back(window);
  return TRUE;
}

}  // namespace

bool IsProcessRunning(const std::string& program) { return !ProcessesOf(program).empty(); }

HWND FindMainWindow(const std::string& program) {
  const std::vector<DWORD> ids = ProcessesOf(program);
  if (ids.empty()) return nullptr;
  WindowCollection collection{ids.front(), {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&collection));
  std::vector<TopLevelWindow> analysed;
  for (HWND window : collection.windows) {
    TopLevelWindow w;
    w.handle = reinterpret_cast<std::uintptr_t>(window);
    HWND owner = GetWindow(window, GW_OWNER);
    for (int depth = 0; owner && depth < 64; ++depth) {  // bounded: owner chains are short
      w.topmostOwner = reinterpret_cast<std::uintptr_t>(owner);
      owner = GetWindow(owner, GW_OWNER);
    }
    w.hasTitle = GetWindowTextLengthA(window) > 0;
    w.visible = IsWindowVisible(window) != FALSE;
    analysed.push_back(w);
  }
  const int best = ChooseMainWindow(analysed);
  return best < 0 ? nullptr : collection.windows[static_cast<std::size_t>(best)];
}

}  // namespace stub
