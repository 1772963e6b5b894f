#include "request_log.h"

#include <fcntl.h>
#include <unistd.h>

namespace kebsim {

void JsonLine::Key(const char* key) {
  if (text_.size() > 1) text_ += ",";
  text_ += "\"";
  text_ += key;
  text_ += "\":";
}

JsonLine& JsonLine::Str(const char* key, const std::string& v) {
  if (!enabled_) return *this;
  Key(key);
  text_ += "\"";
  for (char c : v) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += c;
    } else if (u < 0x20) {
      static const char* d = "0123456789abcdef";
      text_ += "\\u00";
      text_ += d[u >> 4];
      text_ += d[u & 15];
    } else {
      text_ += c;
    }
  }
  text_ += "\"";
  return *this;
}

JsonLine& JsonLine::Num(const char* key, long long v) {
  if (!enabled_) return *this;
  Key(key);
  text_ += std::to_string(v);
  return *this;
}

JsonLine& JsonLine::Hex(const char* key, const uint8_t* p, size_t n) {
  static const char* d = "0123456789abcdef";
  if (!enabled_) return *this;
  Key(key);
  text_ += "\"";
  for (size_t i = 0; i < n; ++i) {
    text_ += d[p[i] >> 4];
    text_ += d[p[i] & 15];
  }
  text_ += "\"";
  return *this;
}

void AppendLog(const std::string& path, const std::string& line) {
  if (path.empty()) return;
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  size_t done = 0;
  while (done < line.size()) {
    ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
}

}  // namespace kebsim
