// The BIOS services behind the simulated BIOS API driver.
#pragma once

#include <string>

#include "machine.h"

namespace kebsim {

struct BiosCall {
  Bytes ctrlIn;            // copy of the caller's control input
  Bytes dataIn;            // copy of the caller's data input
  Bytes dataOut;           // starts as the caller's data output; written back afterwards
  uint32_t signatureOut = 0;
  uint8_t status = 0;      // general status (0 success, 1 BIOS error, 3 not supported)
  uint16_t errorCode = 0;  // service-specific error code
  bool changed = false;    // the machine's persistent state changed
};

// Runs one service request against the machine.
void ServeBios(Machine& m, BiosCall& call);

// "VRXNV" for a service signature, "0x12345678" for anything else.
std::string ServiceName(uint32_t signature);

}  // namespace kebsim
