// In-place case and order helpers and a case-insensitive comparison.
#include <cctype>
#include <cstring>

#include "CString.h"

char* strlwr(char* s) {
  if (s)
    for (char* p = s; *p; ++p) *p = static_cast<char>(tolower(static_cast<unsigned char>(*p)));
  return s;
}

char* strupr(char* s) {
  if (s)
    for (char* p = s; *p; ++p) *p = static_cast<char>(toupper(static_cast<unsigned char>(*p)));
  return s;
}

char* strrev(char* s) {
  if (!s) return s;
  size_t n = strlen(s);
  for (size_t i = 0; i < n / 2; ++i) {
    char t = s[i];
    s[i] = s[n - 1 - i];
    s[n - 1 - i] = t;
  }
  return s;
}

int stricmp(const char* a, const char* b) {
  if (!a) a = "";
  if (!b) b = "";
  for (;; ++a, ++b) {
    int ca = tolower(static_cast<unsigned char>(*a));
    int cb = tolower(static_cast<unsigned char>(*b));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}
