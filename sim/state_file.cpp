// State file: text lines "flash HEX", "media ID HEX", "boot TYPE HEX",
// "oem HEX", "interval INDEX HEX" behind the header line "kebsim-state 1".
#include "state_file.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace kebsim {
namespace {

const char* kHeader = "kebsim-state 1";

std::string ToHex(const uint8_t* p, size_t n) {
  static const char* d = "0123456789abcdef";
  std::string s;
  s.reserve(n * 2);
  for (size_t i = 0; i < n; ++i) {
    s += d[p[i] >> 4];
    s += d[p[i] & 15];
  }
  return s;
}

bool FromHex(const std::string& s, Bytes& out) {
  if (s.size() % 2) return false;
  out.clear();
  out.reserve(s.size() / 2);
  auto nib = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (size_t i = 0; i < s.size(); i += 2) {
    int h = nib(s[i]), l = nib(s[i + 1]);
    if (h < 0 || l < 0) return false;
    out.push_back(static_cast<uint8_t>(h * 16 + l));
  }
  return true;
}

bool ParseIndex(const std::string& s, unsigned long& v) {
  char* end = nullptr;
  if (s.empty()) return false;
  v = std::strtoul(s.c_str(), &end, 10);
  return *end == 0 && v <= 0xFFFF;
}

}  // namespace

void LoadState(const std::string& path, Machine& m, std::string& warning) {
  std::ifstream in(path);
  if (!in) return;
  std::string line;
  if (!std::getline(in, line) || line != kHeader) {
    warning = path + ": not a simulator state file; ignored";
    return;
  }
  // Parse everything first so that a damaged file changes nothing.
  Machine next = m;
  int no = 1;
  while (std::getline(in, line)) {
    ++no;
    std::istringstream ls(line);
    std::string kind, a, b;
    ls >> kind >> a >> b;
    Bytes bytes;
    unsigned long idx = 0;
    bool ok = true;
    if (kind == "flash") {
      ok = FromHex(a, bytes) && bytes.size() == next.flash.size();
      if (ok) next.flash = bytes;
    } else if (kind == "media") {
      ok = ParseIndex(a, idx) && FromHex(b, bytes) && next.media.count(uint16_t(idx)) &&
           next.media[uint16_t(idx)].image.size() == bytes.size();
      if (ok) next.media[uint16_t(idx)].image = bytes;
    } else if (kind == "boot") {
      ok = ParseIndex(a, idx) && FromHex(b, bytes) && bytes.size() % 2 == 0;
      if (ok) {
        BootOrder order;
        for (size_t i = 0; i < bytes.size(); i += 2) order.emplace_back(bytes[i], bytes[i + 1]);
        next.bootOrders[uint16_t(idx)] = order;
      }
    } else if (kind == "oem") {
      ok = (a == "-" ? (bytes.clear(), true) : FromHex(a, bytes)) && bytes.size() <= next.oemMax;
      if (ok) next.oemData = bytes;
    } else if (kind == "interval") {
      ok = ParseIndex(a, idx) && idx > 0 && FromHex(b, bytes) && bytes.size() == 7;
      if (ok) std::copy(bytes.begin(), bytes.end(), next.intervals[unsigned(idx)].begin());
    } else if (!kind.empty()) {
      ok = false;
    }
    if (!ok) {
      warning = path + ":" + std::to_string(no) + ": entry does not fit the configured machine; state ignored";
      return;
    }
  }
  m = std::move(next);
}

bool SaveState(const std::string& path, const Machine& m, std::string& error) {
  std::string tmp = path + ".tmp." + std::to_string(getpid());
  {
    std::ofstream out(tmp, std::ios::trunc);
    if (!out) {
      error = tmp + ": cannot write the state file";
      return false;
    }
    out << kHeader << "\n";
    out << "flash " << ToHex(m.flash.data(), m.flash.size()) << "\n";
    for (const auto& kv : m.media)
      out << "media " << kv.first << " " << ToHex(kv.second.image.data(), kv.second.image.size()) << "\n";
    for (const auto& kv : m.bootOrders) {
      Bytes b;
      for (auto& p : kv.second) {
        b.push_back(p.first);
        b.push_back(p.second);
      }
      out << "boot " << kv.first << " " << ToHex(b.data(), b.size()) << "\n";
    }
    out << "oem " << (m.oemData.empty() ? std::string("-") : ToHex(m.oemData.data(), m.oemData.size())) << "\n";
    for (const auto& kv : m.intervals)
      out << "interval " << kv.first << " " << ToHex(kv.second.data(), kv.second.size()) << "\n";
    out.flush();
    if (!out) {
      error = tmp + ": writing the state file failed";
      std::remove(tmp.c_str());
      return false;
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    error = path + ": cannot replace the state file";
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace kebsim
