// The stub's hidden main window: its class, child controls, one-second timer, window
// procedure and message loop.
#pragma once
#include <windows.h>

#include <string>

namespace stub {

struct MainWindowSetup {
  std::string className;  // also the single-instance key
  bool isAgent = false;   // timer: agent tick instead of the plain package run
};

// Handles other parts draw into (progress display, message boxes).
struct MainWindowHandles {
  HWND window = nullptr;
  HWND statusText = nullptr;   // static text, font "Tahoma" -11
  HWND progressBar = nullptr;  // visible progress bar
  HWND activityBar = nullptr;  // small activity bar, hidden until asked for
  HFONT statusFont = nullptr;
};
const MainWindowHandles& MainWindow();

// Registers the class, creates the window hidden and runs the message loop until the
// loop is ended (quit message or stop flag). Afterwards: timer killed, HTTP abort flag
// set, HTTP connection closed, agent target notified (43, 0), window destroyed.
void RunMainWindow(const MainWindowSetup& setup);

// Outer size and position: 492 x 110, centred in the work area.
constexpr int kMainWindowWidth = 492;
constexpr int kMainWindowHeight = 110;
constexpr UINT_PTR kMainTimerId = 1;

}  // namespace stub
