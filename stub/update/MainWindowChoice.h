// Choosing a process's main window among its top-level windows (window analyser).
#pragma once
#include <cstdint>
#include <vector>

namespace stub {

struct TopLevelWindow {
  std::uintptr_t handle = 0;
  std::uintptr_t topmostOwner = 0;  // end of the owner chain; 0 when the window has no owner
  bool hasTitle = false;
  bool visible = false;
};

// Every collected window adds 1 to the score of its topmost owner when that owner is in
// the list (a window without owner counts for itself); scores are multiplied by 4, then
// +2 for a non-empty title, +1 when visible. Highest score wins, the first on a tie;
// -1 when every score is 0.
int ChooseMainWindow(const std::vector<TopLevelWindow>& windows);

constexpr std::size_t kMaxAnalysedWindows = 2001;

}  // namespace stub
