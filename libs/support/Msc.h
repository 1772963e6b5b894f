// File-system, path, wildcard, string-list and small conversion utilities.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "CString.h"
#include "CTime.h"
#include "KebTypes.h"

// Size of the path buffers the libraries' callers provide (4096 characters
// and the terminator); char* path outputs never write more than this.
const int kMscPathSize = 4097;
// Size of MscExpandEnvir's destination.
const int kMscEnvirSize = 4096;

// 79 blanks for filling columns.
extern const char* g_szMscSpaces;

// Conversions and small functions
bool MscIsNumeric(CString s);
const char* MscLastErr2Str(unsigned int code);
char* MscLastErrToStr(int err);
const char* MscPassword2Str(const char* password, CString& out);
BOOL MscReplacePatterns(CString& text);
BOOL MscNodeNameGet(CString& out);
BOOL MscIsRootGroup();
BOOL MscIsGroupId(const char* group);
uint32_t MscVariableStringSet(char* buf, const char* string, uint32_t ulPos, uint32_t ulMaxSize);
void MscDumpBuffer(FILE* file, unsigned char* data, int count);
BOOL MscShutdown(int minutes, const char* message);
// The argument list MscShutdown executes, program path first.
std::vector<std::string> MscShutdownArguments(int minutes, const char* message);

// Paths and environment
const char* MscExpandEnvir(const char* src, char* dst);
void MscPathSplit(const char* path, char* dir, char* name, char* ext);
void MscPathSplit(const char* path, CString* dir, CString* name, CString* ext);
void MscPathMake(char* dst, const char* dir, const char* name, const char* ext);
void MscPathMake(CString& dst, const char* dir, const char* name, const char* ext);
BOOL MscExpandRelPath(CString& path, const char* base);
bool MscExpandRelPath(CString& path);
// The shell command MscExpandRelPath(path) runs for a path.
CString MscReadlinkCommand(const char* path);
int MscSymLinkRead(const char* path, char* buf, int size);
int MscSymLinkRead(const char* path, CString& target);
BOOL MscTempDirGet(CString& dir);
BOOL MscTemporaryNameMake(const char* dir, CString& name);

// Files and directories
BOOL MscFileExists(const char* path);
BOOL MscDirectoryExists(const char* path, short fWriteTest);
uint32_t MscFileSize(const char* path);
uint32_t MscFileSize(FILE* file);
BOOL MscFileInfoGet(const char* path, unsigned int& size, CTime& time);
BOOL MscFileCopy(const char* src, const char* dst, short fFailIfExists);
BOOL MscFileRemoveWild(const char* pattern, short fIgnoreCase);
BOOL MscTreeRemove(const char* path);
void MscFindDirEntries(const char* szPattern, std::vector<CString>& arList, UINT uiInclude, UINT uiExclude,
                       BOOL fIgnoreCase);
void MscFindDirList(const char* szPattern, std::vector<CString>& arList, BOOL fIgnoreCase);
void MscFindFileList(const char* szPattern, std::vector<CString>& arList, BOOL fIgnoreCase);

// Matching and string lists
int MscRegularMatch(const char* pattern, const char* text, short fIgnoreCase);
BOOL MscStringListFindItem(const char* pattern, std::vector<CString>& list, CString& found, short fIgnoreCase);
BOOL MscStringListFindItem(const char* pattern, std::vector<CString>& list, short fIgnoreCase);
void MscListSort(std::vector<CString>& list);
void MscExclusionList(std::vector<CString>& list, std::vector<CString>& exclusions, std::vector<CString>& result);
void MscStringListMakeUpper(std::vector<CString>& list);
