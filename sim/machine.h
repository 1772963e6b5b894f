// The simulated machine: the BIOS behind the two drivers, with everything a
// settings file can describe and everything a write can change.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kebsim {

using Bytes = std::vector<uint8_t>;
using BootOrder = std::vector<std::pair<uint8_t, uint8_t>>;

struct NvMedia {
  Bytes image;           // current content
  Bytes defaults;        // content restored by "load defaults"
  bool checksummed = true;  // last byte keeps the byte sum of the image at zero
};

struct Token {
  uint8_t media = 0;
  bool byteString = false;
  uint16_t startBit = 0;  // bit arrays: first bit; byte strings: start bit (multiple of 8)
  uint8_t width = 0;      // bit arrays: bits (1..16); byte strings: bytes
};

// One injected failure. Unset fields are -1; `remaining` -1 means every match.
struct Fault {
  std::string target;     // "VRXNV.3", "VRXNV", "kebbapi.version", "kebdata.read"
  int errnoValue = -1;    // the ioctl fails with this errno
  long long drvStatus = -1;   // ulDrvStatus / usStatus written by the driver
  int biosStatus = -1;    // ucStatus of the answer
  int errorCode = -1;     // usErrorCode of the answer
  long long signature = -1;   // signature the BIOS returns
  int remaining = -1;
};

struct Machine {
  uint32_t driverVersion = 120;
  uint32_t dataDriverVersion = 120;
  uint32_t sectorSize = 4096;
  Bytes flash;
  std::set<uint16_t> protectedSectors;
  std::map<uint16_t, NvMedia> media;
  std::map<uint16_t, Token> tokens;
  Bytes nveTable;
  std::map<uint16_t, BootOrder> bootOrders;
  Bytes oemData;
  uint32_t oemMax = 4096;
  uint32_t oemTmpSize = 512;
  uint16_t txtStatus = 0;
  std::array<uint8_t, 10> dormixDevice{};
  std::map<unsigned, std::array<uint8_t, 7>> intervals;
  std::set<uint32_t> services;
  uint16_t flashInfoCount = 0;
  Bytes flashInfo;  // 264 bytes
  Bytes biosArea;   // 128 KiB, physical 0xE0000..0xFFFFF
  std::string smbiosDir;                  // empty: the built-in structures
  std::map<std::string, Bytes> smbios;    // built-in "type.instance" -> bytes
  std::set<std::string> missing;          // "kebbapi", "kebdata"
  std::vector<Fault> faults;
  std::string stateFile;
  std::string logFile;
};

// The machine that answers when no settings file is named.
Machine DefaultMachine();

// Byte sum helper used for checksummed media and BIOS tables.
uint8_t ByteSum(const uint8_t* p, size_t n);
void FixMediaChecksum(NvMedia& m);

// Reads and writes token values inside the media images.
bool TokenRead(const Machine& m, const Token& t, Bytes& out);   // bytes: LE value or string
bool TokenWrite(Machine& m, const Token& t, const uint8_t* in, size_t n);

}  // namespace kebsim
