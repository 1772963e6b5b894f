// Reader of the simulator's settings file.
#include "settings.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "sim_wire.h"

namespace kebsim {
namespace {

struct ParseError {
  std::string what;
};

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> Words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> w;
  std::string x;
  while (in >> x) w.push_back(x);
  return w;
}

unsigned long long Number(const std::string& s, unsigned long long max) {
  if (s.empty()) throw ParseError{"missing number"};
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(s.c_str(), &end, 0);
  if (errno || *end || s[0] == '-') throw ParseError{"bad number '" + s + "'"};
  if (v > max) throw ParseError{"number out of range '" + s + "'"};
  return v;
}

Bytes Hex(const std::string& s) {
  std::string h;
  for (char c : s)
    if (c != ':' && c != ' ' && c != '-') h += c;
  if (h.size() % 2) throw ParseError{"odd number of hex digits"};
  Bytes out;
  for (size_t i = 0; i < h.size(); i += 2) {
    char* end = nullptr;
    std::string pair = h.substr(i, 2);
    unsigned long v = std::strtoul(pair.c_str(), &end, 16);
    if (*end) throw ParseError{"bad hex digits '" + pair + "'"};
    out.push_back(static_cast<uint8_t>(v));
  }
  return out;
}

std::string Resolve(const std::string& baseDir, const std::string& p) {
  if (p.empty() || p[0] == '/' || baseDir.empty()) return p;
  return baseDir + "/" + p;
}

// Reads at most `limit` bytes plus one, so that an endless file cannot hang the reader.
bool ReadFile(const std::string& path, Bytes& out, size_t limit) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(limit + 1, 0);
  in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
  out.resize(static_cast<size_t>(in.gcount()));
  return true;
}

void Need(const std::vector<std::string>& w, size_t n, const char* usage) {
  if (w.size() < n) throw ParseError{std::string("expected: ") + usage};
}

// key=value options behind the positional words of a line.
std::string Option(const std::string& word, const char* key) {
  std::string k = std::string(key) + "=";
  return word.compare(0, k.size(), k) == 0 ? word.substr(k.size()) : std::string();
}

Fault ParseFault(const std::vector<std::string>& w) {
  Need(w, 2, "fault TARGET errno=N|drv_status=N|bios_status=N|error_code=N|signature=N [count=N]");
  Fault f;
  f.target = w[0];
  for (size_t i = 1; i < w.size(); ++i) {
    const std::string& o = w[i];
    size_t eq = o.find('=');
    if (eq == std::string::npos) throw ParseError{"fault option without '=': " + o};
    std::string k = o.substr(0, eq), v = o.substr(eq + 1);
    if (k == "errno") f.errnoValue = static_cast<int>(Number(v, 4095));
    else if (k == "drv_status") f.drvStatus = static_cast<long long>(Number(v, 0xFFFFFFFFull));
    else if (k == "bios_status") f.biosStatus = static_cast<int>(Number(v, 0xFF));
    else if (k == "error_code") f.errorCode = static_cast<int>(Number(v, 0xFFFF));
    else if (k == "signature") f.signature = static_cast<long long>(Number(v, 0xFFFFFFFFull));
    else if (k == "count") f.remaining = static_cast<int>(Number(v, 1000000));
    else throw ParseError{"unknown fault option '" + k + "'"};
  }
  return f;
}

class Applier {
 public:
  Applier(Machine& m, const std::string& baseDir) : m_(m), base_(baseDir) {}

