#include "CProfile.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ArdoTrace.h"
#include "CharHelpers.h"

char CProfile::szB[CProfile::kValueSize];

namespace {

const char* OrEmpty(const char* s) { return s ? s : ""; }


}  // namespace

CProfile::CProfile() {
  ProfInit();
  m_szFileName[0] = '\0';
}

CProfile::CProfile(const char* fileName) {
  ProfInit();
  StrSaveCopy(m_szFileName, OrEmpty(fileName), sizeof m_szFileName);
}

CProfile::~CProfile() { ProfCleanUp(); }

void CProfile::ProfInit() {
  m_pcText = nullptr;
  m_uiTextLen = 0;
  m_pFile = nullptr;
}

BOOL CProfile::Create(int, const char* fileName) {
  StrSaveCopy(m_szFileName, OrEmpty(fileName), sizeof m_szFileName);
  FILE* f = fopen(m_szFileName, "w");
  if (!f) return 0;
  fclose(f);
  return 1;
}

BOOL CProfile::ProfRead(bool forChange) {
  ProfCleanUp();
  m_pcText = static_cast<char*>(malloc(kMaxText));
  if (!m_pcText) return 0;
  m_pFile = fopen(m_szFileName, "rb");
  if (!m_pFile) return 0;
  m_uiTextLen = static_cast<unsigned>(fread(m_pcText, 1, kMaxText, m_pFile));
  // Only the first 8192 bytes fit; writing such a text back would lose the
  // tail, so a longer file may be read but never changed.
  bool longer = m_uiTextLen == kMaxText && fgetc(m_pFile) != EOF;
  fclose(m_pFile);
  m_pFile = nullptr;
  if (longer && forChange) {
    g_trc.OutTV2(TRC_ERROR, KEB_SIG, TRC_INTERNAL, "Profile file too long",
                 "file='%s' is longer than %u bytes: change refused, file left as it is",
                 m_szFileName, kMaxText);
    return 0;
  }
  return 1;
}

BOOL CProfile::ProfSave() {
  m_pFile = fopen(m_szFileName, "wb");
  if (!m_pFile) return 0;
  size_t written = fwrite(m_pcText, 1, m_uiTextLen, m_pFile);
  fclose(m_pFile);
  m_pFile = nullptr;
  return written == m_uiTextLen ? 1 : 0;
}

void CProfile::ProfCleanUp() {
  free(m_pcText);
  m_pcText = nullptr;
  if (m_pFile) fclose(m_pFile);
  m_pFile = nullptr;
  m_uiTextLen = 0;
}

unsigned CProfile::ProfSectionFind(const char* section, unsigned* headerPos) const {
  const char* t = m_pcText;
  unsigned len = m_uiTextLen;
  size_t n = strlen(OrEmpty(section));
  unsigned i = 0;
  while (i < len) {
    if (t[i] != '[') {  // looking for "["
      ++i;
      continue;
    }
    unsigned header = i++;
    // The name is compared as a prefix of what follows "[".
    if (i + n > len || memcmp(t + i, section, n) != 0) continue;
    i += static_cast<unsigned>(n);
    while (i < len && t[i] != ']') ++i;
    while (i < len && t[i] != '\r' && t[i] != '\n') ++i;
    while (i < len && (t[i] == '\r' || t[i] == '\n')) ++i;
    if (i >= len) return kNotFound;  // a header ending the text counts as missing
    if (headerPos) *headerPos = header;
    return i;
  }
  return kNotFound;
}

unsigned CProfile::ProfEntryFind(const char* key, unsigned bodyStart, unsigned* keyPos) const {
  if (bodyStart == kNotFound) return kNotFound;
  const char* t = m_pcText;
  unsigned len = m_uiTextLen;
  size_t n = strlen(OrEmpty(key));
  // Every position is tested, not only line starts: keys act as prefixes.
  for (unsigned p = bodyStart; p < len; ++p) {
    if (t[p] == '[') return kNotFound;
    if (p + n <= len && memcmp(t + p, key, n) == 0) {
      unsigned q = p + static_cast<unsigned>(n);
      while (q < len && t[q] != '=') ++q;
      if (q >= len) return kNotFound;
      if (keyPos) *keyPos = p;
      return q + 1;
    }
  }
  return kNotFound;
}

