// Service answers of the simulated BIOS. Each service reads its parameters
// from the control input and the data input, checks them as the BIOS would,
// and answers through the general status, the error code and the data output.
#include "bios.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "sim_wire.h"

namespace kebsim {
namespace {

// Error codes of the NVRAM service.
enum : uint16_t { kNvEnumNotFound = 1, kNvTokenNotFound = 2, kNvIllegalToken = 3,
                  kNvMediaMissing = 4, kNvBufferSmall = 5, kNvIncomplete = 7 };

void Fail(BiosCall& c, uint16_t code, uint8_t status = 1) {
  c.status = status;
  c.errorCode = code;
}

bool NeedOut(BiosCall& c, size_t n, uint16_t code) {
  if (c.dataOut.size() >= n) return true;
  Fail(c, code);
  return false;
}

uint16_t Param16(const BiosCall& c) { return Load<uint16_t>(&c.ctrlIn[ctl::kParam]); }

void ServeBs(Machine& m, BiosCall& c, uint32_t code) {
  if (code == 0) {  // BIOS image size
    if (!NeedOut(c, 6, 1)) return;
    Store<uint32_t>(&c.dataOut[2], static_cast<uint32_t>(m.flash.size()));
    return;
  }
  if (!m.services.count(code)) {  // service check: the service asked for is absent
    Fail(c, 0, 3);
    return;
  }
  if (code == kSigVRXNV && c.dataOut.size() >= 6) {  // NVRAM image size
    uint32_t total = 0;
    for (auto& kv : m.media) total += static_cast<uint32_t>(kv.second.image.size());
    Store<uint32_t>(&c.dataOut[2], total);
  }
}

void ServeFa(Machine& m, BiosCall& c, uint32_t code) {
  if (code != 0) return Fail(c, 0, 3);
  if (!NeedOut(c, m.flash.size(), 1)) return;  // flash archive buffer overflow
  std::copy(m.flash.begin(), m.flash.end(), c.dataOut.begin());
}

void ServeFu(Machine& m, BiosCall& c) {
  uint16_t sector = Load<uint16_t>(&c.ctrlIn[ctl::kServiceCode]);
  bool eraseFirst = c.ctrlIn[9] & 1;
  size_t sectors = m.flash.size() / m.sectorSize;
  if (sector >= sectors) return Fail(c, 0x100);       // programming error: no such sector
  if (m.protectedSectors.count(sector)) return Fail(c, 0x200);  // permission failure
  if (c.dataIn.empty() || c.dataIn.size() > m.sectorSize) return Fail(c, 1);
  auto first = m.flash.begin() + static_cast<long>(size_t(sector) * m.sectorSize);
  if (eraseFirst) std::fill(first, first + m.sectorSize, 0xFF);
  std::copy(c.dataIn.begin(), c.dataIn.end(), first);
  c.changed = true;
}

void ServeNv(Machine& m, BiosCall& c, uint32_t code) {
  uint16_t param = Param16(c);
  switch (code) {
    case 1: {  // retrieve media image
      auto it = m.media.find(param);
      if (it == m.media.end()) return Fail(c, kNvMediaMissing);
      if (!NeedOut(c, it->second.image.size(), kNvBufferSmall)) return;
      std::copy(it->second.image.begin(), it->second.image.end(), c.dataOut.begin());
      return;
    }
    case 2: {  // update media image
      auto it = m.media.find(param);
      if (it == m.media.end()) return Fail(c, kNvMediaMissing);
      if (c.dataIn.empty() || c.dataIn.size() > it->second.image.size()) return Fail(c, kNvBufferSmall);
      std::copy(c.dataIn.begin(), c.dataIn.end(), it->second.image.begin());
      c.changed = true;
      return;
    }
    case 3: {  // read token
      auto it = m.tokens.find(param);
      if (it == m.tokens.end()) return Fail(c, kNvTokenNotFound);
      Bytes v;
      if (!TokenRead(m, it->second, v)) return Fail(c, kNvIllegalToken);
      if (!NeedOut(c, 2 + v.size(), kNvBufferSmall)) return;
      std::copy(v.begin(), v.end(), c.dataOut.begin() + 2);
      return;
    }
    case 4: {  // write token
      auto it = m.tokens.find(param);
      if (it == m.tokens.end()) return Fail(c, kNvTokenNotFound);
      if (c.dataIn.size() < 3) return Fail(c, kNvBufferSmall);
      const Token& t = it->second;
      Bytes v(c.dataIn.begin() + 2, c.dataIn.end());
      if (!t.byteString && t.width < 16) {
        if (v.size() < 2) return Fail(c, kNvBufferSmall);  // a bit-array value is a 16-bit word
        uint16_t value = Load<uint16_t>(v.data());
        if (value >> t.width) return Fail(c, kNvIllegalToken);  // value wider than the token
      }
      if (!TokenWrite(m, t, v.data(), v.size())) return Fail(c, kNvIllegalToken);
      c.changed = true;
      return;
    }
    case 5:  // load defaults (every media; the parameter selects nothing further)
      for (auto& kv : m.media) kv.second.image = kv.second.defaults;
      c.changed = true;
      return;
    case 7: {  // token information
      auto it = m.tokens.find(param);
      if (it == m.tokens.end()) return Fail(c, kNvTokenNotFound);
      if (!NeedOut(c, 9, kNvBufferSmall)) return;
      const Token& t = it->second;
      auto mi = m.media.find(t.media);
      c.dataOut[2] = t.media;
      c.dataOut[3] = t.byteString ? 1 : 0;
      c.dataOut[4] = (mi != m.media.end() && mi->second.checksummed) ? 1 : 0;
      c.dataOut[5] = 0;
      Store<uint16_t>(&c.dataOut[6], t.startBit);
      c.dataOut[8] = t.width;
      return;
    }
    case 8: {  // checksum update; media 255 means every media
      if (param == 255) {
        for (auto& kv : m.media) FixMediaChecksum(kv.second);
      } else {
        auto it = m.media.find(param);
        if (it == m.media.end()) return Fail(c, kNvMediaMissing);
        FixMediaChecksum(it->second);
      }
      c.changed = true;
      if (c.dataOut.size() >= 6) Store<uint16_t>(&c.dataOut[2], param);
      return;
    }
    case 16: {  // get boot order
      auto it = m.bootOrders.find(param);
      if (it == m.bootOrders.end()) return Fail(c, kNvEnumNotFound);
      size_t need = 6 + 2 * it->second.size() + 2;
      if (!NeedOut(c, need, kNvBufferSmall)) return;
      Store<uint16_t>(&c.dataOut[2], param);
      Store<uint16_t>(&c.dataOut[4], static_cast<uint16_t>(it->second.size()));
      size_t at = 6;
      for (auto& p : it->second) {
        c.dataOut[at++] = p.first;
        c.dataOut[at++] = p.second;
      }
      Store<uint16_t>(&c.dataOut[at], 0xFFFF);
      return;
    }
    case 17: {  // set boot order
      if (!m.bootOrders.count(param)) return Fail(c, kNvEnumNotFound);
      BootOrder order;
      size_t at = 4;
      bool ended = false;
      while (at + 2 <= c.dataIn.size()) {
        if (Load<uint16_t>(&c.dataIn[at]) == 0xFFFF) {
          ended = true;
          break;
        }
        order.emplace_back(c.dataIn[at], c.dataIn[at + 1]);
        at += 2;
      }
      if (!ended) return Fail(c, kNvIncomplete);
      m.bootOrders[param] = order;
      c.changed = true;
      return;
    }
    case 18:  // NVE table
      if (m.nveTable.empty()) return Fail(c, kNvIncomplete);
      if (!NeedOut(c, m.nveTable.size(), kNvBufferSmall)) return;
      std::copy(m.nveTable.begin(), m.nveTable.end(), c.dataOut.begin());
      return;
    default:
      return Fail(c, 0, 3);
  }
}

void ServeQd(Machine& m, BiosCall& c, uint32_t code) {
  if (code == 0) {
    if (!NeedOut(c, 10, 1)) return;
    std::copy(m.dormixDevice.begin(), m.dormixDevice.end(), c.dataOut.begin());
    return;
  }
  unsigned index = (code + 1) / 2;
  auto it = m.intervals.find(index);
  if (it == m.intervals.end()) return Fail(c, 1);
  if (code % 2) {  // read interval
    if (!NeedOut(c, 9, 1)) return;
    Store<uint16_t>(&c.dataOut[0], 9);
    std::copy(it->second.begin(), it->second.end(), c.dataOut.begin() + 2);
    return;
  }
  if (c.dataIn.size() < 9 || Load<uint16_t>(c.dataIn.data()) != 9) return Fail(c, 1);
  std::copy(c.dataIn.begin() + 2, c.dataIn.begin() + 9, it->second.begin());
  c.changed = true;
}

void ServeOd(Machine& m, BiosCall& c, uint32_t code) {
  if (std::memcmp(&c.ctrlIn[ctl::kParam], "PcId", 4) != 0) return Fail(c, 1);
  switch (code) {
    case 0:
      if (!NeedOut(c, 10, 1)) return;
      Store<uint32_t>(&c.dataOut[2], m.oemTmpSize);
      Store<uint32_t>(&c.dataOut[6], static_cast<uint32_t>(m.oemData.size()));
      return;
    case 1:
      if (c.dataOut.size() > m.oemData.size()) return Fail(c, 1);
      std::copy(m.oemData.begin(), m.oemData.begin() + static_cast<long>(c.dataOut.size()), c.dataOut.begin());
      return;
    case 2:
      if (c.dataIn.size() > m.oemMax) return Fail(c, 1);
      if (c.dataOut.size() < size_t(m.oemTmpSize) + 256) return Fail(c, 2);  // too little working space
      m.oemData = c.dataIn;
      c.changed = true;
      return;
    default:
      return Fail(c, 0, 3);
  }
}

void ServeFi(Machine& m, BiosCall& c, uint32_t code) {
  if (code != 0) return Fail(c, 0, 3);
  if (!NeedOut(c, 268, 1)) return;
  Store<uint16_t>(&c.dataOut[2], m.flashInfoCount);
  std::copy(m.flashInfo.begin(), m.flashInfo.end(), c.dataOut.begin() + 4);
}

void ServeAc(Machine& m, BiosCall& c, uint32_t code) {
  if (code != 0) return Fail(c, 0, 3);
  if (!NeedOut(c, 4, 1)) return;
  Store<uint16_t>(&c.dataOut[2], m.txtStatus);
}

}  // namespace

std::string ServiceName(uint32_t sig) {
  if ((sig >> 16) == 0x5A58 && std::isupper(int((sig >> 8) & 0xFF)) && std::isupper(int(sig & 0xFF))) {
    return std::string("VRX") + char((sig >> 8) & 0xFF) + char(sig & 0xFF);
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", sig);
  return buf;
}

void ServeBios(Machine& m, BiosCall& c) {
  uint32_t sig = Load<uint32_t>(&c.ctrlIn[ctl::kSignature]);
  uint32_t code = Load<uint32_t>(&c.ctrlIn[ctl::kServiceCode]);
  c.signatureOut = sig;
  c.status = 0;
  c.errorCode = 0;
  if (!m.services.count(sig)) return Fail(c, 0, 3);
  switch (sig) {
    case kSigVRXBS: return ServeBs(m, c, code);
    case kSigVRXFA: return ServeFa(m, c, code);
    case kSigVRXFU: return ServeFu(m, c);
    case kSigVRXNV: return ServeNv(m, c, code);
    case kSigVRXQD: return ServeQd(m, c, code);
    case kSigVRXOD: return ServeOd(m, c, code);
    case kSigVRXFI: return ServeFi(m, c, code);
    case kSigVRXAC: return ServeAc(m, c, code);
    case kSigVRXCC: return;  // present, without functions of its own here
    default: return Fail(c, 0, 3);
  }
}

}  // namespace kebsim
