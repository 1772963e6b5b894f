#include "update/DownloadAbort.h"

#include <atomic>

namespace stub {

namespace {
std::atomic<bool> g_downloadAbortRequested{false};
}

bool DownloadAbortRequested() { return g_downloadAbortRequested.load(); }
void SetDownloadAbortRequested(bool requested) { g_downloadAbortRequested.store(requested); }

}  // namespace stub