unsigned CProfile::ProfPosFind(const char* section, const char* key) const {
  return ProfEntryFind(key, ProfSectionFind(section));
}

void CProfile::ProfValueGet(unsigned position) {
  unsigned n = 0;
  // The value buffer holds 79 characters; a longer value is cut there.
  while (position + n < m_uiTextLen && n < kValueSize - 1) {
    char c = m_pcText[position + n];
    if (c == '\r' || c == '\n') break;
    szB[n++] = c;
  }
  szB[n] = '\0';
}

BOOL CProfile::ProfDataRaise(unsigned position, unsigned n) {
  if (position > m_uiTextLen || n > kMaxText - m_uiTextLen) return 0;
  memmove(m_pcText + position + n, m_pcText + position, m_uiTextLen - position);
  m_uiTextLen += n;
  return 1;
}

BOOL CProfile::ProfDataShrink(unsigned position, unsigned n) {
  if (n > m_uiTextLen || position > m_uiTextLen - n) return 0;
  memmove(m_pcText + position, m_pcText + position + n, m_uiTextLen - position - n);
  m_uiTextLen -= n;
  return 1;
}

BOOL CProfile::ProfValueSet(unsigned position, const char* value) {
  if (position > m_uiTextLen) return 0;
  unsigned end = position;
  while (end < m_uiTextLen && m_pcText[end] != '\n') ++end;
  unsigned oldLen = end - position;
  size_t newLen = strlen(OrEmpty(value));
  if (newLen > kMaxText) return 0;
  if (newLen > oldLen) {
    if (!ProfDataRaise(end, static_cast<unsigned>(newLen) - oldLen)) return 0;
  } else if (newLen < oldLen) {
    if (!ProfDataShrink(position + static_cast<unsigned>(newLen), oldLen - static_cast<unsigned>(newLen))) return 0;
  }
  memcpy(m_pcText + position, value, newLen);
  return 1;
}

unsigned CProfile::ProfEntryAdd(const char* key, unsigned position) {
  size_t n = strlen(OrEmpty(key));
  if (n > kMaxText || !ProfDataRaise(position, static_cast<unsigned>(n) + 2)) return kNotFound;
  memcpy(m_pcText + position, key, n);
  m_pcText[position + n] = '=';
  m_pcText[position + n + 1] = '\n';
  return position + static_cast<unsigned>(n) + 1;
}

unsigned CProfile::ProfSectionAdd(const char* section) {
  size_t n = strlen(OrEmpty(section));
  unsigned at = m_uiTextLen;
  if (n > kMaxText || !ProfDataRaise(at, static_cast<unsigned>(n) + 4)) return kNotFound;
  m_pcText[at] = '[';
  memcpy(m_pcText + at + 1, section, n);
  memcpy(m_pcText + at + 1 + n, "]\n\n", 3);
  return m_uiTextLen - 1;
}

void CProfile::ProfEntryDel(const char* section, const char* key) {
  unsigned keyPos = 0;
  if (ProfEntryFind(key, ProfSectionFind(section), &keyPos) == kNotFound) return;
  unsigned end = keyPos;
  while (end < m_uiTextLen && m_pcText[end] != '\n') ++end;
  if (end >= m_uiTextLen) end = m_uiTextLen - 1;  // no line end: the last character stays
  if (end > keyPos) ProfDataShrink(keyPos, end - keyPos);
}

