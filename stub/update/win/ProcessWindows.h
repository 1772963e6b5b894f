// Finding a running program by the path of its executable, and its main window.
#pragma once
#include <windows.h>

#include <string>

namespace stub {

// Whether a process runs whose executable is program (full path compared trimmed,
// without quotes and without regard to case, or by short 8.3 names).
bool IsProcessRunning(const std::string& program);
// The main top-level window of the first process whose executable is program; nullptr
// when there is no such process or no window qualifies.
HWND FindMainWindow(const std::string& program);

}  // namespace stub
