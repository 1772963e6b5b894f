// Every BIOS service through the simulated driver: what goes over the wire,
// what reaches the caller, and the status rules on failure.
#include <cstring>
#include <fstream>
#include <sstream>
#include <functional>
#include <numeric>

#include "calls_fixture.h"

using namespace simtest;

namespace {

::testing::Environment* const g_traceOn = ::testing::AddGlobalTestEnvironment(new TraceOn);

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

// Every service once, with valid caller buffers; used for the handle and
// transport failure tables.
struct Service {
  const char* name;
  std::function<uint16_t(int)> call;
};

std::vector<Service> AllServices() {
  static std::vector<uint8_t> big(1 << 17);
  static ULONG ul1, ul2;
  static USHORT us;
  static BootOrderList list;
  static e_TxTStates txt;
  static tagBiosApiDormixGetDeviceInfo dev;
  static tagBiosApiDormixManageabilityInterval iv{9, {1, 2, 3, 4, 5, 6, 7}};
  static tagFlashInfoItem items[11];
  return {
      {"GetImageInfo", [](int fd) { return DRV_GetImageInfo(fd, &ul1); }},
      {"RetrieveImage", [](int fd) { return DRV_RetrieveImage(fd, big.data(), 65536); }},
      {"UpdateSector", [](int fd) { return DRV_UpdateSector(fd, big.data(), 16, 3, 0); }},
      {"GetNvramImageInfo", [](int fd) { return DRV_GetNvramImageInfo(fd, &ul1); }},
      {"RetrieveNvramImage", [](int fd) { return DRV_RetrieveNvramImage(fd, big.data(), 512, 0); }},
      {"UpdateNvMedia", [](int fd) { return DRV_UpdateNvMedia(fd, big.data(), 16, 1); }},
      {"UpdateNvChksum", [](int fd) { return DRV_UpdateNvChksum(fd, 0); }},
      {"NvramUpdateCheckumOfMedia", [](int fd) { return DRV_NvramUpdateCheckumOfMedia(fd, 255); }},
      {"NvramGetTokenInfo", [](int fd) { return DRV_NvramGetTokenInfo(fd, 0x10, big.data()); }},
      {"NvramReadTokenBitArray", [](int fd) { return DRV_NvramReadTokenBitArray(fd, 0x10, &us); }},
      {"NvramReadTokenByteString", [](int fd) { return DRV_NvramReadTokenByteString(fd, 0x20, big.data(), 10); }},
      {"NvramWriteTokenBitArray", [](int fd) { return DRV_NvramWriteTokenBitArray(fd, 0x10, 3); }},
      {"LoadNVRamDefaults", [](int fd) { return DRV_LoadNVRamDefaults(fd, 0); }},
      {"GetNVETable", [](int fd) { return DRV_GetNVETable(fd, big.data(), 12); }},
      {"GetBootOrder", [](int fd) { return DRV_GetBootOrder(fd, 0, &list); }},
      {"SetBootOrder", [](int fd) { BootOrderList l{{1, 2}}; return DRV_SetBootOrder(fd, 0, l); }},
      {"GetTXTStatus", [](int fd) { return DRV_GetTXTStatus(fd, txt); }},
      {"GetDormixDeviceInformation", [](int fd) { return DRV_GetDormixDeviceInformation(fd, &dev); }},
      {"GetDormixManageabilityIntervall", [](int fd) { return DRV_GetDormixManageabilityIntervall(fd, 1, &iv); }},
      {"SetDormixManageabilityIntervall", [](int fd) { return DRV_SetDormixManageabilityIntervall(fd, 1, &iv); }},
      {"GetOemDataInfo", [](int fd) { return DRV_GetOemDataInfo(fd, &ul1, &ul2); }},
      {"OemDataRead", [](int fd) { return DRV_OemDataRead(fd, big.data(), 16); }},
      {"OemDataWrite", [](int fd) { return DRV_OemDataWrite(fd, big.data(), 16, 512); }},
      {"FlashInfoGet", [](int fd) { return DRV_FlashInfoGet(fd, 1, 2, &ul1, items); }},
      {"CheckFunction", [](int fd) { return DRV_CheckFunction(fd, 0x5A584E56); }},
  };
}

using Services = CallsTest;

TEST_F(Services, EverythingSucceedsOnTheDefaultMachine) {
  for (const Service& s : AllServices()) EXPECT_EQ(0, s.call(fd_)) << s.name;
}

TEST_F(Services, NegativeHandleIssuesNoRequest) {
  for (const Service& s : AllServices()) {
    EXPECT_EQ(1, s.call(-1)) << s.name;
    EXPECT_EQ(1, s.call(-7)) << s.name;
  }
  EXPECT_TRUE(Log().empty());
}

TEST_F(Services, FailedSystemCallGivesOne) {
  Connect("fault = VRXNV errno=5\nfault = VRXBS errno=5\nfault = VRXFA errno=5\nfault = VRXFU errno=5\n"
          "fault = VRXAC errno=5\nfault = VRXQD errno=5\nfault = VRXOD errno=5\nfault = VRXFI errno=5\n");
  for (const Service& s : AllServices()) EXPECT_EQ(1, s.call(fd_)) << s.name;
}

TEST_F(Services, ImagesAndSizes) {
  ULONG size = 0;
  ASSERT_EQ(0, DRV_GetImageInfo(fd_, &size));
  EXPECT_EQ(65536u, size);
  std::vector<uint8_t> image(size);
  ASSERT_EQ(0, DRV_RetrieveImage(fd_, image.data(), size));
  EXPECT_EQ(uint8_t(4097 * 7 + 1), image[4097]);
  ASSERT_EQ(0, DRV_GetNvramImageInfo(fd_, &size));
  EXPECT_EQ(768u, size);
  std::vector<uint8_t> media(256);
  ASSERT_EQ(0, DRV_RetrieveNvramImage(fd_, media.data(), 256, 1));
  EXPECT_EQ(0, uint8_t(std::accumulate(media.begin(), media.end(), 0)));  // checksum holds
  EXPECT_EQ(42, media[1]);  // token 0x30 lives in byte 1 of media 1

  auto log = Log();
  ASSERT_EQ(4u, log.size());
  EXPECT_EQ(1, Num(log[1], "use_map"));  // image retrieval
  EXPECT_EQ(6, Num(log[1], "data_in_length"));
  EXPECT_EQ(0x5A584E56, Num(log[2], "code"));  // NVRAM size: asked of the BIOS service
  EXPECT_EQ("VRXBS", log[2]["service"]);
  EXPECT_EQ(1, CtrlIn(3)[10]);  // media number in the parameter area
}

TEST_F(Services, SectorUpdateSendsSectorAndFlagBit) {
  struct Case {
    ULONG sector;
    short flag;
    uint8_t byte9;
  };
  const Case cases[] = {{2, 0, 0}, {3, 1, 1}, {4, 2, 0}, {5, 3, 1}, {0x10006, 1, 1}};
  std::vector<uint8_t> data(16, 0x3C);
  for (const Case& c : cases) {
    box_->ClearLog();
    EXPECT_EQ(0, DRV_UpdateSector(fd_, data.data(), 16, c.sector, c.flag)) << c.sector;
    auto in = CtrlIn(0);
    EXPECT_EQ(c.sector & 0xFF, in[6]);
    EXPECT_EQ((c.sector >> 8) & 0xFF, in[7]);
    EXPECT_EQ(0, in[8]);
    EXPECT_EQ(c.byte9, in[9]);
    EXPECT_EQ("3c3c3c3c3c3c3c3c3c3c3c3c3c3c3c3c", Log()[0]["data_in"]);
  }
  // Flag bit 0 set: the simulated BIOS erases the rest of the sector first.
  std::vector<uint8_t> image(65536);
  ASSERT_EQ(0, DRV_RetrieveImage(fd_, image.data(), 65536));
  EXPECT_EQ(0x3C, image[3 * 4096]);
  EXPECT_EQ(0xFF, image[3 * 4096 + 16]);
  const size_t kept = 2 * 4096 + 16;  // flag 0: the rest of sector 2 keeps its bytes
  EXPECT_EQ(uint8_t(kept * 7 + kept / 4096), image[kept]);
  // Sector 0 is write-protected: driver status 0, BIOS error -> 1.
  EXPECT_EQ(1, DRV_UpdateSector(fd_, data.data(), 16, 0, 0));
}

TEST_F(Services, TokensReadWriteAndInfo) {
  USHORT value = 0;
  ASSERT_EQ(0, DRV_NvramReadTokenBitArray(fd_, 0x12, &value));
  EXPECT_EQ(0xBEEF, value);
  // Token numbers above 65535 are sent as their low 16 bits.
  ASSERT_EQ(0, DRV_NvramReadTokenBitArray(fd_, 0x10010, &value));
  EXPECT_EQ(5, value);
  EXPECT_EQ(0x10, Le16(CtrlIn(1), 10));

  uint8_t text[10];
  std::memset(text, 0xEE, sizeof text);
  ASSERT_EQ(0, DRV_NvramReadTokenByteString(fd_, 0x20, text, 10));
  EXPECT_STREQ("KEB-SIM", reinterpret_cast<char*>(text));
  EXPECT_EQ(0xEE, text[8]);  // the two bytes of the length word's room stay untouched
  EXPECT_EQ(10, Num(Log()[2], "data_out_length"));

  uint8_t info[9];
  std::memset(info, 0xEE, sizeof info);
  ASSERT_EQ(0, DRV_NvramGetTokenInfo(fd_, 0x20, info));
  const uint8_t want[9] = {9, 0, 0, 1, 1, 0, 64, 0, 8};
  EXPECT_EQ(0, std::memcmp(want, info, 9));

  box_->ClearLog();
  ASSERT_EQ(0, DRV_NvramWriteTokenBitArray(fd_, 0x10, 9));
  auto log = Log();
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ(4, Num(log[0], "code"));
  EXPECT_EQ("0800090000000000", log[0]["data_in"]);
  EXPECT_EQ(8, Num(log[1], "code"));       // checksum update follows
  EXPECT_EQ(255, Le16(CtrlIn(1), 10));     // of every media
  ASSERT_EQ(0, DRV_NvramReadTokenBitArray(fd_, 0x10, &value));
  EXPECT_EQ(9, value);

  ASSERT_EQ(0, DRV_LoadNVRamDefaults(fd_, 0));
  ASSERT_EQ(0, DRV_NvramReadTokenBitArray(fd_, 0x10, &value));
  EXPECT_EQ(5, value);
}

TEST_F(Services, TokenWriteIsFollowedByChecksumEvenWhenRefused) {
  Connect("fault = VRXNV.4 bios_status=1 error_code=2\n");
  EXPECT_EQ(1, DRV_NvramWriteTokenBitArray(fd_, 0x10, 1));
  auto log = Log();
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ(8, Num(log[1], "code"));
  // A checksum failure does not change the write's own result.
  Connect("fault = VRXNV.8 bios_status=1\n");
  EXPECT_EQ(0, DRV_NvramWriteTokenBitArray(fd_, 0x10, 1));
  // A write that never reached the driver is not followed by anything.
  Connect("fault = VRXNV.4 errno=5\n");
  EXPECT_EQ(1, DRV_NvramWriteTokenBitArray(fd_, 0x10, 1));
  EXPECT_EQ(1u, Log().size());
}

TEST_F(Services, MediaUpdateAndChecksum) {
  std::vector<uint8_t> media(256);
  ASSERT_EQ(0, DRV_RetrieveNvramImage(fd_, media.data(), 256, 1));
  media[7] ^= 0x55;
  ASSERT_EQ(0, DRV_UpdateNvMedia(fd_, media.data(), 256, 1));
  ASSERT_EQ(0, DRV_UpdateNvChksum(fd_, 1));
  std::vector<uint8_t> back(256);
  ASSERT_EQ(0, DRV_RetrieveNvramImage(fd_, back.data(), 256, 1));
  EXPECT_EQ(media[7], back[7]);
  EXPECT_EQ(0, uint8_t(std::accumulate(back.begin(), back.end(), 0)));
  EXPECT_EQ(1, DRV_RetrieveNvramImage(fd_, back.data(), 256, 9));  // no media 9: BIOS error
}

TEST_F(Services, BootOrderEncoding) {
  BootOrderList three{{1, 2}, {3, 4}, {5, 6}};
  ASSERT_EQ(0, DRV_SetBootOrder(fd_, 1, three));
  auto log = Log();
  ASSERT_EQ(1u, log.size());
  EXPECT_EQ(12, Num(log[0], "data_in_length"));
  EXPECT_EQ("0c000100010203040506ffff", log[0]["data_in"]);
  EXPECT_EQ(1036, Num(log[0], "alloc_in"));
  EXPECT_EQ(17, Num(log[0], "code"));
  EXPECT_EQ(1, Le16(CtrlIn(0), 10));

  BootOrderList got{{9, 9}};
  ASSERT_EQ(0, DRV_GetBootOrder(fd_, 1, &got));
  BootOrderList want{{9, 9}, {1, 2}, {3, 4}, {5, 6}};
  EXPECT_EQ(want, got);
  log = Log();
  EXPECT_EQ(1064, Num(log[1], "alloc_in"));
  EXPECT_EQ(40, Num(log[1], "data_out_length"));

  // An answer that ends at once leaves the list as it was.
  ASSERT_EQ(0, DRV_SetBootOrder(fd_, 0, three));
  Connect("boot_order = 0\n");
  BootOrderList keep{{7, 7}};
  ASSERT_EQ(0, DRV_GetBootOrder(fd_, 0, &keep));
  EXPECT_EQ(BootOrderList({{7, 7}}), keep);
}

TEST_F(Services, NveTableTxtAndOemData) {
  std::vector<uint8_t> nve(12);
  ASSERT_EQ(0, DRV_GetNVETable(fd_, nve.data(), 12));
  EXPECT_EQ('N', nve[0]);
  EXPECT_EQ(0x12, nve[10]);
  EXPECT_EQ(1036, Num(Log()[0], "alloc_in"));

  e_TxTStates txt = TXT_STATE_ON;
  ASSERT_EQ(0, DRV_GetTXTStatus(fd_, txt));
  EXPECT_EQ(TXT_STATE_OFF, txt);
  Connect("txt_status = 0x0100\n");
  ASSERT_EQ(0, DRV_GetTXTStatus(fd_, txt));
  EXPECT_EQ(TXT_STATE_ON, txt);

  ULONG size = 0, tmp = 0;
  ASSERT_EQ(0, DRV_GetOemDataInfo(fd_, &size, &tmp));
  EXPECT_EQ(64u, size);
  EXPECT_EQ(512u, tmp);
  EXPECT_EQ(0, std::memcmp("PcId", &CtrlIn(Log().size() - 1)[10], 4));
  std::vector<uint8_t> oem(size);
  ASSERT_EQ(0, DRV_OemDataRead(fd_, oem.data(), size));
  EXPECT_EQ(0xA0, oem[0]);
  std::vector<uint8_t> fresh{1, 2, 3, 4, 5};
  ASSERT_EQ(0, DRV_OemDataWrite(fd_, fresh.data(), 5, tmp));
  EXPECT_EQ(768, Num(Log().back(), "data_out_length"));
  EXPECT_EQ("0102030405", Log().back()["data_in"]);
  ASSERT_EQ(0, DRV_GetOemDataInfo(fd_, &size, &tmp));
  EXPECT_EQ(5u, size);
  // Too little working space for the BIOS: the write is refused.
  EXPECT_EQ(1, DRV_OemDataWrite(fd_, fresh.data(), 5, 100));
}

TEST_F(Services, PowerOffManagement) {
  tagBiosApiDormixGetDeviceInfo dev;
  ASSERT_EQ(0, DRV_GetDormixDeviceInformation(fd_, &dev));
  EXPECT_EQ(0x0A, dev.aucData[0]);
  EXPECT_EQ(0x08, dev.aucData[9]);

  tagBiosApiDormixManageabilityInterval iv{};
  ASSERT_EQ(0, DRV_GetDormixManageabilityIntervall(fd_, 2, &iv));
  EXPECT_EQ(9, iv.usLength);
  EXPECT_EQ(2, iv.aucInterval[0]);
  tagBiosApiDormixManageabilityInterval set{9, {7, 6, 5, 4, 3, 2, 1}};
  ASSERT_EQ(0, DRV_SetDormixManageabilityIntervall(fd_, 1, &set));
  ASSERT_EQ(0, DRV_GetDormixManageabilityIntervall(fd_, 1, &iv));
  EXPECT_EQ(0, std::memcmp(&set, &iv, 9));
  auto log = Log();
  ASSERT_EQ(4u, log.size());
  EXPECT_EQ(3, Num(log[1], "code"));
  EXPECT_EQ(1033, Num(log[1], "alloc_in"));
  EXPECT_EQ(2, Num(log[2], "code"));
  EXPECT_EQ(1030, Num(log[2], "alloc_out"));
  EXPECT_EQ("09000706050403020100", log[2]["data_in"].substr(0, 18) + "00");
  EXPECT_EQ(1, Num(log[3], "code"));

  box_->ClearLog();
  EXPECT_EQ(1, DRV_GetDormixManageabilityIntervall(fd_, 0, &iv));
  EXPECT_EQ(1, DRV_SetDormixManageabilityIntervall(fd_, 0, &set));
  EXPECT_EQ(1, DRV_GetDormixManageabilityIntervall(fd_, 1, nullptr));
  EXPECT_EQ(1, DRV_SetDormixManageabilityIntervall(fd_, 1, nullptr));
  EXPECT_EQ(1, DRV_GetDormixDeviceInformation(fd_, nullptr));
  EXPECT_TRUE(Log().empty());
}

TEST_F(Services, PowerOffStatusRule) {
  struct Case {
    const char* fault;
    uint16_t result;
    bool copied;
  };
  const Case cases[] = {
      {"bios_status=3 error_code=0", 2, false},
      {"bios_status=1 error_code=0", 1, false},
      {"bios_status=1 error_code=5", 5, false},
      {"bios_status=0 error_code=5", 5, true},  // copied whenever signature and status are fine
      {"signature=0x12345678", 1, false},
      {"signature=0x12345678 bios_status=3", 2, false},
      {"drv_status=7", 7, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    Connect(std::string("fault = VRXQD ") + c.fault + "\n");
    tagBiosApiDormixManageabilityInterval iv{};
    EXPECT_EQ(c.result, DRV_GetDormixManageabilityIntervall(fd_, 1, &iv));
    EXPECT_EQ(c.copied, iv.usLength == 9);
    tagBiosApiDormixManageabilityInterval set{9, {1, 1, 1, 1, 1, 1, 1}};
    EXPECT_EQ(c.result, DRV_SetDormixManageabilityIntervall(fd_, 1, &set));
    tagBiosApiDormixGetDeviceInfo dev{};
    EXPECT_EQ(c.result, DRV_GetDormixDeviceInformation(fd_, &dev));
  }
}

TEST_F(Services, FlashInfoCopiesExactly264Bytes) {
  Connect("flash_info = 40 0102030405\n");
  uint8_t items[300];
  std::memset(items, 0xCD, sizeof items);
  ULONG count = 0;
  ASSERT_EQ(0, DRV_FlashInfoGet(fd_, 0x11, 0x22, &count, reinterpret_cast<tagFlashInfoItem*>(items)));
  EXPECT_EQ(40u, count);
  EXPECT_EQ(1, items[0]);
  EXPECT_EQ(0, items[263]);
  EXPECT_EQ(0xCD, items[264]);
  auto log = Log();
  EXPECT_EQ(268, Num(log[0], "data_in_length"));
  auto in = FromHex(log[0]["data_in"]);
  EXPECT_EQ(268, Le16(in, 0));
  EXPECT_EQ(0x11u, Le32(in, 2));
  EXPECT_EQ(0x22u, Le32(in, 6));
}

TEST_F(Services, CheckFunction) {
  Connect("services = VRXBS VRXNV\n");
  EXPECT_EQ(0, DRV_CheckFunction(fd_, 0x5A584E56));
  EXPECT_EQ(1, DRV_CheckFunction(fd_, 0x5A585144));  // the BIOS lacks VRXQD
  EXPECT_EQ(0x5A585144, Num(Log()[1], "code"));
  Connect("fault = VRXBS drv_status=19\n");
  EXPECT_EQ(19, DRV_CheckFunction(fd_, 0x5A584E56));
}

// One service per status rule, with every kind of bad answer.
TEST_F(Services, StatusRules) {
  struct Case {
    const char* rule;
    const char* target;
    std::function<uint16_t(int, bool&)> call;  // sets `delivered` when output arrived
    uint16_t drv, sig, bios, errcode, bios3err0;
  };
  const Case cases[] = {
      {"A", "VRXNV.3", [](int fd, bool& d) { USHORT v = 0xFFFF; uint16_t r = DRV_NvramReadTokenBitArray(fd, 0x10, &v); d = v != 0xFFFF; return r; },
       7, 1, 1, 0, 1},
      {"B", "VRXNV.8", [](int fd, bool& d) { uint16_t r = DRV_UpdateNvChksum(fd, 0); d = r == 0; return r; }, 1, 1, 1, 0, 1},
      {"C", "VRXBS", [](int fd, bool& d) { ULONG s = 0; uint16_t r = DRV_GetNvramImageInfo(fd, &s); d = s != 0; return r; },
       7, 1, 1, 0, 1},
      {"D", "VRXBS", [](int fd, bool& d) { ULONG s = 0; uint16_t r = DRV_GetImageInfo(fd, &s); d = s != 0; return r; },
       7, 0, 1, 0, 1},
      {"E", "VRXNV.16", [](int fd, bool& d) { BootOrderList l; uint16_t r = DRV_GetBootOrder(fd, 0, &l); d = !l.empty(); return r; },
       7, 1, 1, 5, 1},
      {"NVE", "VRXNV.18", [](int fd, bool& d) { uint8_t b[12] = {}; uint16_t r = DRV_GetNVETable(fd, b, 12); d = b[0] != 0; return r; },
       1, 1, 1, 0, 1},
      {"flash info", "VRXFI", [](int fd, bool& d) { uint8_t b[264] = {}; ULONG n = 0; uint16_t r = DRV_FlashInfoGet(fd, 0, 0, &n, reinterpret_cast<tagFlashInfoItem*>(b)); d = n != 0; return r; },
       7, 1, 1, 0, 1},
      {"E'", "VRXQD.1", [](int fd, bool& d) { tagBiosApiDormixManageabilityInterval iv{}; uint16_t r = DRV_GetDormixManageabilityIntervall(fd, 1, &iv); d = iv.usLength != 0; return r; },
       7, 1, 1, 5, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    struct Variant {
      std::string fault;
      uint16_t want;
      bool deliver;
    };
    const Variant variants[] = {
        {"drv_status=7", c.drv, false},
        {"signature=0x01020304", c.sig, c.sig == 0},
        {"bios_status=1 error_code=0", c.bios, false},
        {"bios_status=0 error_code=5", c.errcode, c.errcode == 0 || std::string(c.rule) == "E'"},
        {"bios_status=3 error_code=0", c.bios3err0, false},
        {"count=0 errno=1", 0, true},  // no fault at all
    };
    for (const Variant& v : variants) {
      SCOPED_TRACE(v.fault);
      Connect(std::string("fault = ") + c.target + " " + v.fault + "\n");
      bool delivered = false;
      EXPECT_EQ(v.want, c.call(fd_, delivered));
      EXPECT_EQ(v.deliver, delivered);
    }
  }
}

TEST_F(Services, ArgumentChecksRefuseWithoutARequest) {
  std::vector<uint8_t> buf(64);
  BootOrderList empty;
  const Service cases[] = {
      {"GetImageInfo null", [](int fd) { return DRV_GetImageInfo(fd, nullptr); }},
      {"RetrieveImage null", [](int fd) { return DRV_RetrieveImage(fd, nullptr, 16); }},
      {"UpdateSector null", [](int fd) { return DRV_UpdateSector(fd, nullptr, 16, 1, 0); }},
      {"GetNvramImageInfo null", [](int fd) { return DRV_GetNvramImageInfo(fd, nullptr); }},
      {"RetrieveNvramImage null", [](int fd) { return DRV_RetrieveNvramImage(fd, nullptr, 16, 0); }},
      {"UpdateNvMedia null", [](int fd) { return DRV_UpdateNvMedia(fd, nullptr, 16, 0); }},
      {"GetTokenInfo null", [](int fd) { return DRV_NvramGetTokenInfo(fd, 0x10, nullptr); }},
      {"ReadBitArray null", [](int fd) { return DRV_NvramReadTokenBitArray(fd, 0x10, nullptr); }},
      {"ReadByteString null", [](int fd) { return DRV_NvramReadTokenByteString(fd, 0x20, nullptr, 10); }},
      {"ReadByteString tiny", [&](int fd) { return DRV_NvramReadTokenByteString(fd, 0x20, buf.data(), 2); }},
      {"GetNVETable null", [](int fd) { return DRV_GetNVETable(fd, nullptr, 12); }},
      {"GetNVETable too big", [&](int fd) { return DRV_GetNVETable(fd, buf.data(), 64512); }},
      {"GetBootOrder null", [](int fd) { return DRV_GetBootOrder(fd, 0, nullptr); }},
      {"SetBootOrder empty", [&](int fd) { return DRV_SetBootOrder(fd, 0, empty); }},
      {"SetBootOrder too long", [](int fd) { BootOrderList l(32253, {1, 1}); return DRV_SetBootOrder(fd, 0, l); }},
      {"GetOemDataInfo null", [](int fd) { ULONG a; return DRV_GetOemDataInfo(fd, &a, nullptr); }},
      {"OemDataRead null", [](int fd) { return DRV_OemDataRead(fd, nullptr, 16); }},
      {"OemDataWrite null", [](int fd) { return DRV_OemDataWrite(fd, nullptr, 16, 512); }},
      {"OemDataWrite huge work space", [&](int fd) { return DRV_OemDataWrite(fd, buf.data(), 16, 0xFFFFFFF0u); }},
      {"FlashInfoGet null items", [](int fd) { ULONG n; return DRV_FlashInfoGet(fd, 0, 0, &n, nullptr); }},
      {"Interval huge index", [](int fd) { tagBiosApiDormixManageabilityInterval iv{}; return DRV_GetDormixManageabilityIntervall(fd, 0x80000000u, &iv); }},
  };
  for (const Service& s : cases) EXPECT_EQ(1, s.call(fd_)) << s.name;
  EXPECT_TRUE(Log().empty());
}

TEST_F(Services, LargestBootOrderThatFitsIsSent) {
  Connect("boot_order = 0\n");
  BootOrderList l(32252, {1, 1});
  EXPECT_EQ(0, DRV_SetBootOrder(fd_, 0, l));
  auto log = Log();
  ASSERT_EQ(1u, log.size());
  EXPECT_EQ(65534, Num(log[0], "alloc_in"));
  EXPECT_EQ(64510, Num(log[0], "data_in_length"));
}

}  // namespace

namespace {

std::string TraceText() {
  std::ifstream in(std::string(g_trc.FilePath()));
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST_F(Services, TraceNamesEachFailure) {
  Connect("fault = VRXNV.3 signature=0x01020304\nfault = VRXNV.7 errno=5\nfault = VRXQD bios_status=1 error_code=4\n");
  USHORT v;
  uint8_t info[9];
  tagBiosApiDormixManageabilityInterval iv{};
  DRV_NvramReadTokenBitArray(fd_, 0x10, &v);
  DRV_NvramGetTokenInfo(fd_, 0x10, info);
  DRV_GetDormixManageabilityIntervall(fd_, 0, &iv);
  DRV_GetDormixManageabilityIntervall(fd_, 1, &iv);
  DRV_LoadNVRamDefaults(-1, 0);
  std::string t = TraceText();
  for (const char* want : {
           "[DRV_NvramReadTokenBitArray] - either Signature is wrong or Status is not BAPI_STATUS_SUCCESS\n",
           "[DRV_NvramReadTokenBitArray] - Bapi General Status: Success\n",
           "[DRV_NvramReadTokenBitArray] - Bapi returned signature: 0x01020304\n",
           "[DRV_NvramGetTokenInfo] - Error on BIOS_API_IOC_CALL\n",
           "Index must be greater than zero",
           "BAPI reported error status\tucStatus=0x01, usErrorCode=0x0004",
           "Supplied driver id not valid!",
           "[DRV_NvramReadTokenBitArray] - leaving, ret=0x0001\n",
       })
    EXPECT_NE(std::string::npos, t.find(want)) << want;
}

TEST(BapiBuffers, FreeAllReleasesEveryBufferOnce) {
  tagDrvBapiControl rec;
  std::memset(&rec, 0, sizeof rec);
  rec.pCtrlIn = reinterpret_cast<uintptr_t>(std::malloc(1024));
  rec.pCtrlOut = reinterpret_cast<uintptr_t>(std::malloc(1024));
  rec.pDataOut = reinterpret_cast<uintptr_t>(std::malloc(16));  // no data input: a null pointer stays alone
  DRV_Free_All(&rec);
  EXPECT_EQ(0u, rec.pCtrlIn | rec.pCtrlOut | rec.pDataIn | rec.pDataOut);
  DRV_Free_All(&rec);  // a second release finds nothing left
  DRV_Free_Ctrl(nullptr);
  DRV_Free_All(nullptr);
}

}  // namespace
