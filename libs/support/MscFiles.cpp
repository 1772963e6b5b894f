// File and directory queries, copy, removal and listing.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "ArdoTrace.h"
#include "Msc.h"

namespace {

// "." and ".." are skipped; only the first two characters are tested.
bool IsDotEntry(const char* name) { return name[0] == '.' && (name[1] == '\0' || name[1] == '.'); }

unsigned FileType(const struct stat& st) { return st.st_mode & S_IFMT; }

}  // namespace

BOOL MscFileExists(const char* path) {
  struct stat st;
  if (!path || lstat(path, &st) != 0) return FALSE;
  unsigned type = FileType(st);
  return type == S_IFREG || type == S_IFLNK || type == S_IFIFO ? TRUE : FALSE;
}

BOOL MscDirectoryExists(const char* path, short fWriteTest) {
  if (!path) return FALSE;
  DIR* dir = opendir(path);
  if (!dir) return FALSE;
  BOOL result = TRUE;
  if (fWriteTest) {
    CString probe;
    probe.Format("%s/XXXXXXXX", path);
    int fd = mkstemp(probe.GetBuffer(0));
    if (fd < 0) {
      result = FALSE;
    } else {
      if (close(fd) != 0) result = FALSE;
      unlink(probe);  // the probe has served its purpose
    }
  }
  closedir(dir);
  return result;
}

uint32_t MscFileSize(const char* path) {
  struct stat st;
  if (!path || lstat(path, &st) != 0) return 0;
  unsigned type = FileType(st);
  if (type != S_IFDIR && type != S_IFREG && type != S_IFLNK) return 0;
  return static_cast<uint32_t>(st.st_size);
}

uint32_t MscFileSize(FILE* file) {
  if (!file) return 0;
  long here = ftell(file);
  if (here < 0 || fseek(file, 0, SEEK_END) != 0) return 0;
  long end = ftell(file);
  fseek(file, here, SEEK_SET);
  return end < 0 ? 0 : static_cast<uint32_t>(end);
}

BOOL MscFileInfoGet(const char* path, unsigned int& size, CTime& time) {
  struct stat st;
  if (!path || lstat(path, &st) != 0) return FALSE;
  size = static_cast<unsigned int>(st.st_size);
  time = CTime(st.st_ctime);
  return TRUE;
}

