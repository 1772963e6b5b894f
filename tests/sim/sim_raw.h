// Raw requests to the simulated devices, built by hand as a client would.
#pragma once

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace simtest {

struct RawCall {
  std::vector<uint8_t> ctrlIn = std::vector<uint8_t>(1024, 0);
  std::vector<uint8_t> ctrlOut = std::vector<uint8_t>(1024, 0);
  std::vector<uint8_t> dataIn, dataOut;
  uint8_t record[56] = {};

  RawCall(uint32_t sig, uint32_t code, uint16_t param = 0) {
    std::memcpy(&ctrlIn[2], &sig, 4);
    std::memcpy(&ctrlIn[6], &code, 4);
    std::memcpy(&ctrlIn[10], &param, 2);
    std::memcpy(&ctrlOut[2], &sig, 4);
  }
  void Fill() {
    auto put = [&](size_t off, const void* p, uint32_t len) {
      uint64_t a = reinterpret_cast<uintptr_t>(p);
      std::memcpy(record + off, &a, 8);
      std::memcpy(record + off + 8, &len, 4);
    };
    put(0, ctrlIn.data(), uint32_t(ctrlIn.size()));
    put(12, ctrlOut.data(), uint32_t(ctrlOut.size()));
    put(24, dataIn.empty() ? nullptr : dataIn.data(), uint32_t(dataIn.size()));
    put(36, dataOut.empty() ? nullptr : dataOut.data(), uint32_t(dataOut.size()));
  }
  int Issue(int fd) {
    Fill();
    return ioctl(fd, 0x4209, record);
  }
  uint32_t DrvStatus() const { uint32_t v; std::memcpy(&v, record + 52, 4); return v; }
  uint32_t Signature() const { uint32_t v; std::memcpy(&v, &ctrlOut[2], 4); return v; }
  uint8_t Status() const { return ctrlOut[10]; }
  uint16_t ErrorCode() const { uint16_t v; std::memcpy(&v, &ctrlOut[11], 2); return v; }
};

constexpr uint32_t kNV = 0x5A584E56, kBS = 0x5A584253, kQD = 0x5A585144, kFU = 0x5A584655;

}  // namespace simtest
