#include "core/CommandLine.h"

#include <cerrno>
#include <cstdlib>

#include "util/AsciiText.h"
#include "util/SelfDelimitedList.h"

namespace stub {

namespace {
constexpr char kSwitchSeparator = '\x01';

std::string RemoveThrough(const std::string& text, std::size_t pos, std::size_t length) {
  return text.substr(pos + length);
}
}  // namespace

std::string CommandLineTail(const std::string& raw, const std::string& stubFileName,
                            const std::string& stubFullPath) {
  std::string tail;
  std::size_t pos = std::string::npos;
  if (!stubFileName.empty() && (pos = AsciiFindNoCase(raw, stubFileName + "\"")) != std::string::npos) {
    tail = RemoveThrough(raw, pos, stubFileName.size() + 1);
  } else if (!stubFileName.empty() && (pos = AsciiFindNoCase(raw, stubFileName)) != std::string::npos) {
    tail = RemoveThrough(raw, pos, stubFileName.size());
  } else if (!stubFullPath.empty() && (pos = AsciiFindNoCase(raw, stubFullPath)) != std::string::npos) {
    tail = RemoveThrough(raw, pos, stubFullPath.size());
  } else {
    tail = raw;
  }
  tail = TrimBlanks(tail);
  return tail.size() == 1 ? std::string() : tail;
}

std::string WithoutSwitch(const std::string& tail, const std::string& s) {
  const std::string name = TrimBlanks(s);
  if (name.empty()) return tail;
  const std::string prefix(1, name[0]);
  std::string out = tail;
  for (std::size_t pos = AsciiFindNoCase(out, name); pos != std::string::npos;
       pos = AsciiFindNoCase(out, name, pos)) {
    if (pos > 0 && out[pos - 1] != ' ') {
      ++pos;
      continue;
    }
    std::size_t end = out.find(" " + prefix, pos + name.size());
    if (end == std::string::npos) end = out.size();
    out.erase(pos, end - pos);
  }
  std::string collapsed;
  for (char c : out)
    if (!(c == ' ' && !collapsed.empty() && collapsed.back() == ' ')) collapsed += c;
  return TrimBlanks(collapsed);
}

bool ParseInt64(const std::string& text, std::int64_t& value) {
  const std::string trimmed = TrimBlanks(text);
  if (trimmed.empty()) return false;
  std::size_t digits = (trimmed[0] == '-' || trimmed[0] == '+') ? 1 : 0;
  if (digits == trimmed.size()) return false;
  for (std::size_t i = digits; i < trimmed.size(); ++i)
    if (trimmed[i] < '0' || trimmed[i] > '9') return false;
  errno = 0;
  const long long parsed = std::strtoll(trimmed.c_str(), nullptr, 10);
  if (errno == ERANGE) return false;
  value = parsed;
  return true;
}

CommandLineSwitches::CommandLineSwitches(std::string tail) : tail_(std::move(tail)) {}

std::string CommandLineSwitches::SwitchList(char prefix) const {
  std::string text = " ";
  for (char c : tail_)
    if (c != '"') text += c;
  std::string list(1, kSwitchSeparator);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == prefix) {
      list += kSwitchSeparator;
      ++i;  // the prefix character goes with the blank
    } else {
      list += text[i];
    }
  }
  list += kSwitchSeparator;
  return list;
}

std::string CommandLineSwitches::Text(const std::string& s, const std::string& def) const {
  std::string name = TrimBlanks(s);
  const char prefix = (!name.empty() && name[0] == '-') ? '-' : '/';
  std::string key;
  for (char c : name)
    if (c != prefix) key += c;
  if (key.empty()) return def;
  // The absent case must stay distinguishable from an empty value, so the lookup's
  // own defaults are sentinels that cannot occur in a command line.
  static const std::string kAbsent(1, '\x02');
  const std::string value = SelfDelimitedList::Value(SwitchList(prefix), key, kAbsent, "");
  if (value == kAbsent) return def;
  return TrimBlanks(value);
}

std::int64_t CommandLineSwitches::Number(const std::string& s, std::int64_t def) const {
  std::int64_t value = def;
  return ParseInt64(Text(s, ""), value) ? value : def;
}

bool CommandLineSwitches::Flag(const std::string& s) const {
  return AsciiFindNoCase(tail_ + " ", TrimBlanks(s) + " ") != std::string::npos;
}

}  // namespace stub
