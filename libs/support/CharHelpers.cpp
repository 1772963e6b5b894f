#include "CharHelpers.h"

#include <cstdint>

void StrSaveCopy(char* dst, const char* src, int size) {
  // No room even for the terminator: touch nothing.
  if (!dst || size <= 0) return;
  if (!src) src = "";
  int i = 0;
  for (; i < size; ++i) {
    dst[i] = src[i];
    if (src[i] == '\0') return;
  }
  dst[size - 1] = '\0';
}

void StrTrimRight(char* s, char c) {
  if (!s || !*s) return;
  char* p = s;
  while (*p) ++p;
  while (p > s && p[-1] == c) *--p = '\0';
}

unsigned char MscChkSumUChar(char* data, int len) {
  if (!data || len <= 0) return 0;
  unsigned char sum = 0;
  for (int i = 0; i < len; ++i) sum = static_cast<unsigned char>(sum + static_cast<unsigned char>(data[i]));
  return sum;
}

short MscIsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ? 1 : 0;
}

int MscHexAscToInt(const char* s) {
  if (!s) return 0;
  uint32_t value = 0;  // wraps at 32 bits without undefined behaviour
  for (; *s; ++s) {
    unsigned digit;
    if (*s >= '0' && *s <= '9') digit = *s - '0';
    else if (*s >= 'a' && *s <= 'f') digit = *s - 'a' + 10;
    else if (*s >= 'A' && *s <= 'F') digit = *s - 'A' + 10;
    else break;
    value = value * 16u + digit;
  }
  return static_cast<int>(value);
}

void MscStrUpr(char* s) {
  if (!s) return;
  for (; *s; ++s)
    if (*s >= 'a' && *s <= 'z') *s = static_cast<char>(*s - 'a' + 'A');
}
