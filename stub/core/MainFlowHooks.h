// The places where the stub's start-up and main window hand work to other parts of the
// stub. Each part that implements one of these installs its function once at the start
// of the program entry (core/win/WinMain.cpp, before RunStub). A hook left empty means
// the part is not present; the main flow then does the documented minimum (for the
// timer: stop the timer and end the message loop).
//
// Window handles travel as std::uintptr_t so that this header stays free of windows.h.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace stub {

struct MainFlowHooks {
  // Timer step of a plain stub (runs the package once; ends the message loop itself).
  std::function<void(std::uintptr_t mainWindow)> runPlainPackage;
  // Timer step of an agent (one tick per second).
  std::function<void(std::uintptr_t mainWindow)> agentTick;
  // Messages 0x463, 0x464 and 0x465 sent to the main window; the result of 0x465 is the
  // window procedure's result.
  std::function<std::intptr_t(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)> agentControl;
  // "/SleepX=" n >= 0: the agent's initial delay counter becomes -n.
  std::function<void(std::int64_t initialTickCount)> setAgentTickCount;
  // The running agent's test-mode check before its window runs.
  std::function<void()> agentTestModeCheck;
  // Notification of the agent's registered target window (code, value).
  std::function<void(int code, int value)> notifyAgentTarget;
  // "/TRANSIENTx=" value handed to the update settings.
  std::function<void(const std::string& value)> applyTransientSettings;
  // Closes the HTTP connection after the message loop.
  std::function<void()> closeHttp;
  // Sets the message-box font from the language entry (after the main window exists).
  std::function<void()> setMessageBoxFont;
  // Main window title; empty hook: the built-in "s0" default.
  std::function<std::string()> mainWindowTitle;
  // Character set of the language entry (177 and 178 lay the window out right-to-left).
  std::function<int()> languageCharset;
};

MainFlowHooks& Hooks();

// Built-in default of the main window title (language key "s0").
inline const char* kDefaultMainWindowTitle = "Brisel Installation Suite";

// The process exit code: the engine's exit code when an engine ran, otherwise 0.
void SetStubExitCode(std::uint32_t code);
std::uint32_t StubExitCode();

}  // namespace stub
