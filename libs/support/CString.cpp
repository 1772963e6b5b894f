#include "CString.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The one block every empty string points at: {nRefs -1, length 0, alloc 0}
// followed by the terminator. It is never written and never freed.
int rgInitData[] = {-1, 0, 0, 0};
CStringData* const afxDataNil = reinterpret_cast<CStringData*>(rgInitData);

// Reference counts are changed without atomics: a block is never shared
// between threads that copy or release it at the same time.
int InterlockedIncrement(int* value) { return ++*value; }
int InterlockedDecrement(int* value) { return --*value; }

bool IsNil(const CStringData* data) { return data == afxDataNil; }

}  // namespace

const char* afxPchNil = reinterpret_cast<const char*>(rgInitData) + sizeof(CStringData);

const char** AfxGetEmptyString() { return &afxPchNil; }

int CString::SafeStrlen(const char* psz) { return psz ? static_cast<int>(strlen(psz)) : 0; }

void CString::Init() { m_pchData = const_cast<char*>(afxPchNil); }

void CString::AllocBuffer(int length) {
  if (length <= 0) {
    Init();
    return;
  }
  // Exactly the header and length + 1 bytes: no growth reserve.
  void* block = malloc(sizeof(CStringData) + static_cast<size_t>(length) + 1);
  if (!block) throw std::bad_alloc();
  CStringData* data = static_cast<CStringData*>(block);
  data->nRefs = 1;
  data->nDataLength = length;
  data->nAllocLength = length;
  data->data()[length] = '\0';
  m_pchData = data->data();
}

void CString::FreeData(CStringData* data) { free(data); }

void CString::Release(CStringData* data) {
  if (IsNil(data)) return;
  if (InterlockedDecrement(&data->nRefs) <= 0) FreeData(data);
}

void CString::Release() {
  Release(GetData());
  Init();
}

void CString::CopyBeforeWrite() {
  CStringData* data = GetData();
  if (data->nRefs > 1) {
    Release(data);
    AllocBuffer(data->nDataLength);
    memcpy(m_pchData, data->data(), static_cast<size_t>(data->nDataLength) + 1);
  }
}

void CString::AllocBeforeWrite(int length) {
  CStringData* data = GetData();
  if (data->nRefs > 1 || length > data->nAllocLength) {
    Release();
    AllocBuffer(length);
  }
}

void CString::AssignCopy(int length, const char* src) {
  if (length <= 0) {
    CStringData* data = GetData();
    if (IsNil(data)) return;
    if (data->nRefs < 0) {  // locked: keep the block, just empty it
      data->nDataLength = 0;
      m_pchData[0] = '\0';
    } else {
      Release();
    }
    return;
  }
  // src may lie inside our own block: keep that block until copied.
  CStringData* old = GetData();
  if (old->nRefs > 1 || length > old->nAllocLength) {
    AllocBuffer(length);
    memcpy(m_pchData, src, static_cast<size_t>(length));
    Release(old);
  } else {
    memmove(m_pchData, src, static_cast<size_t>(length));
  }
  GetData()->nDataLength = length;
  m_pchData[length] = '\0';
}

void CString::ConcatCopy(int len1, const char* src1, int len2, const char* src2) {
  int total = len1 + len2;
  if (total <= 0) {
    Init();
    return;
  }
  AllocBuffer(total);
  if (len1) memcpy(m_pchData, src1, static_cast<size_t>(len1));
  if (len2) memcpy(m_pchData + len1, src2, static_cast<size_t>(len2));
}

void CString::ConcatInPlace(int length, const char* src) {
  if (length <= 0) return;
  CStringData* data = GetData();
  if (data->nRefs > 1 || data->nDataLength + length > data->nAllocLength) {
    ConcatCopy(data->nDataLength, m_pchData, length, src);
    Release(data);
  } else {
    memcpy(m_pchData + data->nDataLength, src, static_cast<size_t>(length));
    data->nDataLength += length;
    m_pchData[data->nDataLength] = '\0';
  }
}

CString::CString() { Init(); }

CString::CString(const CString& src) {
  CStringData* data = src.GetData();
  if (data->nRefs >= 0) {
    m_pchData = src.m_pchData;
    InterlockedIncrement(&data->nRefs);
  } else {  // locked (or empty): copy the characters
    Init();
    AssignCopy(data->nDataLength, src.m_pchData);
  }
}