BOOL MscFileCopy(const char* src, const char* dst, short fFailIfExists) {
  if (!src || !dst) return FALSE;
  if (fFailIfExists && MscFileExists(dst)) return FALSE;
  // Copying a file onto itself would empty it before the first read.
  struct stat a, b;
  if (stat(src, &a) == 0 && stat(dst, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino) return FALSE;
  FILE* in = fopen(src, "rb");
  if (!in) return FALSE;
  FILE* out = fopen(dst, "wb");
  if (!out) {
    fclose(in);
    return FALSE;
  }
  BOOL result = TRUE;
  char block[1024];
  size_t n;
  while ((n = fread(block, 1, sizeof block, in)) > 0)
    if (fwrite(block, 1, n, out) != n) result = FALSE;
  if (ferror(in)) result = FALSE;
  fclose(in);
  if (fclose(out) != 0) result = FALSE;
  return result;
}

BOOL MscFileRemoveWild(const char* pattern, short fIgnoreCase) {
  CString dirPart, namePattern;
  MscPathSplit(pattern, &dirPart, &namePattern, nullptr);
  DIR* dir = opendir(dirPart);
  if (!dir) return FALSE;
  BOOL result = TRUE;
  while (struct dirent* entry = readdir(dir)) {
    if (IsDotEntry(entry->d_name)) continue;
    if (MscRegularMatch(namePattern, entry->d_name, fIgnoreCase) != 1) continue;
    if (remove(dirPart + entry->d_name) != 0) {
      result = FALSE;
      break;
    }
  }
  closedir(dir);
  return result;
}

BOOL MscTreeRemove(const char* path) {
  DIR* dir = opendir(path ? path : "");
  if (!dir) {
    int err = errno;
    g_trc.OutTV2(TRC_ERROR, KEB_SIG, TRC_INTERNAL, "opendir failed", "csDir='%s', errno=%d '%s'", path ? path : "",
                 err, strerror(err));
    return FALSE;
  }
  BOOL result = TRUE;
  bool first = true;
  for (;;) {
    errno = 0;
    struct dirent* entry = readdir(dir);
    if (!entry) {
      if (first && errno != 0) {
        int err = errno;
        g_trc.OutTV2(TRC_VERBOSE, KEB_SIG, TRC_INTERNAL, "readdir64 failed", "errno=%d '%s'", err, strerror(err));
      }
      break;
    }
    first = false;
    if (IsDotEntry(entry->d_name)) continue;
    CString child;
    child.Format("%s/%s", path, entry->d_name);
    struct stat st;
    if (lstat(child, &st) != 0) {
      result = FALSE;
      break;
    }
    unsigned type = FileType(st);
    if (type == S_IFREG || type == S_IFLNK) {
      if (unlink(child) != 0) result = FALSE;
    } else if (type == S_IFDIR) {
      if (!MscTreeRemove(child)) result = FALSE;
    } else {
      result = FALSE;
    }
    if (!result) break;
  }
  closedir(dir);
  if (!result) return FALSE;
  return rmdir(path) == 0 ? TRUE : FALSE;
}

void MscFindDirEntries(const char* szPattern, std::vector<CString>& arList, UINT uiInclude, UINT uiExclude,
                       BOOL fIgnoreCase) {
  g_trc.OutTV2(TRC_INFO, KEB_SIG, TRC_ENTER, "", "szPattern='%s' uiInclude=0x%8.8lx, uiExclude=0x%8.8lx, fIgnoreCase=%d)",
               szPattern ? szPattern : "", static_cast<unsigned long>(uiInclude), static_cast<unsigned long>(uiExclude),
               static_cast<int>(fIgnoreCase));
  CString dirPart, namePattern;
  MscPathSplit(szPattern, &dirPart, &namePattern, nullptr);
  if (dirPart.IsEmpty()) dirPart = "./";
  DIR* dir = opendir(dirPart);
  if (!dir) {
    int err = errno;
    g_trc.OutTV2(TRC_ERROR, KEB_SIG, TRC_INTERNAL, "opendir failed", "csDir='%s', errno=%d '%s'",
                 static_cast<const char*>(dirPart), err, strerror(err));
  } else {
    while (struct dirent* entry = readdir(dir)) {
      g_trc.OutTV2(TRC_VERBOSE, KEB_SIG, TRC_INTERNAL, "", "Found item '%s'", entry->d_name);
      if (IsDotEntry(entry->d_name)) continue;
      if (MscRegularMatch(namePattern, entry->d_name, fIgnoreCase) != 1) continue;
      g_trc.OutTV2(TRC_VERBOSE, KEB_SIG, TRC_INTERNAL, "", "MscRegularMatch found '%s'", entry->d_name);
      struct stat st;
      if (lstat(dirPart + entry->d_name, &st) != 0) {
        int err = errno;
        g_trc.OutTV2(TRC_VERBOSE, KEB_SIG, TRC_INTERNAL, "lstat64 failed", "errno=%d '%s'", err, strerror(err));
        continue;
      }
      unsigned type = FileType(st);
      if (type == uiInclude && type != uiExclude) arList.push_back(CString(entry->d_name));
    }
    closedir(dir);
  }
  g_trc.OutTV2(TRC_INFO, KEB_SIG, TRC_LEAVE, "", "arList.size()=%d", static_cast<int>(arList.size()));
}

void MscFindDirList(const char* szPattern, std::vector<CString>& arList, BOOL fIgnoreCase) {
  MscFindDirEntries(szPattern, arList, S_IFDIR, 0, fIgnoreCase);
}

void MscFindFileList(const char* szPattern, std::vector<CString>& arList, BOOL fIgnoreCase) {
  g_trc.OutTV2(TRC_INFO, KEB_SIG, TRC_ENTER, "", "szPattern=%s, fIgnoreCase=%s", szPattern ? szPattern : "",
               fIgnoreCase ? "true" : "false");
  MscFindDirEntries(szPattern, arList, S_IFREG, 0, fIgnoreCase);
  g_trc.OutTV2(TRC_INFO, KEB_SIG, TRC_LEAVE, "", "arList.size()=%d", static_cast<int>(arList.size()));
}
