#include "util/AsciiText.h"

namespace stub {

namespace {
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::string AsciiUpper(std::string text) {
  for (char& c : text) c = Upper(c);
  return text;
}

bool AsciiEqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

std::size_t AsciiFindNoCase(const std::string& haystack, const std::string& needle, std::size_t from) {
  return AsciiUpper(haystack).find(AsciiUpper(needle), from);
}

bool AsciiStartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && AsciiEqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string TrimBlanks(const std::string& text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace stub