  void Line(const std::string& key, const std::string& value) {
    std::vector<std::string> w = Words(value);
    if (firstOfList(key)) clearList(key);
    if (key == "driver_version") {
      Need(w, 1, "driver_version N");
      m_.driverVersion = static_cast<uint32_t>(Number(w[0], 0xFFFFFFFF));
    } else if (key == "data_driver_version") {
      Need(w, 1, "data_driver_version N");
      m_.dataDriverVersion = static_cast<uint32_t>(Number(w[0], 0xFFFFFFFF));
    } else if (key == "flash") {
      Need(w, 2, "flash SECTORS SECTOR_SIZE [FILL]");
      size_t sectors = Number(w[0], 0x10000), size = Number(w[1], 0x100000);
      if (sectors == 0 || size == 0 || sectors * size > 64u << 20)
        throw ParseError{"flash size must be between 1 byte and 64 MiB"};
      m_.sectorSize = static_cast<uint32_t>(size);
      m_.flash.assign(sectors * size, w.size() > 2 ? static_cast<uint8_t>(Number(w[2], 0xFF)) : 0xFF);
    } else if (key == "flash_bytes") {
      Need(w, 2, "flash_bytes OFFSET HEX");
      Patch(m_.flash, Number(w[0], 0xFFFFFFFF), Hex(w[1]));
    } else if (key == "protected_sectors") {
      m_.protectedSectors.clear();
      for (auto& s : w) m_.protectedSectors.insert(static_cast<uint16_t>(Number(s, 0xFFFF)));
    } else if (key == "media") {
      Need(w, 2, "media ID SIZE [plain]");
      uint16_t id = static_cast<uint16_t>(Number(w[0], 254));
      size_t size = Number(w[1], 1 << 20);
      if (size < 2) throw ParseError{"media size must be at least 2"};
      NvMedia nm;
      nm.image.assign(size, 0);
      nm.checksummed = !(w.size() > 2 && w[2] == "plain");
      m_.media[id] = nm;
    } else if (key == "media_bytes") {
      Need(w, 3, "media_bytes ID OFFSET HEX");
      auto it = m_.media.find(static_cast<uint16_t>(Number(w[0], 0xFFFF)));
      if (it == m_.media.end()) throw ParseError{"unknown media " + w[0]};
      Patch(it->second.image, Number(w[1], 0xFFFFFFFF), Hex(w[2]));
    } else if (key == "token") {
      ParseToken(w);
    } else if (key == "nve_table") {
      m_.nveTable = (w.empty() || w[0] == "none") ? Bytes() : Hex(w[0]);
    } else if (key == "boot_order") {
      Need(w, 1, "boot_order TYPE [FIRST:SECOND ...]");
      BootOrder order;
      for (size_t i = 1; i < w.size(); ++i) {
        Bytes pair = Hex(w[i]);
        if (pair.size() != 2) throw ParseError{"boot order entry must be two bytes: " + w[i]};
        order.emplace_back(pair[0], pair[1]);
      }
      m_.bootOrders[static_cast<uint16_t>(Number(w[0], 0xFFFF))] = order;
    } else if (key == "oem_data") {
      m_.oemData = (w.empty() || w[0] == "none") ? Bytes() : Hex(w[0]);
    } else if (key == "oem_max") {
      Need(w, 1, "oem_max N");
      m_.oemMax = static_cast<uint32_t>(Number(w[0], 16u << 20));
    } else if (key == "oem_tmp_size") {
      Need(w, 1, "oem_tmp_size N");
      m_.oemTmpSize = static_cast<uint32_t>(Number(w[0], 16u << 20));
    } else if (key == "txt_status") {
      Need(w, 1, "txt_status N");
      m_.txtStatus = static_cast<uint16_t>(Number(w[0], 0xFFFF));
    } else if (key == "dormix_device") {
      Need(w, 1, "dormix_device HEX(10 bytes)");
      Bytes b = Hex(w[0]);
      if (b.size() != 10) throw ParseError{"dormix_device needs 10 bytes"};
      std::copy(b.begin(), b.end(), m_.dormixDevice.begin());
    } else if (key == "interval") {
      Need(w, 2, "interval INDEX HEX(7 bytes)");
      Bytes b = Hex(w[1]);
      if (b.size() != 7) throw ParseError{"interval needs 7 bytes"};
      unsigned idx = static_cast<unsigned>(Number(w[0], 0xFFFF));
      if (idx == 0) throw ParseError{"interval index starts at 1"};
      std::copy(b.begin(), b.end(), m_.intervals[idx].begin());
    } else if (key == "services") {
      m_.services.clear();
      for (auto& s : w) {
        uint32_t sig = SignatureOfName(s);
        if (!sig) sig = static_cast<uint32_t>(Number(s, 0xFFFFFFFF));
        m_.services.insert(sig);
      }
    } else if (key == "flash_info") {
      Need(w, 1, "flash_info COUNT [HEX]");
      m_.flashInfoCount = static_cast<uint16_t>(Number(w[0], 0xFFFF));
      m_.flashInfo.assign(264, 0);
      if (w.size() > 1) {
        Bytes b = Hex(w[1]);
        if (b.size() > 264) throw ParseError{"flash_info holds at most 264 bytes"};
        std::copy(b.begin(), b.end(), m_.flashInfo.begin());
      }
    } else if (key == "bios_area") {
      Need(w, 1, "bios_area PATH");
      Bytes b;
      std::string p = Resolve(base_, value);
      if (!ReadFile(p, b, kAreaSize)) throw ParseError{"cannot read BIOS area image '" + p + "'"};
      if (b.size() != kAreaSize) throw ParseError{"BIOS area image must hold exactly 131072 bytes"};
      m_.biosArea = b;
    } else if (key == "bios_bytes") {
      Need(w, 2, "bios_bytes OFFSET HEX");
      Patch(m_.biosArea, Number(w[0], 0xFFFFFFFF), Hex(w[1]));
    } else if (key == "smbios_dir") {
      m_.smbiosDir = Resolve(base_, value);
    } else if (key == "smbios") {
      Need(w, 2, "smbios TYPE.INSTANCE HEX");
      m_.smbios[w[0]] = Hex(w[1]);
    } else if (key == "state_file") {
      m_.stateFile = Resolve(base_, value);
    } else if (key == "log_file") {
      m_.logFile = Resolve(base_, value);
    } else if (key == "missing") {
      Need(w, 1, "missing kebbapi|kebdata");
      for (auto& d : w) {
        if (d != "kebbapi" && d != "kebdata") throw ParseError{"unknown device '" + d + "'"};
        m_.missing.insert(d);
      }
    } else if (key == "fault") {
      m_.faults.push_back(ParseFault(w));
    } else {
      throw ParseError{"unknown key '" + key + "'"};
    }
  }

