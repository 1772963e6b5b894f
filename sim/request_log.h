// Request log: one JSON object per line and per driver request, so that tests
// can see exactly what went over the wire.
#pragma once

#include <cstdint>
#include <string>

namespace kebsim {

class JsonLine {
 public:
  // A line that nobody will write costs nothing to build.
  explicit JsonLine(bool enabled = true) : enabled_(enabled) {}
  bool Enabled() const { return enabled_; }
  JsonLine& Str(const char* key, const std::string& v);
  JsonLine& Num(const char* key, long long v);
  JsonLine& Hex(const char* key, const uint8_t* p, size_t n);  // bytes as a hex string
  std::string Done() const { return text_ + "}\n"; }

 private:
  void Key(const char* key);
  bool enabled_;
  std::string text_ = "{";
};

// Appends a line to the log file; an empty path means no log.
void AppendLog(const std::string& path, const std::string& line);

}  // namespace kebsim
