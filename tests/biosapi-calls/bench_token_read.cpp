// Calls per second of DRV_NvramReadTokenBitArray through the simulated driver,
// against a bare ioctl loop with a prepared record on the same device. The
// difference per call is the layer's own overhead.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "keb_inter.h"
#include "kebbapi_inter.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

}  // namespace

int main(int argc, char** argv) {
  const long n = argc > 1 ? std::atol(argv[1]) : 200000;
  unsetenv("KEBSIM_LOG");  // the bare device, without a request log
  unsetenv("KEBSIM_CONFIG");
  unsetenv("KEBSIM_STATE");
#ifdef KEBSIM_PRELOAD
  // Started without the simulator (as by "./run bench"): start again with it.
  if (!getenv("KEB_BENCH_REEXEC")) {
    setenv("KEB_BENCH_REEXEC", "1", 1);
    setenv("LD_PRELOAD", KEBSIM_PRELOAD, 1);
    execv("/proc/self/exe", argv);
  }
#endif
  int fd = -1;
  uint32_t version = 0;
  if (DRV_Connect("/dev/kebbapi", &fd, &version) != 0) {
    std::fprintf(stderr, "bench_token_read: /dev/kebbapi cannot be opened; run with LD_PRELOAD=libkebsim.so\n");
    return 1;
  }

  // Bare loop: one record and buffers prepared once, as cheap as a client can be.
  std::vector<uint8_t> in(1024, 0), out(1024, 0), data(4, 0);
  uint32_t sig = BAPI_SIG_VRXNV, code = 3;
  uint16_t token = 0x10;
  std::memcpy(&in[2], &sig, 4);
  std::memcpy(&in[6], &code, 4);
  std::memcpy(&in[10], &token, 2);
  tagDrvBapiControl rec;
  std::memset(&rec, 0, sizeof rec);
  rec.pCtrlIn = reinterpret_cast<uintptr_t>(in.data());
  rec.ulCtrlInLength = 1024;
  rec.pCtrlOut = reinterpret_cast<uintptr_t>(out.data());
  rec.ulCtrlOutLength = 1024;
  rec.pDataOut = reinterpret_cast<uintptr_t>(data.data());
  rec.ulDataOutLength = 4;

  for (int i = 0; i < 1000; ++i) ioctl(fd, BIOS_API_IOC_CALL, &rec);  // warm-up
  auto t0 = std::chrono::steady_clock::now();
  for (long i = 0; i < n; ++i) ioctl(fd, BIOS_API_IOC_CALL, &rec);
  auto t1 = std::chrono::steady_clock::now();
  USHORT value = 0;
  long failures = 0;
  for (long i = 0; i < n; ++i) failures += DRV_NvramReadTokenBitArray(fd, 0x10, &value) != 0;
  auto t2 = std::chrono::steady_clock::now();
  DRV_Disconnect(fd);

  double bare = Seconds(t0, t1), layer = Seconds(t1, t2);
  std::printf("DRV_NvramReadTokenBitArray through the simulator (%ld calls, %ld failed)\n", n, failures);
  std::printf("  bare ioctl loop : %10.0f calls/s  (%.3f us/call)\n", n / bare, 1e6 * bare / n);
  std::printf("  call layer      : %10.0f calls/s  (%.3f us/call)\n", n / layer, 1e6 * layer / n);
  std::printf("  ratio layer/bare: %.2f   layer overhead: %.3f us/call (goal: under 2 us)\n", layer / bare,
              1e6 * (layer - bare) / n);
  return failures ? 1 : 0;
}
