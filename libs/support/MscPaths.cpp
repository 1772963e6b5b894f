// Path splitting and joining, environment expansion, relative paths,
// symbolic links and temporary names.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "ArdoTrace.h"
#include "CharHelpers.h"
#include "Msc.h"

namespace {

// Bounded copy of n characters of src into a path output.
void PutPart(char* out, const char* src, size_t n) {
  if (!out) return;
  if (n > static_cast<size_t>(kMscPathSize - 1)) n = kMscPathSize - 1;
  memcpy(out, src, n);
  out[n] = '\0';
}

struct PathParts {
  size_t dirLen;   // characters of the directory part, its "/" included
  size_t extPos;   // start of the extension, or the path length
};

// s is the last "/"; the directory runs up to and including it. A path whose
// only "/" is its first character lies directly under the root: "/".
PathParts SplitPoints(const char* path, bool extAtZero) {
  size_t len = strlen(path);
  const char* slash = strrchr(path, '/');
  long s = slash ? static_cast<long>(slash - path) : -1;
  PathParts parts;
  parts.dirLen = s >= 0 ? static_cast<size_t>(s) + 1 : 0;
  const char* dot = strrchr(path, '.');
  long d = dot ? static_cast<long>(dot - path) : -1;
  bool hasExt = d > s && (extAtZero || d > 0);
  parts.extPos = hasExt ? static_cast<size_t>(d) : len;
  return parts;
}

}  // namespace

void MscPathSplit(const char* path, char* dir, char* name, char* ext) {
  if (!path) path = "";
  PathParts parts = SplitPoints(path, true);
  size_t len = strlen(path);
  PutPart(dir, path, parts.dirLen);
  if (ext) {
    PutPart(ext, path + parts.extPos, len - parts.extPos);
    PutPart(name, path + parts.dirLen, parts.extPos - parts.dirLen);
  } else {
    PutPart(name, path + parts.dirLen, len - parts.dirLen);
  }
}

void MscPathSplit(const char* path, CString* dir, CString* name, CString* ext) {
  if (!path) path = "";
  CString whole(path);
  PathParts parts = SplitPoints(path, false);
  int len = whole.GetLength();
  if (dir) *dir = whole.Left(static_cast<int>(parts.dirLen));
  if (ext) {
    *ext = whole.Mid(static_cast<int>(parts.extPos));
    if (name) *name = whole.Mid(static_cast<int>(parts.dirLen), static_cast<int>(parts.extPos - parts.dirLen));
  } else if (name) {
    *name = whole.Mid(static_cast<int>(parts.dirLen), len - static_cast<int>(parts.dirLen));
  }
}

namespace {

std::string JoinPath(const char* dir, const char* name, const char* ext) {
  std::string out;
  if (dir && *dir) {
    out = dir;
    if (out.back() != '/') out += '/';
  }
  if (name) out += name;
  if (ext) {
    if (*ext != '.') out += '.';
    out += ext;
  }
  return out;
}

}  // namespace

void MscPathMake(char* dst, const char* dir, const char* name, const char* ext) {
  if (!dst) return;
  std::string joined = JoinPath(dir, name, ext);
  PutPart(dst, joined.data(), joined.size());
}

void MscPathMake(CString& dst, const char* dir, const char* name, const char* ext) {
  dst = JoinPath(dir, name, ext).c_str();
}

const char* MscExpandEnvir(const char* src, char* dst) {
  if (!dst) return dst;
  const size_t room = kMscEnvirSize - 1;  // characters that fit before the terminator
  size_t used = 0;
  auto put = [&](const char* text, size_t n) {
    if (n > room - used) n = room - used;
    memcpy(dst + used, text, n);
    used += n;
  };
  for (const char* p = src ? src : ""; *p;) {
    if (*p != '$') {
      put(p++, 1);
      continue;
    }
    ++p;
    size_t n = strcspn(p, "/");
    char name[264];
    size_t take = n < sizeof name - 1 ? n : sizeof name - 1;
    memcpy(name, p, take);
    name[take] = '\0';
    p += n;
    const char* value = getenv(name);  // an unset variable expands to nothing
    if (value) put(value, strlen(value));
  }
  dst[used] = '\0';
  return dst;
}

BOOL MscExpandRelPath(CString& path, const char* base) {
  CString baseDir(base);
  if (path.Left(1) == "/") return TRUE;
  if (path.Left(3) == "../") {
    if (baseDir.IsEmpty()) return FALSE;
    int cut = baseDir.ReverseFind('/');
    path = baseDir.Left(cut < 0 ? 0 : cut) + path.Mid(2);
  } else if (path.Left(2) == "./") {
    path = baseDir + path.Mid(1);
  } else {
    path = baseDir + "/" + path;
  }
  return TRUE;
}

CString MscReadlinkCommand(const char* path) {
  // The path is passed as one single-quoted word, so no character in it can
  // reach the shell as syntax.
  CString quoted("'");
  for (const char* p = path ? path : ""; *p; ++p) {
    if (*p == '\'') quoted += "'\\''";
    else quoted += *p;
  }
  quoted += "'";
  return CString("readlink -f -- ") + quoted;
}

bool MscExpandRelPath(CString& path) {
  CString cmd = MscReadlinkCommand(path);
  FILE* pipe = popen(cmd, "r");
  if (!pipe) {
    g_trc.OutTV2(TRC_ERROR, KEB_SIG, TRC_INTERNAL, "popen failed", "cmd='%s'", static_cast<const char*>(cmd));
    return false;
  }
  char line[1024];
  if (!fgets(line, sizeof line, pipe)) line[0] = '\0';
  pclose(pipe);
  StrTrimRight(line, '\n');
  path = line;
  return true;
}

int MscSymLinkRead(const char* path, char* buf, int size) {
  struct stat st;
  if (!path || !buf || size <= 0 || lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
  ssize_t n = readlink(path, buf, static_cast<size_t>(size - 1));
  if (n < 0) {
    buf[0] = '\0';
    return 0;
  }
  buf[n] = '\0';
  return static_cast<int>(n);
}

int MscSymLinkRead(const char* path, CString& target) {
  char buf[kMscPathSize];
  int n = MscSymLinkRead(path, buf, sizeof buf);
  if (n > 0) target = buf;
  return n;
}

BOOL MscTempDirGet(CString& dir) {
  dir.Empty();
  const char* candidates[] = {getenv("TEMP"), getenv("TMP"), getenv("TMPDIR"), "/usr/tmp", "/tmp", "/var/tmp"};
  for (const char* candidate : candidates) {
    if (candidate && *candidate && MscDirectoryExists(candidate, TRUE)) {
      dir = candidate;
      return TRUE;
    }
  }
  return FALSE;
}

BOOL MscTemporaryNameMake(const char* dir, CString& name) {
  CString prefix = name;
  CString candidate;
  for (unsigned long i = 0; i <= 0xFFFFFE; ++i) {
    candidate.Format("%s/%s%6.6lx", dir ? dir : "", static_cast<const char*>(prefix), i);
    if (!MscFileExists(candidate)) {
      name = candidate;
      return TRUE;
    }
  }
  return FALSE;
}
