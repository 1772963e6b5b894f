// The simulator answers as a driver would: malformed requests fail cleanly,
// writes persist across processes, faults and the request log work, and the
// SMBIOS files and the BIOS area are served.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <fstream>

#include "sim_raw.h"
#include "sim_sandbox.h"

using namespace simtest;

namespace {

int OpenBapi() { return open("/dev/kebbapi", O_RDWR); }

uint16_t ReadToken(int fd, uint16_t token, uint8_t* status = nullptr) {
  RawCall c(kNV, 3, token);
  c.dataOut.assign(4, 0);
  c.dataOut[0] = 4;
  EXPECT_EQ(0, c.Issue(fd));
  if (status) *status = c.Status();
  uint16_t v;
  std::memcpy(&v, &c.dataOut[2], 2);
  return v;
}

TEST(SimRecord, MalformedRequestsFailLikeADriver) {
  Sandbox box;
  int fd = OpenBapi();
  ASSERT_GE(fd, 0);
  EXPECT_EQ(-1, ioctl(fd, 0x4209, nullptr));
  EXPECT_EQ(EFAULT, errno);
  EXPECT_EQ(-1, ioctl(fd, 0x4299, nullptr));
  EXPECT_EQ(ENOTTY, errno);

  struct Case {
    const char* name;
    void (*spoil)(RawCall&);
    int result, err;
    uint32_t drvStatus;
  };
  const Case cases[] = {
      {"null control in", [](RawCall& c) { std::memset(c.record, 0, 8); }, -1, EFAULT, 0},
      {"null control out", [](RawCall& c) { std::memset(c.record + 12, 0, 8); }, -1, EFAULT, 0},
      {"control too short", [](RawCall& c) { uint32_t l = 8; std::memcpy(c.record + 8, &l, 4); }, -1, EINVAL, 0},
      {"huge data length", [](RawCall& c) { uint32_t l = 0xFFFFFFFF; std::memcpy(c.record + 44, &l, 4); }, -1, EINVAL, 0},
      {"data pointer without length", [](RawCall& c) { uint32_t l = 0; std::memcpy(c.record + 44, &l, 4); }, 0, 0, 26},
      {"length without data pointer", [](RawCall& c) { std::memset(c.record + 36, 0, 8); }, 0, 0, 26},
      {"unknown map mode", [](RawCall& c) { uint32_t m = 7; std::memcpy(c.record + 48, &m, 4); }, 0, 0, 26},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    RawCall c(kNV, 3, 0x10);
    c.dataOut.assign(4, 0);
    c.Fill();
    k.spoil(c);
    errno = 0;
    EXPECT_EQ(k.result, ioctl(fd, 0x4209, c.record));
    if (k.result < 0) {
      EXPECT_EQ(k.err, errno);
    } else {
      EXPECT_EQ(k.drvStatus, c.DrvStatus());
    }
  }
  close(fd);
}

TEST(SimBios, ServicesAnswerFromTheModel) {
  Sandbox box("token = 0x77 media=1 start=0 width=12 value=0x9AB\n");
  int fd = OpenBapi();
  ASSERT_GE(fd, 0);
  uint8_t st = 9;
  EXPECT_EQ(0x9AB, ReadToken(fd, 0x77, &st));
  EXPECT_EQ(0, st);
  // The token list was replaced, so a default token is gone now.
  ReadToken(fd, 0x10, &st);
  EXPECT_EQ(1, st);

  RawCall missing(kBS, 0x5A585858);  // service check of an unknown service
  missing.dataOut.assign(32, 0);
  ASSERT_EQ(0, missing.Issue(fd));
  EXPECT_EQ(3, missing.Status());

  RawCall sector(kFU, 0);  // sector 0 is write-protected by default
  sector.dataIn.assign(16, 0xAA);
  sector.dataOut.assign(6, 0);
  ASSERT_EQ(0, sector.Issue(fd));
  EXPECT_EQ(1, sector.Status());
  EXPECT_EQ(0x200, sector.ErrorCode());
  close(fd);
}

TEST(SimBios, BitArrayWriteShorterThanItsValueWordIsRefused) {
  Sandbox box;
  int fd = OpenBapi();
  ASSERT_GE(fd, 0);
  RawCall w(kNV, 4, 0x10);
  w.dataIn = {3, 0, 11};  // length word and one byte: no room for the 16-bit value
  ASSERT_EQ(0, w.Issue(fd));
  EXPECT_NE(0, w.Status());
  EXPECT_EQ(5, ReadToken(fd, 0x10));  // the token keeps its value
  close(fd);
}

TEST(SimState, TokenWrittenInOneProcessIsReadInTheNext) {
  Sandbox box("", /*withState=*/true);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int fd = OpenBapi();
    RawCall w(kNV, 4, 0x10);
    w.dataIn = {8, 0, 11, 0, 0, 0, 0, 0};
    int r = fd >= 0 ? w.Issue(fd) : -1;
    _exit(r == 0 && w.Status() == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  int fd = OpenBapi();
  ASSERT_GE(fd, 0);
  EXPECT_EQ(11, ReadToken(fd, 0x10));
  close(fd);
}

TEST(SimState, DamagedStateFileIsIgnored) {
  Sandbox box("", true);
  std::ofstream(box.StatePath()) << "kebsim-state 1\nmedia 0 zz\n";
  int fd = OpenBapi();
  ASSERT_GE(fd, 0);
  EXPECT_EQ(5, ReadToken(fd, 0x10));  // the configured value
  close(fd);
}

TEST(SimFaults, InjectedFailuresReachTheCaller) {
  Sandbox box(
      "fault = VRXNV.3 errno=5 count=1\n"
      "fault = VRXNV.7 drv_status=17\n"
      "fault = VRXQD bios_status=3 error_code=0\n"
      "fault = VRXBS signature=0x11223344\n");
  int fd = OpenBapi();
  ASSERT_GE(fd, 0);
  RawCall a(kNV, 3, 0x10);
  a.dataOut.assign(4, 0);
  EXPECT_EQ(-1, a.Issue(fd));
  EXPECT_EQ(5, errno);
  EXPECT_EQ(5, ReadToken(fd, 0x10));  // count=1: the next read is fine

  RawCall b(kNV, 7, 0x10);
  b.dataOut.assign(9, 0);
  ASSERT_EQ(0, b.Issue(fd));
  EXPECT_EQ(17u, b.DrvStatus());

  RawCall c(kQD, 1);
  c.dataOut.assign(9, 0);
  ASSERT_EQ(0, c.Issue(fd));
  EXPECT_EQ(3, c.Status());
  EXPECT_EQ(0, c.ErrorCode());
  EXPECT_EQ(0, c.dataOut[2]);  // the BIOS did nothing

  RawCall d(kBS, 0);
  d.dataOut.assign(32, 0);
  ASSERT_EQ(0, d.Issue(fd));
  EXPECT_EQ(0x11223344u, d.Signature());
  close(fd);
}

TEST(SimFaults, MissingDeviceAndBadSettings) {
  Sandbox box("missing = kebbapi\n");
  errno = 0;
  EXPECT_EQ(-1, OpenBapi());
  EXPECT_EQ(ENOENT, errno);
  int data = open("/dev/kebdata", O_RDWR);
  EXPECT_GE(data, 0);
  close(data);

  for (const char* bad : {"flash = 0 4096", "token = 1 media=9 start=0 width=4", "no_such_key = 1",
                          "media = 0 16\nmedia_bytes = 0 15 0102", "fault = VRXNV wobble=1", "garbage line"}) {
    SCOPED_TRACE(bad);
    box.Write(bad);
    errno = 0;
    EXPECT_EQ(-1, OpenBapi());
    EXPECT_EQ(EINVAL, errno);
  }
}

TEST(SimLog, EachRequestIsLoggedWithItsBytes) {
  Sandbox box;
  int fd = OpenBapi();
  ASSERT_GE(fd, 0);
  RawCall w(kNV, 4, 0x11);
  w.dataIn = {8, 0, 1, 0, 0, 0, 0, 0};
  ASSERT_EQ(0, w.Issue(fd));
  close(fd);
  auto log = box.Log();
  ASSERT_EQ(1u, log.size());
  EXPECT_EQ("/dev/kebbapi", log[0]["device"]);
  EXPECT_EQ(0x4209, Num(log[0], "request"));
  EXPECT_EQ("VRXNV", log[0]["service"]);
  EXPECT_EQ(4, Num(log[0], "code"));
  EXPECT_EQ(1024, Num(log[0], "ctrl_in_length"));
  EXPECT_EQ(8, Num(log[0], "data_in_length"));
  EXPECT_EQ("0800010000000000", log[0]["data_in"]);
  auto ctrl = FromHex(log[0]["ctrl_in"]);
  ASSERT_EQ(1024u, ctrl.size());
  EXPECT_EQ(0x11, ctrl[10]);
}

TEST(SimData, BiosAreaIsReadThroughTheDataDevice) {
  Sandbox box("bios_bytes = 0x1FFF0 4B4542\n");
  int fd = open("/dev/kebdata", O_RDWR);
  ASSERT_GE(fd, 0);
  std::vector<uint8_t> area(0x20000, 0);
  uint8_t rec[18] = {};
  uint64_t p = reinterpret_cast<uintptr_t>(area.data());
  uint32_t addr = 0xE0000, size = 0x20000;
  std::memcpy(rec, &p, 8);
  std::memcpy(rec + 8, &addr, 4);
  std::memcpy(rec + 12, &size, 4);
  ASSERT_EQ(0, ioctl(fd, 0x420E, rec));
  EXPECT_EQ(0, rec[16] | rec[17]);
  EXPECT_EQ(0, std::memcmp(&area[0x1FFF0], "KEB", 3));
  EXPECT_EQ(0, std::memcmp(&area[0x10400], "_MP_", 4));

  addr = 0xFFFF0;  // runs past the end of the area
  std::memcpy(rec + 8, &addr, 4);
  ASSERT_EQ(0, ioctl(fd, 0x420E, rec));
  EXPECT_EQ(26, rec[16]);
  close(fd);
}

TEST(SimSmbios, BuiltInAndFolderFilesAreServedReadOnly) {
  Sandbox box;
  struct stat st;
  ASSERT_EQ(0, stat("/proc/smbios/raw/0.0", &st));
  EXPECT_GT(st.st_size, 4);
  FILE* f = fopen("/proc/smbios/raw/1.0", "rb");
  ASSERT_NE(nullptr, f);
  EXPECT_EQ(1, fgetc(f));  // structure type 1
  fclose(f);
  EXPECT_EQ(0, access("/proc/smbios/raw/3.0", R_OK));
  EXPECT_NE(0, access("/proc/smbios/raw/3.0", W_OK));
  EXPECT_NE(0, access("/proc/smbios/raw/4.0", F_OK));
  errno = 0;
  EXPECT_EQ(nullptr, fopen("/proc/smbios/raw/0.0", "r+"));
  EXPECT_EQ(EACCES, errno);
  for (const char* name : {"/proc/smbios/raw/../../../etc/passwd", "/proc/smbios/raw/99.0", "/proc/smbios/raw/"}) {
    SCOPED_TRACE(name);
    errno = 0;
    EXPECT_EQ(-1, open(name, O_RDONLY));
    EXPECT_EQ(ENOENT, errno);
  }

  std::string dir = box.Dir() + "/raw";
  mkdir(dir.c_str(), 0755);
  std::ofstream(dir + "/2.0") << "XYZ";
  box.Write("smbios_dir = " + dir);
  int fd = open("/proc/smbios/raw/2.0", O_RDONLY);
  ASSERT_GE(fd, 0);
  char buf[8] = {};
  EXPECT_EQ(3, read(fd, buf, sizeof buf));
  EXPECT_STREQ("XYZ", buf);
  close(fd);
  EXPECT_NE(0, stat("/proc/smbios/raw/0.0", &st));  // the folder replaces the built-in files
}

}  // namespace
