// Driver access through the simulated devices: connect, version, disconnect,
// BIOS area reads and the status texts.
#include <gtest/gtest.h>

#include <vector>

#include "keb_inter.h"
#include "sim_sandbox.h"

using namespace simtest;

namespace {

TEST(DriverConnect, ConnectsAndReportsTheVersion) {
  Sandbox box("driver_version = 1234\n");
  int fd = -5;
  uint32_t version = 0;
  ASSERT_EQ(0, DRV_Connect("/dev/kebbapi", &fd, &version));
  EXPECT_GE(fd, 0);
  EXPECT_EQ(1234u, version);
  EXPECT_EQ(0, DRV_GetVersion(fd, &version));
  EXPECT_EQ(1234u, version);
  EXPECT_EQ(0, DRV_Disconnect(fd));
  auto log = box.Log();
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ(0x4204, Num(log[0], "request"));
}

TEST(DriverConnect, FailuresLeaveNoHandleOpen) {
  struct Case {
    const char* settings;
    const char* path;
    uint16_t status;
    uint32_t version;  // an open that fails leaves the version alone
  };
  const Case cases[] = {
      {"missing = kebbapi", "/dev/kebbapi", 8, 77},
      {"", "/no/such/device", 8, 77},
      {"fault = kebbapi.version errno=25", "/dev/kebbapi", 1, 0},
      {"fault = kebdata.version errno=5", "/dev/kebdata", 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    Sandbox box(c.settings);
    int before = OpenDescriptors();
    int fd = 42;
    uint32_t version = 77;
    EXPECT_EQ(c.status, DRV_Connect(c.path, &fd, &version));
    EXPECT_EQ(-1, fd);
    EXPECT_EQ(c.version, version);
    EXPECT_EQ(before, OpenDescriptors());
  }
  int fd = 3;
  uint32_t v = 0;
  EXPECT_EQ(8, DRV_Connect(nullptr, &fd, &v));
  EXPECT_EQ(-1, fd);
}

TEST(DriverVersion, InvalidHandleSendsNothing) {
  Sandbox box;
  uint32_t version = 99;
  EXPECT_EQ(1, DRV_GetVersion(-1, &version));
  EXPECT_EQ(0u, version);
  EXPECT_EQ(0, DRV_Disconnect(-1));
  EXPECT_TRUE(box.Log().empty());
}

TEST(DriverBiosData, ReadsTheArea) {
  Sandbox box("bios_bytes = 0x100 C0FFEE\n");
  int fd = -1;
  uint32_t version = 0;
  ASSERT_EQ(0, DRV_Connect("/dev/kebdata", &fd, &version));
  std::vector<uint8_t> area(0x20000, 0);
  EXPECT_EQ(0, DRV_BiosDataRead(fd, 0xE0000, area.data(), uint32_t(area.size())));
  EXPECT_EQ(0xC0, area[0x100]);
  EXPECT_EQ(0xEE, area[0x102]);
  auto log = box.Log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(0xE0000, Num(log.back(), "address"));
  EXPECT_EQ(0x20000, Num(log.back(), "size"));
  DRV_Disconnect(fd);
}

TEST(DriverBiosData, FailuresGiveTheirStatusAndKeepTheBuffer) {
  struct Case {
    const char* settings;
    bool validHandle;
    uint32_t address;
    uint16_t status;
  };
  const Case cases[] = {
      {"", false, 0xE0000, 1},
      {"fault = kebdata.read errno=14", true, 0xE0000, 1},
      {"fault = kebdata.read drv_status=11", true, 0xE0000, 11},
      {"", true, 0xD0000, 26},  // outside the BIOS area: the driver's own refusal
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    Sandbox box(c.settings);
    int fd = -1;
    uint32_t version = 0;
    if (c.validHandle) {
      ASSERT_EQ(0, DRV_Connect("/dev/kebdata", &fd, &version));
    }
    std::vector<uint8_t> buf(64, 0x5A);
    EXPECT_EQ(c.status, DRV_BiosDataRead(fd, c.address, buf.data(), uint32_t(buf.size())));
    EXPECT_EQ(std::vector<uint8_t>(64, 0x5A), buf);
    if (fd >= 0) DRV_Disconnect(fd);
  }
}

TEST(DriverStatusText, Table) {
  const std::pair<unsigned short, const char*> cases[] = {
      {0, "Ready"},
      {1, "General error!"},
      {8, "Unknown device type!"},
      {11, "DMI data error!"},
      {12, "Unknown error"},
      {13, "insufficient resources!"},
      {16, "Could not connect to VRXFLASH driver!"},
      {22, "The service manager can't be opened."},
      {26, "Invalid parameter for I/O control"},
      {27, "Unknown error"},
      {65535, "Unknown error"},
  };
  for (auto& c : cases) EXPECT_STREQ(c.second, DRV_Status2Str(c.first)) << c.first;
}

}  // namespace
