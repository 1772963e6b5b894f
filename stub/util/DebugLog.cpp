#include "util/DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <mutex>

#include "util/AsciiText.h"
#include "util/PathText.h"

namespace stub {

namespace {

struct DebugLogState {
  std::mutex lock;
  bool logEnabled = false;
  std::string logFile;
  std::string indent = kLogIndent;
  std::function<std::uint32_t()> threadId;
  std::uint32_t processId = 0;
};

DebugLogState& State() {
  static DebugLogState state;
  return state;
}

LogClock LocalNow() {
  LogClock clock;
  std::time_t now = std::time(nullptr);
  std::tm parts{};
#ifdef _WIN32
  localtime_s(&parts, &now);
#else
  localtime_r(&now, &parts);
#endif
  clock.day = parts.tm_mday;
  clock.month = parts.tm_mon + 1;
  clock.year = parts.tm_year + 1900;
  clock.hour = parts.tm_hour;
  clock.minute = parts.tm_min;
  clock.second = parts.tm_sec;
  return clock;
}

}  // namespace

std::string AgentLogFileName(const std::string& stubPath) {
  const std::string name = FileNamePart(stubPath);
  const std::string prefix = AsciiStartsWithNoCase(name, "X_") ? "" : "X_";
  return FolderPart(stubPath) + prefix + WithoutLastExtension(name) + ".log";
}

std::string FormatLogLine(const LogClock& c, std::uint32_t threadId, const std::string& indent,
                          const std::string& text) {
  char head[64];
  std::snprintf(head, sizeof head, "%02d/%02d/%02d %02d:%02d:%02d %5lu", c.day % 100, c.month % 100,
                c.year % 100, c.hour % 100, c.minute % 100, c.second % 100,
                static_cast<unsigned long>(threadId));
  return head + indent + text + "\r\n";
}

void ConfigureAgentLog(const AgentLogSetup& setup) {
  DebugLogState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.logEnabled = setup.enabled;
  s.logFile = setup.enabled ? AgentLogFileName(setup.stubPath) : std::string();
  s.indent = setup.indent;
}

void SetDebugLogIds(std::function<std::uint32_t()> threadId, std::uint32_t processId) {
  DebugLogState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.threadId = std::move(threadId);
  s.processId = processId;
}

void TraceLine(const std::string& text) {
  std::cout << text << '\n' << std::flush;
}

void TracePid(const std::string& text) {
  std::uint32_t pid;
  {
    std::lock_guard<std::mutex> guard(State().lock);
    pid = State().processId;
  }
  TraceLine(std::to_string(pid) + text);
}

void LogLine(const std::string& text) {
  DebugLogState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (!s.logEnabled || s.logFile.empty()) return;
  const std::uint32_t tid = s.threadId ? s.threadId() : 0;
  const std::string line = FormatLogLine(LocalNow(), tid, s.indent, text);
  if (std::FILE* f = std::fopen(s.logFile.c_str(), "ab")) {
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
  }
}

void LogLinef(const char* format, ...) {
  char text[4096];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  LogLine(text);
}

const char* TrueFalse(bool value) { return value ? "TRUE" : "FALSE"; }

}  // namespace stub
