// Small conversions, system queries, consecutive strings and a stream dump.
#include <grp.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "ArdoTrace.h"
#include "Msc.h"

const char* g_szMscSpaces = "                                                                               ";

bool MscIsNumeric(CString s) {
  if (s.IsEmpty()) return false;
  for (int i = 0; i < s.GetLength(); ++i) {
    char c = s[i];
    if (c < '0' || c > '9') {
      char text[2] = {c, '\0'};
      g_trc.OutTV2(TRC_WARNING, KEB_SIG, TRC_INTERNAL, "", "Char '%s' is no digit", text);
      return false;
    }
  }
  return true;
}

const char* MscLastErr2Str(unsigned int code) {
  switch (code) {
    case 0: return "ERROR_SUCCESS";
    case 1: return "ERROR_INVALID_FUNCTION";
    case 2: return "ERROR_FILE_NOT_FOUND";
    case 3: return "ERROR_PATH_NOT_FOUND";
    case 4: return "ERROR_TOO_MANY_OPEN_FILES";
    case 5: return "ERROR_ACCESS_DENIED";
    case 6: return "ERROR_INVALID_HANDLE";
    case 8: return "ERROR_NOT_ENOUGH_MEMORY";
    case 9: return "ERROR_INVALID_BLOCK";
    case 14: return "ERROR_OUTOFMEMORY";
    case 18: return "ERROR_NO_MORE_FILES";
    case 29: return "ERROR_WRITE_FAULT";
    case 31: return "ERROR_GEN_FAILURE";
    case 32: return "ERROR_SHARING_VIOLATION";
    case 232: return "ERROR_NO_DATA";
    case 258: return "WAIT_TIMEOUT";
    case 1460: return "ERROR_TIMEOUT";
    default: return "<unknown>";
  }
}

char* MscLastErrToStr(int err) { return strerror(err); }

const char* MscPassword2Str(const char* password, CString& out) {
  if (!password || !*password) {
    out = "<empty>";
  } else {
    for (const char* p = password; *p; ++p) out += '*';
  }
  return out;
}

BOOL MscReplacePatterns(CString&) { return TRUE; }

BOOL MscNodeNameGet(CString& out) {
  struct utsname name;
  if (uname(&name) != 0) return FALSE;
  out = name.nodename;
  return TRUE;
}

BOOL MscIsRootGroup() { return getegid() == 0 ? TRUE : FALSE; }

BOOL MscIsGroupId(const char* group) {
  if (!group) return FALSE;
  struct group entry;
  struct group* found = nullptr;
  std::vector<char> buffer(16384);
  // A group without an entry in the group database has no name to compare.
  if (getgrgid_r(getgid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return FALSE;
  return strcmp(found->gr_name, group) == 0 ? TRUE : FALSE;
}

uint32_t MscVariableStringSet(char* buf, const char* string, uint32_t ulPos, uint32_t ulMaxSize) {
  if (!string) string = "";
  uint64_t size = strlen(string) + 1;
  if (static_cast<uint64_t>(ulPos) + size <= ulMaxSize) {
    if (buf) memcpy(buf + ulPos, string, size);
    return ulPos + static_cast<uint32_t>(size);
  }
  g_trc.OutTV2(TRC_ERROR, KEB_SIG, TRC_INTERNAL, "Copy produces buffer overrun",
               "ulPos=%u, ulSize=%u, ulMaxSize=%u, string='%s'", ulPos, static_cast<unsigned>(size), ulMaxSize, string);
  if (ulPos < ulMaxSize) {
    if (buf) memcpy(buf + ulPos, string, ulMaxSize - ulPos);
    return ulMaxSize;
  }
  return ulMaxSize - 1;
}

void MscDumpBuffer(FILE* file, unsigned char* data, int count) {
  if (!file || !data) return;
  for (int start = 0; start < count; start += 16) {
    int n = count - start < 16 ? count - start : 16;
    fprintf(file, "0x%4.4x ", start);
    for (int j = 0; j < 16; ++j) {
      if (j == 8) fputc(' ', file);
      if (j < n) fprintf(file, "%2.2x ", data[start + j]);
      else fputs("   ", file);
    }
    for (int j = 0; j < n; ++j) {
      if (j == 8) fputc(' ', file);
      unsigned char c = data[start + j];
      fputc(c >= 0x20 && c <= 0x7e ? c : '.', file);
    }
    fputc('\n', file);
  }
  fflush(file);
}

std::vector<std::string> MscShutdownArguments(int minutes, const char* message) {
  std::vector<std::string> args = {"/sbin/shutdown", "-r"};
  args.push_back(minutes == 0 ? std::string("now") : "+" + std::to_string(minutes));
  if (message) args.push_back(std::string(message, strnlen(message, 255)));
  return args;
}

BOOL MscShutdown(int minutes, const char* message) {
  if (geteuid() != 0) return FALSE;
  // Everything the child needs is prepared before the fork.
  std::vector<std::string> args = MscShutdownArguments(minutes, message);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid < 0) return FALSE;
  if (pid == 0) {
    execv(argv[0], argv.data());
    _exit(0);
  }
  return TRUE;
}