  void Finish() {
    // The settings describe the factory state: checksums hold and defaults equal it.
    for (auto& kv : m_.media) {
      FixMediaChecksum(kv.second);
      kv.second.defaults = kv.second.image;
    }
  }

 private:
  bool firstOfList(const std::string& key) {
    static const std::set<std::string> lists = {"media", "token", "boot_order", "interval", "smbios"};
    if (!lists.count(key) || seen_.count(key)) return false;
    seen_.insert(key);
    return true;
  }
  void clearList(const std::string& key) {
    if (key == "media") m_.media.clear();
    else if (key == "token") m_.tokens.clear();
    else if (key == "boot_order") m_.bootOrders.clear();
    else if (key == "interval") m_.intervals.clear();
    else if (key == "smbios") m_.smbios.clear();
  }
  static void Patch(Bytes& target, unsigned long long at, const Bytes& b) {
    if (at > target.size() || b.size() > target.size() - at) throw ParseError{"bytes lie outside the image"};
    std::copy(b.begin(), b.end(), target.begin() + static_cast<long>(at));
  }
  void ParseToken(const std::vector<std::string>& w) {
    Need(w, 4, "token NUMBER media=ID start=BIT width=W [string] [value=V]");
    uint16_t number = static_cast<uint16_t>(Number(w[0], 0xFFFF));
    Token t;
    std::string value;
    bool haveMedia = false, haveStart = false, haveWidth = false;
    for (size_t i = 1; i < w.size(); ++i) {
      std::string v;
      if (!(v = Option(w[i], "media")).empty()) { t.media = static_cast<uint8_t>(Number(v, 254)); haveMedia = true; }
      else if (!(v = Option(w[i], "start")).empty()) { t.startBit = static_cast<uint16_t>(Number(v, 0xFFFF)); haveStart = true; }
      else if (!(v = Option(w[i], "width")).empty()) { t.width = static_cast<uint8_t>(Number(v, 255)); haveWidth = true; }
      else if (!(v = Option(w[i], "value")).empty()) value = v;
      else if (w[i] == "string") t.byteString = true;
      else throw ParseError{"unknown token option '" + w[i] + "'"};
    }
    if (!haveMedia || !haveStart || !haveWidth) throw ParseError{"token needs media=, start= and width="};
    if (t.byteString && t.startBit % 8) throw ParseError{"a byte-string token starts on a byte boundary"};
    if (!t.byteString && (t.width == 0 || t.width > 16)) throw ParseError{"a bit-array token is 1 to 16 bits wide"};
    auto mi = m_.media.find(t.media);
    size_t bits = t.byteString ? size_t(t.width) * 8 : t.width;
    if (mi == m_.media.end()) throw ParseError{"token on unknown media " + std::to_string(t.media)};
    size_t usable = (mi->second.image.size() - (mi->second.checksummed ? 1 : 0)) * 8;
    if (t.startBit + bits > usable) throw ParseError{"token lies outside its media"};
    m_.tokens[number] = t;
    if (!value.empty()) {
      Bytes b;
      if (t.byteString) {
        b = Hex(value);
      } else {
        uint16_t v = static_cast<uint16_t>(Number(value, 0xFFFF));
        b = {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
      }
      TokenWrite(m_, t, b.data(), b.size());
    }
  }

  Machine& m_;
  std::string base_;
  std::set<std::string> seen_;
};

}  // namespace

uint32_t SignatureOfName(const std::string& name) {
  if (name.size() != 5) return 0;
  // The word's bytes, lowest first, are letter 5, letter 4, 'X', 'Z': "VRXNV" -> 0x5A584E56.
  if (name.compare(0, 3, "VRX") != 0) return 0;
  return 0x5A580000u | (uint32_t(uint8_t(name[3])) << 8) | uint8_t(name[4]);
}

bool ApplySettingsText(const std::string& text, const std::string& baseDir, const std::string& name,
                       Machine& m, std::string& error) {
  Applier a(m, baseDir);
  std::istringstream in(text);
  std::string line;
  int no = 0;
  try {
    while (std::getline(in, line)) {
      ++no;
      size_t hash = line.find('#');
      if (hash != std::string::npos) line.erase(hash);
      line = Trim(line);
      if (line.empty()) continue;
      size_t eq = line.find('=');
      if (eq == std::string::npos) throw ParseError{"expected 'key = value'"};
      a.Line(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
    a.Finish();
  } catch (const ParseError& e) {
    error = name + ":" + std::to_string(no) + ": " + e.what;
    return false;
  } catch (const std::exception& e) {
    error = name + ":" + std::to_string(no) + ": " + e.what();
    return false;
  }
  return true;
}

bool ApplySettingsFile(const std::string& path, Machine& m, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open the settings file";
    return false;
  }
  std::stringstream ss;
  ss << in.rdbuf();
  std::string dir;
  size_t slash = path.rfind('/');
  if (slash != std::string::npos) dir = path.substr(0, slash);
  return ApplySettingsText(ss.str(), dir, path, m, error);
}

}  // namespace kebsim
