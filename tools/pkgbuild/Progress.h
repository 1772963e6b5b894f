#pragma once
#include <chrono>
#include <cstdint>
#include <cstdio>

// A one-line progress bar on stderr, drawn only when stderr is a terminal and
// the work is large enough to be worth watching.
class Progress {
public:
    Progress(uint64_t total, bool enabled);
    ~Progress();
    void Advance(uint64_t amount);
    void Finish();

private:
    void Draw();
    uint64_t total_, done_ = 0;
    bool active_;
    std::chrono::steady_clock::time_point lastDraw_{};
};
