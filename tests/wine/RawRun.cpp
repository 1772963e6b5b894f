// Starts a program with an exact raw command line and hands back its exit code.
// `wine prog.exe args` re-quotes its arguments; this launcher takes the command line
// verbatim from the environment variable KEB_RAW_CMDLINE instead.
//
//   rawrun.exe            (KEB_RAW_CMDLINE = the full command line, program first)
// Exit code: the program's exit code; 250 when the variable is missing, 251 when the
// program cannot be started.
#include <windows.h>

#include <vector>

int main() {
  const DWORD size = GetEnvironmentVariableA("KEB_RAW_CMDLINE", nullptr, 0);
  if (size == 0) return 250;
  std::vector<char> commandLine(size + 1);
  GetEnvironmentVariableA("KEB_RAW_CMDLINE", commandLine.data(), size + 1);
  SetEnvironmentVariableA("KEB_RAW_CMDLINE", nullptr);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 251;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}
