// The stub's two diagnostic outputs.
//
// Trace: lines written to the standard text output. The Windows binding redirects that
// output to the debug viewer (a window of class ".BDebug."); without a viewer the text
// is dropped. Most trace lines begin with the process id (TracePid).
//
// Agent log: a text file next to the stub, written only when the package asks for it
// (AgentLogging and IsAgent both set). Each line carries the local time, the thread id
// and the indentation (three blanks, or " X " in the running agent).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace stub {

struct LogClock {
  int day = 1, month = 1, year = 2000;  // year with century
  int hour = 0, minute = 0, second = 0;
};

// Stub folder + "X_" + stub name with its extension replaced by ".log"; no second
// "X_" when the name already starts with it (any case).
std::string AgentLogFileName(const std::string& stubPath);

// "dd/mm/yy HH:NN:SS" + blank + thread id right-aligned in 5 + indentation + text + CR LF.
std::string FormatLogLine(const LogClock& clock, std::uint32_t threadId, const std::string& indent,
                          const std::string& text);

inline const char* kLogIndent = "   ";
inline const char* kRunningAgentLogIndent = " X ";

// Process-wide configuration, set once at start-up by the program entry.
struct AgentLogSetup {
  bool enabled = false;        // AgentLogging && IsAgent
  std::string stubPath;        // the log file name is derived from it
  std::string indent = kLogIndent;
};
void ConfigureAgentLog(const AgentLogSetup& setup);
// Where the thread id and the process id come from (the Windows binding installs them).
void SetDebugLogIds(std::function<std::uint32_t()> threadId, std::uint32_t processId);

// Writes text + "\n" to the trace (standard output), flushed at once.
void TraceLine(const std::string& text);
// Same, prefixed with the decimal process id.
void TracePid(const std::string& text);
// Appends one line to the agent log when logging is enabled; otherwise does nothing.
void LogLine(const std::string& text);
// printf-style convenience for log lines with numbers.
void LogLinef(const char* format, ...) __attribute__((format(printf, 1, 2)));

const char* TrueFalse(bool value);  // "TRUE" / "FALSE", as the trace and log write flags

}  // namespace stub
