// Texts of the BIOS general status and of the service error codes.
#include <gtest/gtest.h>

#include "kelcore.h"

namespace {

TEST(BapiStatusText, GeneralStatus) {
  const std::pair<unsigned char, const char*> cases[] = {
      {0, "Success"}, {1, "BIOS generated error"}, {2, "Hardware generated error"},
      {3, "Service not supported"}, {4, "Unspecified error"}, {255, "Unspecified error"}};
  for (auto& c : cases) EXPECT_STREQ(c.second, BapiGeneralStatus2Str(c.first)) << int(c.first);
}

TEST(BapiStatusText, ServiceErrorCodes) {
  struct Case {
    unsigned sig;
    unsigned short code;
    const char* text;
  };
  const Case cases[] = {
      {0x5A584E56, 0, "VRXNV: Success"},
      {0x5A584E56, 5, "VRXNV: Physical buffer to small"},
      {0x5A584E56, 7, "VRXNV: Incomplete NV-Data Structure"},
      {0x5A584E56, 8, "VRXNV: <unknown>"},
      {0x5A584655, 1, "VRXFU: Flash archive error (buffer overflow)"},
      {0x5A584655, 2, "VRXFU: <unknown>"},
      {0x5A584655, 0x100, "VRXFU: Flash programming error"},
      {0x5A584655, 0x200, "VRXFU: Flash permission failure"},
      {0x5A584641, 2, "VRXFA: Flash permission failure"},
      {0x5A584641, 0x200, "VRXFA: <unknown>"},
      {0x5A584F4E, 1, "VRXON: Function Disabled in BIOS Setup"},
      {0x5A584F4E, 3, "VRXON: RTC Chip Time Range Overflow"},
      {0x5A585144, 0, "VRXQD: Success"},
      {0x5A585144, 1, "VRXQD: <unknown>"},
      {0x5A584143, 9, "VRXAC: <unknown>"},
      {0x5A584253, 0, "VRXBS: Success"},
      {0x5A584343, 0, "VRXCC: Success"},
      {0x5A584453, 1, "VRXDS: <unknown>"},
      {0x5A584556, 0, "VRXEV: Success"},
      {0x5A584649, 2, "VRXFI: <unknown>"},
      {0x5A584D45, 0, "VRXME: Success"},
      {0x5A584F44, 0, "VRXOD: Success"},
      {0x5A58534D, 1, "VRXSM: <unknown>"},
      {0x99999999, 0, "TEST: Success"},
      {0x99999999, 4, "TEST: <unknown>"},
      {0, 0, "Unknown signature"},
      {0, 5, "Unknown signature"},
      {0x5A584E57, 0, "Unknown signature"},
  };
  for (const Case& c : cases)
    EXPECT_STREQ(c.text, BapiSpecificErrorCode2Str(c.sig, c.code)) << std::hex << c.sig << " " << c.code;
}

}  // namespace
