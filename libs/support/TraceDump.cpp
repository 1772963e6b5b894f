// Hexadecimal dump of the trace facility: one line per bytesPerLine bytes,
// hexadecimal groups then characters, optional masked ranges and skipping of
// trailing zero lines.
#include <cstdio>
#include <cstring>

#include "ArdoTrace.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

// Steps through the (start, length) pairs, ended by -1, as offsets grow.
class MaskCursor {
 public:
  explicit MaskCursor(const int* ranges) : m_p(ranges) {}
  bool Covers(long long offset) {
    while (m_p && m_p[0] != -1 && offset >= static_cast<long long>(m_p[0]) + m_p[1]) m_p += 2;
    return m_p && m_p[0] != -1 && offset >= m_p[0] && offset < static_cast<long long>(m_p[0]) + m_p[1];
  }

 private:
  const int* m_p;
};

}  // namespace

void CArdoTrace::OutBinary(unsigned level, const void* data, int size, int bytesPerLine, int groupSize,
                           bool skipZeroLines, int* maskedRanges) {
  unsigned effective;
  if (!Passes(level, effective)) return;
  if (!data) {
    strcpy(m_szLine, "OutBinary(..., <null>, ...)\n");
    OutBase();
    return;
  }
  if (size <= 0) return;
  // Unusable layouts fall back to one group per line; a line must fit the buffer.
  int e = bytesPerLine > 0 ? bytesPerLine : 16;
  if (e > 4096) e = 4096;
  int c = groupSize > 0 && groupSize <= e ? groupSize : e;
  const unsigned char* bytes = static_cast<const unsigned char*>(data);

  int skipped = 0;
  if (skipZeroLines) {
    int zeros = 0;
    for (int i = size - 1; i >= 1 && bytes[i] == 0; --i) ++zeros;
    if (zeros >= e) {
      int room = zeros < size - e ? zeros : size - e;
      skipped = room > 0 ? room / e : 0;
      size -= skipped * e;
    }
  }

  const int charColumn = 3 * e + e / c;
  const int width = charColumn + e + (e - 1) / c;
  MaskCursor mask(maskedRanges);
  for (int lineStart = 0; lineStart < size; lineStart += e) {
    memset(m_szLine, ' ', static_cast<size_t>(width));
    m_szLine[width] = '\n';
    m_szLine[width + 1] = '\0';
    for (int o = 0; o < e && lineStart + o < size; ++o) {
      int g = o / c;
      unsigned char b = bytes[lineStart + o];
      char* hex = m_szLine + 3 * o + g;
      char* ch = m_szLine + charColumn + o + g;
      if (mask.Covers(lineStart + o)) {
        hex[0] = hex[1] = ch[0] = '?';
      } else {
        hex[0] = kHex[b >> 4];
        hex[1] = kHex[b & 15];
        ch[0] = b < 0x20 || b >= 0x80 ? '.' : static_cast<char>(b);
      }
    }
    OutBase();
  }
  if (skipped > 0) {
    snprintf(m_szLine, kLineSize, "... %d zero lines skipped\n", skipped);
    OutBase();
  }
}
