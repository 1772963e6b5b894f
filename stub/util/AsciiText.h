// Small text helpers for the stub's 8-bit strings. Names, switches and keys are
// compared without regard to case by ASCII upper-casing only (never locale-aware).
#pragma once
#include <string>

namespace stub {

std::string AsciiUpper(std::string text);
bool AsciiEqualsNoCase(const std::string& a, const std::string& b);
// Position of the first occurrence of needle in haystack, ignoring ASCII case; npos if none.
std::size_t AsciiFindNoCase(const std::string& haystack, const std::string& needle, std::size_t from = 0);
bool AsciiStartsWithNoCase(const std::string& text, const std::string& prefix);
// Removes blanks, tabs, CR and LF at both ends.
std::string TrimBlanks(const std::string& text);

}  // namespace stub
