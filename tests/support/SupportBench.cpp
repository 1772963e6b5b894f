// Measures the cost of a disabled trace call, the lines per second of an
// enabled trace and the cost of copying a CString.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ArdoTrace.h"
#include "CString.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The machine is shared: the fastest of several short rounds is the cost of
// the code itself, the others include waiting for the processor.
template <typename Body>
double BestNanoseconds(long perRound, Body body) {
  double best = 1e30;
  for (int round = 0; round < 20; ++round) {
    auto start = Clock::now();
    for (long i = 0; i < perRound; ++i) body(i);
    double ns = Seconds(start) * 1e9 / perRound;
    if (ns < best) best = ns;
  }
  return best;
}

void DisabledCalls() {
  const long n = 10000000;
  double direct = BestNanoseconds(n, [](long i) { g_trc.OutTV2(TRC_INFO, KEB_SIG, TRC_INTERNAL, "", "i=%ld", i); });
  double macro = BestNanoseconds(n, [](long i) {
    KEB_TRACE(TRC_INFO, TRC_INTERNAL, "", "i=%ld", i);
    asm volatile("" ::: "memory");  // re-read the flag each time
  });
  printf("trace disabled (goal < 2 ns): g_trc.OutTV2 call %.2f ns, KEB_TRACE (flag test inline) %.2f ns per call\n",
         direct, macro);
}

void EnabledLines() {
  char dir[] = "/tmp/kebbench-XXXXXX";
  if (!mkdtemp(dir)) return;
  std::string ini = std::string(dir) + "/bench.ini";
  std::string file = std::string(dir) + "/bench.trc";
  if (FILE* f = fopen(ini.c_str(), "w")) {
    fprintf(f, "[TRACE_SETTINGS]\nTrace=1\nTraceFile=%s\nTraceLevel=4\n", file.c_str());
    fclose(f);
  }
  g_trc.Enable_By_Profile(ini.c_str(), true);
  const int n = 50000;
  auto start = Clock::now();
  for (int i = 0; i < n; ++i) g_trc.OutTV2(TRC_INFO, KEB_SIG, TRC_INTERNAL, "bench", "line %d of %d", i, n);
  double seconds = Seconds(start);
  g_trc.Init();
  printf("trace enabled: %.0f lines/s (%d lines, each its own open-append-close)\n", n / seconds, n);
  remove(file.c_str());
  remove(ini.c_str());
  rmdir(dir);
}

void StringCopies() {
  CString original(std::string(1000, 's').c_str());
  const long n = 5000000;
  long shared = 0;
  double perCopy = BestNanoseconds(n, [&](long) {
    CString copy(original);
    shared += static_cast<const char*>(copy) == static_cast<const char*>(original);
    asm volatile("" ::: "memory");
  });
  printf("CString copy of 1000 characters: %.2f ns (copy and release), %s\n", perCopy,
         shared == 20 * n ? "block shared, no allocation" : "NOT shared");
}

}  // namespace

int main() {
  printf("== support library\n");
  DisabledCalls();
  EnabledLines();
  StringCopies();
  return 0;
}
