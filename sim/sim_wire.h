// Byte layouts that pass between a client and the two simulated drivers.
// The simulator keeps its own copy of these: it stands in for kernel code that
// shares no source with the libraries it answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kebsim {

constexpr unsigned long kIoctlGetVersion = 0x4204;
constexpr unsigned long kIoctlBiosDataRead = 0x420E;
constexpr unsigned long kIoctlBapiCall = 0x4209;

constexpr const char* kBapiDevice = "/dev/kebbapi";
constexpr const char* kDataDevice = "/dev/kebdata";
constexpr const char* kSmbiosPrefix = "/proc/smbios/raw/";

// Request record of a BIOS API call (packed, 56 bytes).
namespace rec {
constexpr size_t kCtrlIn = 0, kCtrlInLen = 8, kCtrlOut = 12, kCtrlOutLen = 20;
constexpr size_t kDataIn = 24, kDataInLen = 32, kDataOut = 36, kDataOutLen = 44;
constexpr size_t kUseMap = 48, kDrvStatus = 52, kSize = 56;
}  // namespace rec

// Header shared by the control buffers.
namespace ctl {
constexpr size_t kAllocLen = 0, kSignature = 2, kServiceCode = 6, kParam = 10;
constexpr size_t kStatus = 10, kErrorCode = 11, kHeaderSize = 13;
}  // namespace ctl

// Version record (6 bytes) and BIOS data read record (18 bytes).
constexpr size_t kVersionSize = 6;
constexpr size_t kDataReadSize = 18;

// The BIOS memory area that the data driver exposes.
constexpr uint32_t kAreaBase = 0xE0000;
constexpr uint32_t kAreaSize = 0x20000;

// Service signatures: the five-letter names read as little-endian words.
constexpr uint32_t kSigVRXNV = 0x5A584E56, kSigVRXQD = 0x5A585144, kSigVRXAC = 0x5A584143;
constexpr uint32_t kSigVRXBS = 0x5A584253, kSigVRXFA = 0x5A584641, kSigVRXFI = 0x5A584649;
constexpr uint32_t kSigVRXFU = 0x5A584655, kSigVRXOD = 0x5A584F44, kSigVRXCC = 0x5A584343;

// Driver status meaning "invalid parameter for I/O control".
constexpr uint32_t kDrvStatusBadParam = 26;

template <typename T>
T Load(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <typename T>
void Store(uint8_t* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

}  // namespace kebsim
