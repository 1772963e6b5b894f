// Fuzzes the simulator's own input handling: settings text and service
// requests with arbitrary control and data buffers. None may crash or
// touch memory outside the buffers it was given.
#include <cstdint>
#include <cstring>
#include <string>

#include "bios.h"
#include "machine.h"
#include "settings.h"
#include "sim_wire.h"

using namespace kebsim;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const Machine base = DefaultMachine();
  const uint8_t mode = data[0] % 2;
  ++data;
  --size;
  Machine m = base;
  if (mode == 0) {
    // Settings text; file references stay inside a folder that does not exist.
    std::string error;
    ApplySettingsText(std::string(reinterpret_cast<const char*>(data), size), "/nonexistent-kebsim-fuzz",
                      "fuzz", m, error);
    return 0;
  }
  // A service request: signature choice, service code, parameter, buffer sizes, then data.
  static const uint32_t sigs[] = {kSigVRXNV, kSigVRXQD, kSigVRXAC, kSigVRXBS, kSigVRXFA,
                                  kSigVRXFI, kSigVRXFU, kSigVRXOD, kSigVRXCC, 0x12345678};
  if (size < 12) return 0;
  BiosCall call;
  call.ctrlIn.assign(1024, 0);
  uint32_t sig = sigs[data[0] % (sizeof sigs / sizeof sigs[0])];
  Store<uint32_t>(&call.ctrlIn[ctl::kSignature], sig);
  std::memcpy(&call.ctrlIn[ctl::kServiceCode], data + 1, 4);
  std::memcpy(&call.ctrlIn[ctl::kParam], data + 5, 4);
  size_t inLen = Load<uint16_t>(data + 9) % 4096;
  size_t outLen = data[11] * 4u;
  if (data[11] == 255) outLen = 70000;  // room for a whole flash image
  data += 12;
  size -= 12;
  call.dataIn.assign(data, data + std::min(size, inLen));
  call.dataOut.assign(outLen, 0xA5);
  ServeBios(m, call);
  if (call.dataOut.size() != outLen) __builtin_trap();  // the BIOS never resizes the caller's buffer
  return 0;
}
