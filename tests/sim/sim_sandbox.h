// Test helper: a private folder with a simulator settings file, state file and
// request log, named through the environment for the preloaded simulator.
#pragma once

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace simtest {

using Record = std::map<std::string, std::string>;

inline std::vector<uint8_t> FromHex(const std::string& h) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i + 1 < h.size(); i += 2) out.push_back(static_cast<uint8_t>(std::stoul(h.substr(i, 2), nullptr, 16)));
  return out;
}

// Reads the flat JSON objects the simulator writes, one per line.
inline std::vector<Record> ParseLog(const std::string& path) {
  std::vector<Record> out;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    Record r;
    size_t i = 1;
    while (i < line.size() && line[i] == '"') {
      size_t ke = line.find('"', i + 1);
      std::string key = line.substr(i + 1, ke - i - 1);
      size_t v = ke + 2;
      std::string value;
      if (line[v] == '"') {
        size_t ve = line.find('"', v + 1);
        value = line.substr(v + 1, ve - v - 1);
        i = ve + 1;
      } else {
        size_t ve = line.find_first_of(",}", v);
        value = line.substr(v, ve - v);
        i = ve;
      }
      r[key] = value;
      if (line[i] == ',') ++i;
      else break;
    }
    out.push_back(r);
  }
  return out;
}

inline long long Num(const Record& r, const std::string& key) {
  auto it = r.find(key);
  return it == r.end() ? -999999 : std::stoll(it->second);
}

class Sandbox {
 public:
  explicit Sandbox(const std::string& settings = "", bool withState = false) {
    const char* base = getenv("KEBSIM_TEST_TMP");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/sim-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    dir_ = mkdtemp(buf.data()) ? buf.data() : "";
    log_ = dir_ + "/requests.jsonl";
    state_ = dir_ + "/state.txt";
    config_ = dir_ + "/machine.conf";
    Write(settings);
    setenv("KEBSIM_CONFIG", config_.c_str(), 1);
    setenv("KEBSIM_LOG", log_.c_str(), 1);
    if (withState) setenv("KEBSIM_STATE", state_.c_str(), 1);
    else unsetenv("KEBSIM_STATE");
  }
  ~Sandbox() {
    unsetenv("KEBSIM_CONFIG");
    unsetenv("KEBSIM_LOG");
    unsetenv("KEBSIM_STATE");
    RemoveTree(dir_);
  }
  // Rewrites the settings; the next device open picks them up.
  void Write(const std::string& settings) {
    std::ofstream(config_) << "# sandbox " << counter_++ << "\n" << settings << "\n";
  }
  std::vector<Record> Log() const { return ParseLog(log_); }
  void ClearLog() const { std::remove(log_.c_str()); }
  const std::string& Dir() const { return dir_; }
  const std::string& StatePath() const { return state_; }

 private:
  static void RemoveTree(const std::string& d) {
    if (d.empty()) return;
    if (DIR* dp = opendir(d.c_str())) {
      while (dirent* e = readdir(dp)) {
        std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        std::string p = d + "/" + n;
        struct stat st;
        if (lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) RemoveTree(p);
        else unlink(p.c_str());
      }
      closedir(dp);
    }
    rmdir(d.c_str());
  }
  std::string dir_, log_, state_, config_;
  int counter_ = 0;
};

// Number of open descriptors of this process.
inline int OpenDescriptors() {
  int n = 0;
  if (DIR* dp = opendir("/proc/self/fd")) {
    while (readdir(dp)) ++n;
    closedir(dp);
  }
  return n;
}

}  // namespace simtest
