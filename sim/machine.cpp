// The built-in default machine and the token helpers.
#include "machine.h"

#include <cstring>

#include "sim_wire.h"

namespace kebsim {

uint8_t ByteSum(const uint8_t* p, size_t n) {
  uint8_t s = 0;
  for (size_t i = 0; i < n; ++i) s = static_cast<uint8_t>(s + p[i]);
  return s;
}

void FixMediaChecksum(NvMedia& m) {
  if (!m.checksummed || m.image.empty()) return;
  m.image.back() = 0;
  m.image.back() = static_cast<uint8_t>(0x100 - ByteSum(m.image.data(), m.image.size()));
}

static bool TokenFits(const Machine& m, const Token& t, const NvMedia** media) {
  auto it = m.media.find(t.media);
  if (it == m.media.end()) return false;
  size_t bits = t.byteString ? size_t(t.width) * 8 : t.width;
  if (bits == 0 || (!t.byteString && bits > 16)) return false;
  if (size_t(t.startBit) + bits > it->second.image.size() * 8) return false;
  *media = &it->second;
  return true;
}

bool TokenRead(const Machine& m, const Token& t, Bytes& out) {
  const NvMedia* media = nullptr;
  if (!TokenFits(m, t, &media)) return false;
  const Bytes& img = media->image;
  if (t.byteString) {
    size_t first = t.startBit / 8;
    out.assign(img.begin() + first, img.begin() + first + t.width);
    return true;
  }
  uint16_t v = 0;
  for (unsigned i = 0; i < t.width; ++i) {
    unsigned bit = t.startBit + i;
    if (img[bit / 8] & (1u << (bit % 8))) v = static_cast<uint16_t>(v | (1u << i));
  }
  out = {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
  return true;
}

bool TokenWrite(Machine& m, const Token& t, const uint8_t* in, size_t n) {
  const NvMedia* cmedia = nullptr;
  if (!TokenFits(m, t, &cmedia)) return false;
  Bytes& img = m.media[t.media].image;
  if (t.byteString) {
    size_t first = t.startBit / 8;
    for (size_t i = 0; i < t.width; ++i) img[first + i] = i < n ? in[i] : 0;
    return true;
  }
  uint16_t v = 0;
  if (n >= 2) v = Load<uint16_t>(in);
  else if (n == 1) v = in[0];
  for (unsigned i = 0; i < t.width; ++i) {
    unsigned bit = t.startBit + i;
    uint8_t mask = static_cast<uint8_t>(1u << (bit % 8));
    if (v & (1u << i)) img[bit / 8] |= mask;
    else img[bit / 8] &= static_cast<uint8_t>(~mask);
  }
  return true;
}

// A table in the BIOS area whose bytes sum to zero; `sumAt` receives the fix-up.
static void PlaceTable(Bytes& area, size_t at, const Bytes& body, size_t sumAt) {
  std::memcpy(&area[at], body.data(), body.size());
  area[at + sumAt] = 0;
  area[at + sumAt] = static_cast<uint8_t>(0x100 - ByteSum(&area[at], body.size()));
}

static Bytes SmbiosStructure(uint8_t type, Bytes formatted, const std::vector<std::string>& strs) {
  Bytes s = {type, static_cast<uint8_t>(formatted.size() + 4), 0, 0};
  s[2] = type;  // handle: the type number keeps handles unique here
  for (uint8_t b : formatted) s.push_back(b);
  for (const auto& str : strs) {
    s.insert(s.end(), str.begin(), str.end());
    s.push_back(0);
  }
  if (strs.empty()) s.push_back(0);
  s.push_back(0);
  return s;
}

static Bytes DefaultBiosArea() {
  Bytes area(kAreaSize, 0xFF);
  std::memset(area.data(), 0, 0x10000);
  // NVRAM token tables in the E segment.
  const char* bcp = "BCPNV ";
  std::memcpy(&area[0x1000], bcp, 6);
  area[0x1006] = 2;  // a table revision behind the signature
  std::memcpy(&area[0x2000], "$NVT", 4);
  area[0x2004] = 1;
  // BIOS API entry structure (20 bytes, byte 6 = revision).
  Bytes entry(20, 0);
  std::memcpy(entry.data(), "SBXZ", 4);
  entry[4] = 20;
  entry[6] = 0x12;
  Store<uint32_t>(&entry[8], 0x000F8000);
  PlaceTable(area, 0x10100, entry, 19);
  // PC lock structure (length in byte 4, byte 6 = revision).
  Bytes lock(16, 0);
  std::memcpy(lock.data(), "CCXZ", 4);
  lock[4] = 16;
  lock[6] = 0x03;
  PlaceTable(area, 0x10200, lock, 15);
  // Multiprocessor floating pointer: one 16-byte unit, revision 4.
  Bytes mp(16, 0);
  std::memcpy(mp.data(), "_MP_", 4);
  mp[8] = 1;
  mp[9] = 4;
  PlaceTable(area, 0x10400, mp, 10);
  const char* date = "12/01/2026";
  std::memcpy(&area[0x1FFF5], date, 8);
  return area;
}

Machine DefaultMachine() {
  Machine m;
  m.sectorSize = 4096;
  m.flash.resize(16 * m.sectorSize);
  for (size_t i = 0; i < m.flash.size(); ++i) m.flash[i] = static_cast<uint8_t>(i * 7 + i / 4096);
  m.protectedSectors = {0};

  NvMedia m0;
  m0.image.assign(512, 0);
  NvMedia m1;
  m1.image.assign(256, 0);
  m.media[0] = m0;
  m.media[1] = m1;
  m.tokens[0x0010] = Token{0, false, 16, 4};
  m.tokens[0x0011] = Token{0, false, 20, 1};
  m.tokens[0x0012] = Token{0, false, 32, 16};
  m.tokens[0x0020] = Token{0, true, 64, 8};
  m.tokens[0x0030] = Token{1, false, 8, 8};
  uint8_t v5[2] = {5, 0}, v1[2] = {1, 0}, vbeef[2] = {0xEF, 0xBE}, v42[2] = {42, 0};
  TokenWrite(m, m.tokens[0x0010], v5, 2);
  TokenWrite(m, m.tokens[0x0011], v1, 2);
  TokenWrite(m, m.tokens[0x0012], vbeef, 2);
  const uint8_t str[8] = {'K', 'E', 'B', '-', 'S', 'I', 'M', 0};
  TokenWrite(m, m.tokens[0x0020], str, 8);
  TokenWrite(m, m.tokens[0x0030], v42, 2);
  for (auto& kv : m.media) {
    FixMediaChecksum(kv.second);
    kv.second.defaults = kv.second.image;
  }

  m.nveTable = {'N', 'V', 'E', 0, 3, 0, 0x10, 0, 0x11, 0, 0x12, 0};
  m.bootOrders[0] = {{1, 0}, {2, 0}, {3, 1}};
  m.bootOrders[1] = {{4, 2}};
  m.oemData = Bytes(64);
  for (size_t i = 0; i < m.oemData.size(); ++i) m.oemData[i] = static_cast<uint8_t>(0xA0 + i);
  m.oemMax = 4096;
  m.oemTmpSize = 512;
  m.txtStatus = 0;
  m.dormixDevice = {0x0A, 0, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
  for (unsigned i = 1; i <= 4; ++i)
    m.intervals[i] = {static_cast<uint8_t>(i), 0, 8, 0, 17, 30, 0x1F};
  m.services = {kSigVRXBS, kSigVRXCC, kSigVRXFU, kSigVRXFA, kSigVRXOD,
                kSigVRXNV, kSigVRXFI, kSigVRXAC, kSigVRXQD};
  m.flashInfoCount = 2;
  m.flashInfo.assign(264, 0);
  for (size_t i = 0; i < 264; ++i) m.flashInfo[i] = static_cast<uint8_t>(i);
  m.biosArea = DefaultBiosArea();

  m.smbios["0.0"] = SmbiosStructure(
      0, {1, 2, 0x00, 0xE8, 3, 0x0F, 0x80, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x00, 1, 2, 0xFF, 0xFF},
      {"Simulated Firmware", "V1.20.0", "12/01/2026"});
  Bytes sys = {1, 2, 3, 4};
  for (int i = 0; i < 16; ++i) sys.push_back(static_cast<uint8_t>(0x10 + i));
  sys.insert(sys.end(), {6, 5, 6});
  m.smbios["1.0"] = SmbiosStructure(1, sys, {"Simulated Maker", "Sim Server S1", "1.0",
                                            "SIM0001", "SKU-1", "Sim Family"});
  m.smbios["2.0"] = SmbiosStructure(2, {1, 2, 3, 4}, {"Simulated Maker", "Board B1", "1.0", "BRD0001"});
  m.smbios["3.0"] = SmbiosStructure(3, {1, 0x17, 2, 3, 4, 3, 3, 3, 2}, {"Simulated Maker", "1.0", "CHS0001", "ASSET1"});
  m.smbios["130.0"] = SmbiosStructure(130, {0x01, 0x02, 0x03, 0x04}, {});
  return m;
}

}  // namespace kebsim
