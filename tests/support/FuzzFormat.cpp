// Fuzz target: CString::Format with formats built from the input. Each
// conversion takes the argument slot of its type in a fixed argument list, so
// every format is valid; the result must equal what snprintf gives, uncut.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "CString.h"

namespace {

enum Slot { kInt, kStr, kDouble, kLongLong, kPtr, kLongDouble };
const Slot kSlots[] = {kInt, kStr, kDouble, kLongLong, kInt, kStr, kPtr, kLongDouble, kDouble, kInt};
const int kSlotCount = sizeof kSlots / sizeof kSlots[0];

std::string Conversion(FuzzedDataProvider& in, Slot slot) {
  std::string directive = "%";
  const char flags[] = "-+ #0";
  int flagCount = in.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < flagCount; ++i) directive += flags[in.ConsumeIntegralInRange(0, 4)];
  if (in.ConsumeBool()) directive += std::to_string(in.ConsumeIntegralInRange(0, 3000));
  if (in.ConsumeBool()) directive += "." + std::to_string(in.ConsumeIntegralInRange(0, 400));
  const char* options;
  switch (slot) {
    case kInt: options = "diuxXoc"; break;
    case kStr: options = "s"; break;
    case kDouble: options = "feEgGaAF"; break;
    case kLongLong: options = "diuxXo"; break;
    case kPtr: options = "p"; break;
    default: options = "feg"; break;
  }
  char conv = options[in.ConsumeIntegralInRange<size_t>(0, strlen(options) - 1)];
  if (slot == kInt && conv != 'c' && in.ConsumeBool()) directive += in.ConsumeBool() ? "h" : "hh";
  if (slot == kLongLong) directive += "ll";
  if (slot == kLongDouble) directive += "L";
  return directive + conv;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  int i1 = in.ConsumeIntegral<int>();
  int i2 = in.ConsumeIntegral<int>();
  int i3 = in.ConsumeIntegral<int>();
  long long ll = in.ConsumeIntegral<long long>();
  double d1 = in.ConsumeFloatingPoint<double>();
  double d2 = in.ConsumeFloatingPoint<double>();
  long double ld = in.ConsumeFloatingPoint<double>();
  std::string s1 = in.ConsumeRandomLengthString(500);
  const char* s2 = in.ConsumeBool() ? nullptr : "second";
  void* ptr = reinterpret_cast<void*>(in.ConsumeIntegral<uintptr_t>());

  std::string fmt;
  int used = in.ConsumeIntegralInRange(0, kSlotCount);
  for (int slot = 0; slot < used; ++slot) {
    std::string literal = in.ConsumeRandomLengthString(20);
    for (char c : literal) {
      if (c == '\0') continue;
      fmt += c;
      if (c == '%') fmt += '%';
    }
    fmt += Conversion(in, kSlots[slot]);
  }

  CString out;
  out.Format(fmt.c_str(), i1, s1.c_str(), d1, ll, i2, s2, ptr, ld, d2, i3);
  int n = snprintf(nullptr, 0, fmt.c_str(), i1, s1.c_str(), d1, ll, i2, s2, ptr, ld, d2, i3);
  if (n < 0) return 0;
  std::vector<char> expect(static_cast<size_t>(n) + 1);
  snprintf(expect.data(), expect.size(), fmt.c_str(), i1, s1.c_str(), d1, ll, i2, s2, ptr, ld, d2, i3);
  // "%c" of 0 puts a terminator inside: compare the bytes, not the C strings.
  if (out.GetLength() > n || memcmp(static_cast<const char*>(out), expect.data(), static_cast<size_t>(out.GetLength())) != 0)
    abort();
  if (out.GetLength() == n) return 0;
  if (memchr(expect.data(), '\0', static_cast<size_t>(n)) == nullptr) abort();  // cut without reason
  return 0;
}
