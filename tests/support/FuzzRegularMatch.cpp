// Fuzz target: wildcard matching of an arbitrary pattern against arbitrary text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "Msc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  short ignoreCase = in.ConsumeBool() ? 1 : 0;
  std::string pattern = in.ConsumeRandomLengthString(2000);
  std::string text = in.ConsumeRemainingBytesAsString();
  int result = MscRegularMatch(pattern.c_str(), text.c_str(), ignoreCase);
  if (result != 0 && result != 1) abort();
  // Every text matches itself once "\" escapes each character.
  std::string escaped;
  for (char c : text.substr(0, text.find('\0'))) escaped += '\\', escaped += c;
  if (MscRegularMatch(escaped.c_str(), text.c_str(), 0) != 1) abort();
  return 0;
}
