// Sectioned key=value settings file of at most 8192 bytes. Every public
// operation reads the whole file, works on the text in memory, writes it back
// if it changed anything and releases everything again.
#pragma once

#include <cstdio>

#include "CString.h"
#include "KebTypes.h"

class CProfile {
 public:
  CProfile();
  explicit CProfile(const char* fileName);
  ~CProfile();
  CProfile(const CProfile&) = delete;
  CProfile& operator=(const CProfile&) = delete;

  BOOL Create(int unused, const char* fileName);
  int StringGet(const char* section, const char* key, const char* defaultValue, char* out, int size);
  int StringGet(const char* section, const char* key, const char* defaultValue, CString& out);
  int IntGet(const char* section, const char* key, int defaultValue);
  BOOL StringSet(const char* section, const char* key, const char* value);
  BOOL IntSet(const char* section, const char* key, int value);
  BOOL EntryAdd(const char* section, const char* key);
  BOOL EntryDel(const char* section, const char* key);
  BOOL SectionAdd(const char* section);
  BOOL SectionDel(const char* section);
  BOOL BinarySectSet(const char* section, unsigned char* data, int count);
  int BinarySectGet(const char* section, unsigned char* data, int count);

  const char* FileName() const { return m_szFileName; }

  static const unsigned kMaxText = 8192;
  static const unsigned kNotFound = 0xFFFF;
  static const int kValueSize = 80;
  // The value read last; shared by all instances (at most 79 characters).
  static char szB[kValueSize];

 private:
  void ProfInit();
  BOOL ProfRead(bool forChange);
  BOOL ProfSave();
  void ProfCleanUp();
  unsigned ProfSectionFind(const char* section, unsigned* headerPos = nullptr) const;
  unsigned ProfEntryFind(const char* key, unsigned bodyStart, unsigned* keyPos = nullptr) const;
  unsigned ProfPosFind(const char* section, const char* key) const;
  void ProfValueGet(unsigned position);
  BOOL ProfValueSet(unsigned position, const char* value);
  unsigned ProfEntryAdd(const char* key, unsigned position);
  unsigned ProfSectionAdd(const char* section);
  void ProfEntryDel(const char* section, const char* key);
  void ProfSectionDel(const char* section);
  BOOL ProfDataRaise(unsigned position, unsigned n);
  BOOL ProfDataShrink(unsigned position, unsigned n);
  BOOL ProfBinarySectSet(const char* section, const unsigned char* data, int count);
  int ProfBinarySectGet(const char* section, unsigned char* data, int count) const;

  char* m_pcText;
  unsigned int m_uiTextLen;
  FILE* m_pFile;
  char m_szFileName[4097];
};