CString::CString(const char* psz) {
  Init();
  int length = SafeStrlen(psz);
  if (length) {
    AllocBuffer(length);
    memcpy(m_pchData, psz, static_cast<size_t>(length));
  }
}

CString::CString(const unsigned char* psz) : CString(reinterpret_cast<const char*>(psz)) {}

CString::CString(const unsigned short* pwsz) {
  Init();
  if (!pwsz) return;
  int length = 0;
  while (pwsz[length]) ++length;
  if (!length) return;
  AllocBuffer(length);
  // Characters outside the 8-bit range have no byte: they become "_".
  for (int i = 0; i < length; ++i)
    m_pchData[i] = pwsz[i] < 256 ? static_cast<char>(pwsz[i]) : '_';
}

CString::CString(char ch, int nRepeat) {
  Init();
  if (nRepeat >= 1) {
    AllocBuffer(nRepeat);
    memset(m_pchData, ch, static_cast<size_t>(nRepeat));
  }
}

CString::~CString() { Release(GetData()); }

const CString& CString::operator=(const CString& src) {
  if (m_pchData == src.m_pchData) return *this;
  CStringData* mine = GetData();
  CStringData* theirs = src.GetData();
  if ((mine->nRefs < 0 && !IsNil(mine)) || theirs->nRefs < 0) {
    AssignCopy(theirs->nDataLength, src.m_pchData);
  } else {
    Release();
    m_pchData = src.m_pchData;
    InterlockedIncrement(&theirs->nRefs);
  }
  return *this;
}

const CString& CString::operator=(const char* psz) {
  AssignCopy(SafeStrlen(psz), psz);
  return *this;
}

const CString& CString::operator=(const unsigned char* psz) {
  return *this = reinterpret_cast<const char*>(psz);
}

void CString::Empty() {
  CStringData* data = GetData();
  if (data->nDataLength == 0) return;
  if (data->nRefs >= 0) Release();
  else AssignCopy(0, nullptr);
}

void CString::SetAt(int index, char ch) {
  if (index < 0 || index >= GetLength()) return;  // outside the string: nothing to set
  CopyBeforeWrite();
  m_pchData[index] = ch;
}

const CString& CString::operator+=(const CString& src) {
  ConcatInPlace(src.GetLength(), src.m_pchData);
  return *this;
}

const CString& CString::operator+=(const char* psz) {
  ConcatInPlace(SafeStrlen(psz), psz);
  return *this;
}

const CString& CString::operator+=(char ch) {
  ConcatInPlace(1, &ch);
  return *this;
}

CString operator+(const CString& a, const CString& b) {
  CString s;
  s.ConcatCopy(a.GetLength(), a.m_pchData, b.GetLength(), b.m_pchData);
  return s;
}

CString operator+(const CString& a, const char* b) {
  CString s;
  s.ConcatCopy(a.GetLength(), a.m_pchData, CString::SafeStrlen(b), b);
  return s;
}

CString operator+(const char* a, const CString& b) {
  CString s;
  s.ConcatCopy(CString::SafeStrlen(a), a, b.GetLength(), b.m_pchData);
  return s;
}

int CString::Compare(const char* psz) const { return strcmp(m_pchData, psz ? psz : ""); }
int CString::CompareNoCase(const char* psz) const { return stricmp(m_pchData, psz ? psz : ""); }
int CString::Collate(const char* psz) const { return strcoll(m_pchData, psz ? psz : ""); }

CString CString::Mid(int first) const { return Mid(first, GetLength() - (first < 0 ? 0 : first)); }

CString CString::Mid(int first, int count) const {
  int length = GetLength();
  if (first < 0) first = 0;
  if (count < 0) count = 0;
  if (first > length) first = length;
  if (count > length - first) count = length - first;
  if (first == 0 && count == length) return *this;
  CString s;
  s.ConcatCopy(count, m_pchData + first, 0, nullptr);
  return s;
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
  int length = GetLength();
  if (count < 0) count = 0;
  if (count > length) count = length;
  return Mid(length - count, count);
}

CString CString::SpanIncluding(const char* charSet) const {
  return Left(static_cast<int>(strspn(m_pchData, charSet ? charSet : "")));
}

CString CString::SpanExcluding(const char* charSet) const {
  return Left(static_cast<int>(strcspn(m_pchData, charSet ? charSet : "")));
}