void CProfile::ProfSectionDel(const char* section) {
  unsigned header = 0;
  if (ProfSectionFind(section, &header) == kNotFound) return;
  unsigned next = header + 1;
  while (next < m_uiTextLen && m_pcText[next] != '[') ++next;
  // Up to, not including, the byte in front of the next "[" (or the last byte).
  unsigned end = next < m_uiTextLen ? next - 1 : m_uiTextLen - 1;
  if (end > header) ProfDataShrink(header, end - header);
}

namespace {
bool IsBlockByte(char c) {
  return MscIsHexDigit(c) || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
}  // namespace

BOOL CProfile::ProfBinarySectSet(const char* section, const unsigned char* data, int count) {
  if (!data || count < 1 || count > static_cast<int>(kMaxText)) return 0;
  unsigned body = ProfSectionFind(section);
  if (body == kNotFound) body = ProfSectionAdd(section);
  if (body == kNotFound) return 0;
  unsigned end = body;
  while (end < m_uiTextLen && IsBlockByte(m_pcText[end])) ++end;

  // 16 bytes on the first line, 47 on each further one.
  std::string block;
  block.reserve(static_cast<size_t>(count) * 3);
  char item[4];
  for (int i = 0; i < count; ++i) {
    if (i == 0) snprintf(item, sizeof item, "%2.2x", data[i]);
    else snprintf(item, sizeof item, block.size() % 47 == 0 ? "\n%2.2x" : " %2.2x", data[i]);
    block += item;
  }
  block += '\n';

  unsigned oldLen = end - body;
  unsigned newLen = static_cast<unsigned>(block.size());
  if (newLen > oldLen) {
    if (!ProfDataRaise(end, newLen - oldLen)) return 0;
  } else if (newLen < oldLen) {
    ProfDataShrink(body + newLen, oldLen - newLen);
  }
  memcpy(m_pcText + body, block.data(), newLen);
  return 1;
}

int CProfile::ProfBinarySectGet(const char* section, unsigned char* data, int count) const {
  unsigned i = ProfSectionFind(section);
  if (i == kNotFound) return 0;
  bool countOnly = count == 0 || data == nullptr;
  int read = 0;
  while (countOnly || read < count) {
    while (i < m_uiTextLen && (m_pcText[i] == ' ' || m_pcText[i] == '\t' || m_pcText[i] == '\r' ||
                               m_pcText[i] == '\n'))
      ++i;
    if (i + 1 >= m_uiTextLen || !MscIsHexDigit(m_pcText[i]) || !MscIsHexDigit(m_pcText[i + 1])) break;
    char pair[3] = {m_pcText[i], m_pcText[i + 1], '\0'};
    if (!countOnly) data[read] = static_cast<unsigned char>(MscHexAscToInt(pair));
    ++read;
    i += 2;
  }
  return read;
}

// ---- public operations ----


int CProfile::StringGet(const char* section, const char* key, const char* defaultValue, char* out,
                        int size) {
  defaultValue = OrEmpty(defaultValue);
  int result;
  if (!ProfRead(false)) {
    result = 0;
    if (out && size > 0) strncpy(out, defaultValue, static_cast<size_t>(size));
  } else {
    unsigned pos = ProfPosFind(section, key);
    if (pos == kNotFound) {
      result = 1;
      if (out && size > 0) strncpy(out, defaultValue, static_cast<size_t>(size));
    } else {
      ProfValueGet(pos);
      int length = static_cast<int>(strlen(szB));
      result = length + 1 < size ? length + 1 : size;
      if (out && size > 0) strncpy(out, szB, static_cast<size_t>(size));
    }
  }
  ProfCleanUp();
  return result;
}

int CProfile::StringGet(const char* section, const char* key, const char* defaultValue, CString& out) {
  int result;
  if (!ProfRead(false)) {
    out = defaultValue;
    result = 0;
  } else {
    unsigned pos = ProfPosFind(section, key);
    if (pos == kNotFound) {
      out = defaultValue;
    } else {
      ProfValueGet(pos);
      out = szB;
    }
    result = out.GetLength() + 1;
  }
  ProfCleanUp();
  return result;
}

int CProfile::IntGet(const char* section, const char* key, int defaultValue) {
  int result = defaultValue;
  if (ProfRead(false)) {
    unsigned pos = ProfPosFind(section, key);
    if (pos != kNotFound) {
      ProfValueGet(pos);
      result = atoi(szB);
    }
  }
  ProfCleanUp();
  return result;
}

BOOL CProfile::StringSet(const char* section, const char* key, const char* value) {
  if (!ProfRead(true)) {
    ProfCleanUp();
    return 0;
  }
  // A change that does not fit leaves the text exactly as it was.
  std::vector<char> before(m_pcText, m_pcText + m_uiTextLen);
  unsigned body = ProfSectionFind(section);
  unsigned pos;
  if (body == kNotFound) {
    pos = ProfSectionAdd(section);
    if (pos != kNotFound) pos = ProfEntryAdd(key, pos);
  } else {
    pos = ProfEntryFind(key, body);
    if (pos == kNotFound) pos = ProfEntryAdd(key, body);
  }
  if (pos == kNotFound || !ProfValueSet(pos, value)) {
    if (!before.empty()) memcpy(m_pcText, before.data(), before.size());
    m_uiTextLen = static_cast<unsigned>(before.size());
    g_trc.OutTV2(TRC_WARNING, KEB_SIG, TRC_INTERNAL, "Profile text full",
                 "file='%s' section='%s' key='%s': change exceeds %u bytes, not made", m_szFileName,
                 OrEmpty(section), OrEmpty(key), kMaxText);
  }
  ProfSave();
  ProfCleanUp();
  return 1;
}

BOOL CProfile::IntSet(const char* section, const char* key, int value) {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  return StringSet(section, key, text);
}

BOOL CProfile::EntryAdd(const char* section, const char* key) {
  BOOL result = 0;
  if (ProfRead(true)) {
    unsigned body = ProfSectionFind(section);
    if (body != kNotFound) {
      if (ProfEntryFind(key, body) == kNotFound) ProfEntryAdd(key, body);
      ProfSave();
      result = 1;
    }
  }
  ProfCleanUp();
  return result;
}

BOOL CProfile::EntryDel(const char* section, const char* key) {
  BOOL result = 0;
  if (ProfRead(true)) {
    ProfEntryDel(section, key);
    ProfSave();
    result = 1;
  }
  ProfCleanUp();
  return result;
}

BOOL CProfile::SectionAdd(const char* section) {
  BOOL result = 0;
  if (ProfRead(true)) {
    if (ProfSectionFind(section) == kNotFound) ProfSectionAdd(section);
    ProfSave();
    result = 1;
  }
  ProfCleanUp();
  return result;
}

BOOL CProfile::SectionDel(const char* section) {
  BOOL result = 0;
  if (ProfRead(true)) {
    ProfSectionDel(section);
    ProfSave();
    result = 1;
  }
  ProfCleanUp();
  return result;
}

BOOL CProfile::BinarySectSet(const char* section, unsigned char* data, int count) {
  if (!data || count < 1) return 0;
  if (!ProfRead(true)) {
    ProfCleanUp();
    return 0;
  }
  std::vector<char> before(m_pcText, m_pcText + m_uiTextLen);
  if (!ProfBinarySectSet(section, data, count)) {
    if (!before.empty()) memcpy(m_pcText, before.data(), before.size());
    m_uiTextLen = static_cast<unsigned>(before.size());
    g_trc.OutTV2(TRC_WARNING, KEB_SIG, TRC_INTERNAL, "Profile text full",
                 "file='%s' section='%s': %d bytes do not fit into %u, not stored", m_szFileName,
                 OrEmpty(section), count, kMaxText);
  }
  ProfSave();
  ProfCleanUp();
  return 1;
}

int CProfile::BinarySectGet(const char* section, unsigned char* data, int count) {
  int result = 0;
  if (ProfRead(false)) result = ProfBinarySectGet(section, data, count);
  ProfCleanUp();
  return result;
}
