#include "Progress.h"

#include <unistd.h>

#include <string>

namespace {
constexpr uint64_t kWorthShowing = 8ull << 20;  // builds below 8 MiB finish too fast to watch
}

Progress::Progress(uint64_t total, bool enabled)
    : total_(total), active_(enabled && total >= kWorthShowing && isatty(STDERR_FILENO)) {}

Progress::~Progress() { Finish(); }

void Progress::Advance(uint64_t amount) {
    done_ += amount;
    if (!active_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ < std::chrono::milliseconds(100) && done_ < total_) return;
    lastDraw_ = now;
    Draw();
}

void Progress::Draw() {
    const int width = 40;
    const uint64_t shown = done_ > total_ ? total_ : done_;
    const int filled = total_ ? static_cast<int>(shown * width / total_) : width;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(width - filled), ' ');
    std::fprintf(stderr, "\r[%s] %3d%% %llu/%llu MiB", bar.c_str(),
                 total_ ? static_cast<int>(shown * 100 / total_) : 100,
                 static_cast<unsigned long long>(shown >> 20), static_cast<unsigned long long>(total_ >> 20));
    std::fflush(stderr);
}

void Progress::Finish() {
    if (!active_) return;
    Draw();
    std::fprintf(stderr, "\n");
    active_ = false;
}