CString CString::Tokenize(const char* delimiters, int& position) const {
  int length = GetLength();
  if (position < 0 || position > length) {
    position = -1;
    return CString();
  }
  if (!delimiters || !*delimiters) {
    if (position < length) return Mid(position);
    position = -1;
    return CString();
  }
  int start = position + static_cast<int>(strspn(m_pchData + position, delimiters));
  if (start < length) {
    int count = static_cast<int>(strcspn(m_pchData + start, delimiters));
    position = start + count + 1;
    return Mid(start, count);
  }
  position = -1;
  return CString();
}

int CString::Find(char ch) const {
  const char* p = strchr(m_pchData, ch);
  return p ? static_cast<int>(p - m_pchData) : -1;
}

int CString::Find(const char* sub) const { return Find(sub, 0); }

int CString::Find(const char* sub, int start) const {
  if (!sub || start > GetLength()) return -1;
  if (start < 0) start = 0;
  const char* p = strstr(m_pchData + start, sub);
  return p ? static_cast<int>(p - m_pchData) : -1;
}

int CString::ReverseFind(char ch) const {
  const char* p = strrchr(m_pchData, ch);
  return p ? static_cast<int>(p - m_pchData) : -1;
}

int CString::FindOneOf(const char* charSet) const {
  const char* p = strpbrk(m_pchData, charSet ? charSet : "");
  return p ? static_cast<int>(p - m_pchData) : -1;
}

void CString::MakeUpper() {
  CopyBeforeWrite();
  if (GetLength()) strupr(m_pchData);
}

void CString::MakeLower() {
  CopyBeforeWrite();
  if (GetLength()) strlwr(m_pchData);
}

void CString::MakeReverse() {
  CopyBeforeWrite();
  if (GetLength()) strrev(m_pchData);
}

int CString::Replace(char oldCh, char newCh) {
  int count = 0;
  if (oldCh == newCh) return 0;
  for (int i = 0; i < GetLength(); ++i) {
    if (m_pchData[i] == oldCh) {
      if (!count) CopyBeforeWrite();
      m_pchData[i] = newCh;
      ++count;
    }
  }
  return count;
}

int CString::Replace(const char* oldText, const char* newText) {
  int oldLen = SafeStrlen(oldText);
  if (oldLen == 0) return 0;
  if (!newText) newText = "";
  int newLen = SafeStrlen(newText);
  int count = 0;
  for (const char* p = strstr(m_pchData, oldText); p; p = strstr(p + oldLen, oldText)) ++count;
  if (!count) return 0;
  long long total = GetLength() + static_cast<long long>(newLen - oldLen) * count;
  // Build the result aside: newText may point into this very string.
  CString result;
  result.AllocBuffer(static_cast<int>(total));
  char* out = result.m_pchData;
  const char* in = m_pchData;
  for (const char* p = strstr(in, oldText); p; p = strstr(in, oldText)) {
    memcpy(out, in, static_cast<size_t>(p - in));
    out += p - in;
    memcpy(out, newText, static_cast<size_t>(newLen));
    out += newLen;
    in = p + oldLen;
  }
  memcpy(out, in, strlen(in));
  *this = result;
  return count;
}

int CString::Remove(char ch) {
  int length = GetLength();
  if (!length || !memchr(m_pchData, ch, static_cast<size_t>(length))) return 0;
  CopyBeforeWrite();
  int kept = 0;
  for (int i = 0; i < length; ++i)
    if (m_pchData[i] != ch) m_pchData[kept++] = m_pchData[i];
  m_pchData[kept] = '\0';
  GetData()->nDataLength = kept;
  return length - kept;
}

int CString::Insert(int index, char ch) {
  char text[2] = {ch, '\0'};
  if (ch == '\0') return GetLength();
  return Insert(index, text);
}

int CString::Insert(int index, const char* psz) {
  int length = GetLength();
  if (index < 0) index = 0;
  if (index > length) index = length;
  int addLen = SafeStrlen(psz);
  if (addLen == 0) return length;
  CString result;
  result.ConcatCopy(index, m_pchData, addLen, psz);
  result.ConcatInPlace(length - index, m_pchData + index);
  *this = result;
  return GetLength();
}

