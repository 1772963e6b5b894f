// Reference-counted, copy-on-write character string. Every empty string shares
// one static block; blocks are allocated to the exact size asked for.
#pragma once

#include <cstdarg>

struct CStringData {
  int nRefs;         // sharers; -1 for a locked block or the shared empty block
  int nDataLength;   // characters in use
  int nAllocLength;  // characters allocated, without the terminator
  char* data() { return reinterpret_cast<char*>(this + 1); }
};

extern const char* afxPchNil;
const char** AfxGetEmptyString();

class CString {
 public:
  CString();
  CString(const CString& src);
  CString(const char* psz);
  CString(const unsigned char* psz);
  CString(const unsigned short* pwsz);
  CString(char ch, int nRepeat);
  ~CString();

  const CString& operator=(const CString& src);
  const CString& operator=(const char* psz);
  const CString& operator=(const unsigned char* psz);

  int GetLength() const { return GetData()->nDataLength; }
  int GetAllocLength() const { return GetData()->nAllocLength; }
  bool IsEmpty() const { return GetData()->nDataLength == 0; }
  void Empty();
  char GetAt(int index) const { return m_pchData[index]; }
  char operator[](int index) const { return m_pchData[index]; }
  void SetAt(int index, char ch);
  operator const char*() const { return m_pchData; }

  const CString& operator+=(const CString& src);
  const CString& operator+=(const char* psz);
  const CString& operator+=(char ch);
  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, const char* b);
  friend CString operator+(const char* a, const CString& b);

  int Compare(const char* psz) const;
  int CompareNoCase(const char* psz) const;
  int Collate(const char* psz) const;

  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;
  CString SpanIncluding(const char* charSet) const;
  CString SpanExcluding(const char* charSet) const;
  CString Tokenize(const char* delimiters, int& position) const;

  int Find(char ch) const;
  int Find(const char* sub) const;
  int Find(const char* sub, int start) const;
  int ReverseFind(char ch) const;
  int FindOneOf(const char* charSet) const;

  void MakeUpper();
  void MakeLower();
  void MakeReverse();
  int Replace(char oldCh, char newCh);
  int Replace(const char* oldText, const char* newText);
  int Remove(char ch);
  int Insert(int index, char ch);
  int Insert(int index, const char* psz);
  int Delete(int index, int count = 1);

  void TrimLeft();
  void TrimLeft(char ch);
  void TrimLeft(const char* charSet);
  void TrimLeft(const CString& charSet) { TrimLeft(static_cast<const char*>(charSet)); }
  void TrimRight();
  void TrimRight(char ch);
  void TrimRight(const char* charSet);
  void TrimRight(const CString& charSet) { TrimRight(static_cast<const char*>(charSet)); }

  void Format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void FormatV(const char* fmt, va_list args);

  char* GetBuffer(int minLength);
  char* GetBufferSetLength(int newLength);
  void ReleaseBuffer(int newLength = -1);
  void FreeExtra();
  char* LockBuffer();
  void UnlockBuffer();

  // Upper bound of the length vsprintf gives for fmt with these arguments.
  static int FormatLengthBound(const char* fmt, va_list args);
  static int SafeStrlen(const char* psz);

 protected:
  CStringData* GetData() const { return reinterpret_cast<CStringData*>(m_pchData) - 1; }
  void Init();
  void AllocBuffer(int length);
  void AllocBeforeWrite(int length);
  void AssignCopy(int length, const char* src);
  void ConcatCopy(int len1, const char* src1, int len2, const char* src2);
  void ConcatInPlace(int length, const char* src);
  void CopyBeforeWrite();
  void Release();
  static void Release(CStringData* data);
  static void FreeData(CStringData* data);

  char* m_pchData;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, const char* b);
bool operator==(const char* a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, const char* b);
bool operator!=(const char* a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, const char* b);
bool operator<(const char* a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, const char* b);
bool operator>(const char* a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, const char* b);
bool operator<=(const char* a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, const char* b);
bool operator>=(const char* a, const CString& b);

// In-place helpers; each returns its argument.
char* strlwr(char* s);
char* strupr(char* s);
char* strrev(char* s);
// Case-insensitive comparison giving -1, 0 or 1.
int stricmp(const char* a, const char* b);
