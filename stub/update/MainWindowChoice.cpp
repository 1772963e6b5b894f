#include "update/MainWindowChoice.h"

namespace stub {

int ChooseMainWindow(const std::vector<TopLevelWindow>& windows) {
  const std::size_t n = windows.size() < kMaxAnalysedWindows ? windows.size() : kMaxAnalysedWindows;
  std::vector<long> score(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uintptr_t owner = windows[i].topmostOwner ? windows[i].topmostOwner : windows[i].handle;
    for (std::size_t j = 0; j < n; ++j) {
      if (windows[j].handle == owner) {
        ++score[j];
        break;
      }
    }
  }
  int best = -1;
  long bestScore = 0;
  for (std::size_t i = 0; i < n; ++i) {
    score[i] = score[i] * 4 + (windows[i].hasTitle ? 2 : 0) + (windows[i].visible ? 1 : 0);
    if (score[i] > bestScore) {
      bestScore = score[i];
      best = static_cast<int>(i);
    }
  }
  return best;
}

}  // namespace stub
