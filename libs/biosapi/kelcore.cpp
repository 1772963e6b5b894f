#include "kelcore.h"

#include <cstddef>

namespace {

struct CodeText {
  unsigned short code;
  const char* text;
};

struct ServiceTexts {
  unsigned int signature;
  const CodeText* codes;
  size_t count;
  const char* unknown;
};

const CodeText kNv[] = {
    {0, "VRXNV: Success"},
    {1, "VRXNV: ENUM not found"},
    {2, "VRXNV: Token not found"},
    {3, "VRXNV: Illegal Token"},
    {4, "VRXNV: Media not available"},
    {5, "VRXNV: Physical buffer to small"},
    {6, "VRXNV: Incorrect OMF file header"},
    {7, "VRXNV: Incomplete NV-Data Structure"},
};
const CodeText kFu[] = {
    {0, "VRXFU: Success"},
    {1, "VRXFU: Flash archive error (buffer overflow)"},
    {0x100, "VRXFU: Flash programming error"},
    {0x200, "VRXFU: Flash permission failure"},
};
const CodeText kFa[] = {
    {0, "VRXFA: Success"},
    {1, "VRXFA: Flash archive error (buffer overflow)"},
    {2, "VRXFA: Flash permission failure"},
};
const CodeText kOn[] = {
    {0, "VRXON: Success"},
    {1, "VRXON: Function Disabled in BIOS Setup"},
    {2, "VRXON: Function not supported"},
    {3, "VRXON: RTC Chip Time Range Overflow"},
};
const CodeText kQd[] = {{0, "VRXQD: Success"}};
const CodeText kAc[] = {{0, "VRXAC: Success"}};
const CodeText kBs[] = {{0, "VRXBS: Success"}};
const CodeText kCc[] = {{0, "VRXCC: Success"}};
const CodeText kDs[] = {{0, "VRXDS: Success"}};
const CodeText kEv[] = {{0, "VRXEV: Success"}};
const CodeText kFi[] = {{0, "VRXFI: Success"}};
const CodeText kMe[] = {{0, "VRXME: Success"}};
const CodeText kOd[] = {{0, "VRXOD: Success"}};
const CodeText kSm[] = {{0, "VRXSM: Success"}};
const CodeText kTest[] = {{0, "TEST: Success"}};

#define KEB_SERVICE(sig, table, unknown) {sig, table, sizeof(table) / sizeof(table[0]), unknown}

const ServiceTexts kServices[] = {
    KEB_SERVICE(0x5A584E56, kNv, "VRXNV: <unknown>"),
    KEB_SERVICE(0x5A584655, kFu, "VRXFU: <unknown>"),
    KEB_SERVICE(0x5A584641, kFa, "VRXFA: <unknown>"),
    KEB_SERVICE(0x5A584F4E, kOn, "VRXON: <unknown>"),
    KEB_SERVICE(0x5A585144, kQd, "VRXQD: <unknown>"),
    KEB_SERVICE(0x5A584143, kAc, "VRXAC: <unknown>"),
    KEB_SERVICE(0x5A584253, kBs, "VRXBS: <unknown>"),
    KEB_SERVICE(0x5A584343, kCc, "VRXCC: <unknown>"),
    KEB_SERVICE(0x5A584453, kDs, "VRXDS: <unknown>"),
    KEB_SERVICE(0x5A584556, kEv, "VRXEV: <unknown>"),
    KEB_SERVICE(0x5A584649, kFi, "VRXFI: <unknown>"),
    KEB_SERVICE(0x5A584D45, kMe, "VRXME: <unknown>"),
    KEB_SERVICE(0x5A584F44, kOd, "VRXOD: <unknown>"),
    KEB_SERVICE(0x5A58534D, kSm, "VRXSM: <unknown>"),
    KEB_SERVICE(0x99999999, kTest, "TEST: <unknown>"),
};

}  // namespace

const char* BapiGeneralStatus2Str(unsigned char status) {
  switch (status) {
    case 0: return "Success";
    case 1: return "BIOS generated error";
    case 2: return "Hardware generated error";
    case 3: return "Service not supported";
    default: return "Unspecified error";
  }
}

const char* BapiSpecificErrorCode2Str(unsigned int signature, unsigned short code) {
  for (const ServiceTexts& s : kServices) {
    if (s.signature != signature) continue;
    for (size_t i = 0; i < s.count; ++i)
      if (s.codes[i].code == code) return s.codes[i].text;
    return s.unknown;
  }
  return "Unknown signature";
}