int CString::Delete(int index, int count) {
  int length = GetLength();
  if (index < 0 || index >= length || count <= 0) return length;
  if (count > length - index) count = length - index;  // never beyond the end
  CopyBeforeWrite();
  memmove(m_pchData + index, m_pchData + index + count, static_cast<size_t>(length - index - count) + 1);
  GetData()->nDataLength = length - count;
  return length;
}

namespace {
bool InSet(char c, const char* set) { return c != '\0' && strchr(set, c) != nullptr; }
}  // namespace

void CString::TrimLeft() {
  int n = 0;
  while (n < GetLength() && isspace(static_cast<unsigned char>(m_pchData[n]))) ++n;
  if (n) Delete(0, n);
}

void CString::TrimLeft(char ch) {
  int n = 0;
  while (n < GetLength() && m_pchData[n] == ch) ++n;
  if (n) Delete(0, n);
}

void CString::TrimLeft(const char* charSet) {
  if (!charSet) return;
  int n = 0;
  while (n < GetLength() && InSet(m_pchData[n], charSet)) ++n;
  if (n) Delete(0, n);
}

void CString::TrimRight() {
  int n = GetLength();
  while (n > 0 && isspace(static_cast<unsigned char>(m_pchData[n - 1]))) --n;
  if (n < GetLength()) Delete(n, GetLength() - n);
}

void CString::TrimRight(char ch) {
  int n = GetLength();
  while (n > 0 && m_pchData[n - 1] == ch) --n;
  if (n < GetLength()) Delete(n, GetLength() - n);
}

void CString::TrimRight(const char* charSet) {
  if (!charSet) return;
  int n = GetLength();
  while (n > 0 && InSet(m_pchData[n - 1], charSet)) --n;
  if (n < GetLength()) Delete(n, GetLength() - n);
}

char* CString::GetBuffer(int minLength) {
  CStringData* data = GetData();
  if (minLength < 0) minLength = 0;
  if (data->nRefs > 1 || minLength > data->nAllocLength) {
    int oldLength = data->nDataLength;
    if (minLength < oldLength) minLength = oldLength;
    AllocBuffer(minLength);
    if (oldLength) memcpy(m_pchData, data->data(), static_cast<size_t>(oldLength));
    if (!IsNil(GetData())) {
      GetData()->nDataLength = oldLength;
      m_pchData[oldLength] = '\0';
    }
    Release(data);
  }
  return m_pchData;
}

char* CString::GetBufferSetLength(int newLength) {
  if (newLength < 0) newLength = 0;
  GetBuffer(newLength);
  if (!IsNil(GetData())) {
    GetData()->nDataLength = newLength;
    m_pchData[newLength] = '\0';
  }
  return m_pchData;
}

void CString::ReleaseBuffer(int newLength) {
  CopyBeforeWrite();
  CStringData* data = GetData();
  if (IsNil(data)) return;
  if (newLength < 0) newLength = static_cast<int>(strnlen(m_pchData, static_cast<size_t>(data->nAllocLength)));
  if (newLength > data->nAllocLength) newLength = data->nAllocLength;
  data->nDataLength = newLength;
  m_pchData[newLength] = '\0';
}

void CString::FreeExtra() {
  CStringData* data = GetData();
  if (data->nDataLength == data->nAllocLength) return;
  AllocBuffer(data->nDataLength);
  if (data->nDataLength) memcpy(m_pchData, data->data(), static_cast<size_t>(data->nDataLength));
  Release(data);
}

char* CString::LockBuffer() {
  char* p = GetBuffer(0);
  if (!IsNil(GetData())) GetData()->nRefs = -1;
  return p;
}

void CString::UnlockBuffer() {
  if (!IsNil(GetData())) GetData()->nRefs = 1;
}

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
bool operator!=(const CString& a, const char* b) { return a.Compare(b) != 0; }
bool operator!=(const char* a, const CString& b) { return b.Compare(a) != 0; }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, const char* b) { return a.Compare(b) < 0; }
bool operator<(const char* a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, const char* b) { return a.Compare(b) > 0; }
bool operator>(const char* a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator<=(const CString& a, const char* b) { return a.Compare(b) <= 0; }
bool operator<=(const char* a, const CString& b) { return b.Compare(a) >= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
bool operator>=(const CString& a, const char* b) { return a.Compare(b) >= 0; }
bool operator>=(const char* a, const CString& b) { return b.Compare(a) <= 0; }
