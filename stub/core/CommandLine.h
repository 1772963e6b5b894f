// Reading the stub's command line: the tail behind the program name and the switches
// in it ("/Name=value", names compared without regard to case).
#pragma once
#include <cstdint>
#include <string>

namespace stub {

// The part of the raw command line behind the program: everything up to and including
// the first occurrence of the stub's file name followed by a double quote (or, when that
// does not occur, of the file name alone; or else of the full path) is removed, the
// rest trimmed. A tail that trims to a single character counts as empty.
std::string CommandLineTail(const std::string& rawCommandLine, const std::string& stubFileName,
                            const std::string& stubFullPath);

class CommandLineSwitches {
 public:
  explicit CommandLineSwitches(std::string tail);

  const std::string& Tail() const { return tail_; }

  // Value of switch s ("/SpanCdLvl=" style). The prefix is "-" when s is written with
  // it, otherwise "/"; the command line must use the same prefix. Absent: def; present
  // with nothing behind "=": empty text. The value ends at the next blank + prefix and
  // loses every double quote.
  std::string Text(const std::string& s, const std::string& def = "") const;
  // Same, as a 64-bit integer; def when absent, empty or not a number.
  std::int64_t Number(const std::string& s, std::int64_t def) const;
  // Flag switch ("/hide"): present when trim(s) + " " occurs in tail + " " (any case).
  bool Flag(const std::string& s) const;
  // Whether the tail holds at least one argument.
  bool HasArguments() const { return !tail_.empty(); }

  // The self-delimited switch list for prefix character c (fields are name=value).
  std::string SwitchList(char prefix) const;

 private:
  std::string tail_;
};

// The tail without every occurrence of switch s (from its prefix to the next blank +
// prefix, or the end), e.g. WithoutSwitch("/a=1 /SpanCdLvl=2 /b", "/SpanCdLvl=") = "/a=1 /b".
std::string WithoutSwitch(const std::string& tail, const std::string& s);

// Decimal text to a 64-bit integer: optional blanks and sign, digits, nothing else.
bool ParseInt64(const std::string& text, std::int64_t& value);

}  // namespace stub
