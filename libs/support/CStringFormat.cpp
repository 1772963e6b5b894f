// CString::Format: the result is never cut. A first pass over the format
// computes an upper bound of the result length, the text is formatted into a
// block of that size, and should the bound ever fall short the block grows.
#include <cctype>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "CString.h"

namespace {

enum class Size { Default, Char, Short, Long, LongLong, LongDouble, IntMax, SizeT, PtrDiff, Int64 };

long long Max(long long a, long long b) { return a > b ? a : b; }

}  // namespace

int CString::FormatLengthBound(const char* fmt, va_list args) {
  va_list ap;
  va_copy(ap, args);
  long long total = 0;
  for (const char* p = fmt; *p; ++p) {
    if (*p != '%' || *++p == '%') {
      ++total;
      continue;
    }
    long long extra = 0;
    for (; *p; ++p) {
      if (*p == '#') extra += 2;
      else if (*p != '-' && *p != '+' && *p != '0' && *p != ' ') break;
    }
    long long width = 0;
    if (*p == '*') {
      int w = va_arg(ap, int);
      width = w < 0 ? -static_cast<long long>(w) : w;
      ++p;
    } else {
      for (; isdigit(static_cast<unsigned char>(*p)); ++p) width = width * 10 + (*p - '0');
      if (width > 0x7fffffff) width = 0x7fffffff;
    }
    long long precision = -1;
    if (*p == '.') {
      ++p;
      if (*p == '*') {
        int pr = va_arg(ap, int);
        precision = pr < 0 ? -1 : pr;
        ++p;
      } else {
        precision = 0;
        for (; isdigit(static_cast<unsigned char>(*p)); ++p) precision = precision * 10 + (*p - '0');
        if (precision > 0x7fffffff) precision = 0x7fffffff;
      }
    }
    Size size = Size::Default;
    for (bool more = true; more && *p;) {
      switch (*p) {
        case 'h': size = size == Size::Short ? Size::Char : Size::Short; ++p; break;
        case 'l': size = size == Size::Long ? Size::LongLong : Size::Long; ++p; break;
        case 'q': size = Size::LongLong; ++p; break;
        case 'L': size = Size::LongDouble; ++p; break;
        case 'j': size = Size::IntMax; ++p; break;
        case 'z': size = Size::SizeT; ++p; break;
        case 't': size = Size::PtrDiff; ++p; break;
        default: more = false;
      }
    }
    long long widthPrec = width + Max(precision, 0);
    long long item = 0;
    switch (*p) {
      case 'c':
        if (size == Size::Long) (void)va_arg(ap, wint_t);
        else (void)va_arg(ap, int);
        item = Max(2, width);
        break;
      case 's': {
        long long len;
        if (size == Size::Long) {
          const wchar_t* ws = va_arg(ap, const wchar_t*);
          // a wide character may take several bytes in the output
          len = ws ? static_cast<long long>(wcslen(ws)) * MB_LEN_MAX : 6;
        } else {
          const char* s = va_arg(ap, const char*);
          len = s ? static_cast<long long>(precision >= 0 ? strnlen(s, static_cast<size_t>(precision)) : strlen(s)) : 6;
        }
        if (len < 1) len = 1;
        item = Max(len, width);
        break;
      }
      case 'd': case 'i': case 'u': case 'x': case 'X': case 'o':
        switch (size) {
          case Size::Long: (void)va_arg(ap, long); break;
          case Size::LongLong: (void)va_arg(ap, long long); break;
          case Size::IntMax: (void)va_arg(ap, intmax_t); break;
          case Size::SizeT: (void)va_arg(ap, size_t); break;
          case Size::PtrDiff: (void)va_arg(ap, ptrdiff_t); break;
          default: (void)va_arg(ap, int); break;
        }
        item = Max(widthPrec, 32);
        break;
      case 'p':
        (void)va_arg(ap, void*);
        item = Max(widthPrec, 32);
        break;
      case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
        if (size == Size::LongDouble) (void)va_arg(ap, long double);
        else (void)va_arg(ap, double);
        item = Max(widthPrec, 128);
        break;
      case 'f': case 'F': {
        int w = static_cast<int>(width), pr = static_cast<int>(precision);
        int n;
        if (size == Size::LongDouble) n = snprintf(nullptr, 0, "%*.*Lf", w, pr, va_arg(ap, long double));
        else n = snprintf(nullptr, 0, "%*.*f", w, pr, va_arg(ap, double));
        item = Max(n, 0) + 6;
        break;
      }
      case 'n':
        (void)va_arg(ap, void*);
        break;
      case '\0':
        --p;  // a lone "%" at the end
        item = 1;
        break;
      default:
        item = Max(2, width);  // unknown conversion: printed as it stands
        break;
    }
    total += item + extra;
    if (total > 0x7ffffff0) break;
  }
  va_end(ap);
  return total > 0x7ffffff0 ? 0x7ffffff0 : static_cast<int>(total);
}

void CString::FormatV(const char* fmt, va_list args) {
  if (!fmt) fmt = "";
  int bound = FormatLengthBound(fmt, args);
  // A fresh block: the arguments may point into the old one.
  CStringData* old = GetData();
  for (;;) {
    AllocBuffer(bound);
    va_list ap;
    va_copy(ap, args);
    int written = vsnprintf(m_pchData, static_cast<size_t>(bound) + 1, fmt, ap);
    va_end(ap);
    if (written < 0) written = 0;  // not representable: empty result
    if (written <= bound) {
      // As ReleaseBuffer(-1): the text ends at its first terminator.
      if (bound > 0) {
        int length = static_cast<int>(strnlen(m_pchData, static_cast<size_t>(written)));
        GetData()->nDataLength = length;
        m_pchData[length] = '\0';
      }
      break;
    }
    Release(GetData());
    bound = written;
  }
  Release(old);
}

void CString::Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  FormatV(fmt, args);
  va_end(args);
}
