#include "ArdoTrace.h"

#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "CProfile.h"
#include "CharHelpers.h"

CArdoTrace g_trc;

bool CArdoTrace::m_fFirst = true;
bool CArdoTrace::m_fFileClear = false;

namespace {

const char szDelim[] = "::";
const char* const kLabels[] = {nullptr, "Error", "Warning", "Info", "Verbose", "CCInfo", "CCVerbose"};
const char kSection[] = "TRACE_SETTINGS";

// snprintf that reports how much it really wrote into the remaining room.
int Append(char* buffer, int used, int size, const char* fmt, ...) __attribute__((format(printf, 4, 5)));
int Append(char* buffer, int used, int size, const char* fmt, ...) {
  if (used >= size - 1) return used;
  va_list args;
  va_start(args, fmt);
  int n = vsnprintf(buffer + used, static_cast<size_t>(size - used), fmt, args);
  va_end(args);
  if (n < 0) return used;
  return used + n < size - 1 ? used + n : size - 1;
}

}  // namespace

const char* TraceLevelLabel(unsigned level) { return level >= 1 && level <= 6 ? kLabels[level] : nullptr; }

CArdoTrace::CArdoTrace() { Init(); }

void CArdoTrace::Init() {
  m_fEnabled = false;
  m_fHeld = false;
  m_iPrefixWidth = 0;
  m_uiMaxLevel = 0;
  m_uiDepth = 0;
  m_iStopCount = 0;
  memset(m_apfnStopStack, 0, sizeof m_apfnStopStack);
  m_szLine[0] = '\0';
  strcpy(m_szFilePath, "Trace.trc");
  m_fFileClear = false;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
CArdoTrace::~CArdoTrace() {
  g_trc.OutTV2(TRC_CCVERBOSE, "CArdoTrace::~CArdoTrace()", TRC_ENTER, "", "this=0x%08p ", static_cast<void*>(this));
  m_fEnabled = false;
  g_trc.OutTV2(TRC_CCVERBOSE, "CArdoTrace::~CArdoTrace()", TRC_LEAVE, "", "this=0x%08p ", static_cast<void*>(this));
}
#pragma GCC diagnostic pop

bool CArdoTrace::Passes(unsigned level, unsigned& effective) const {
  if (!m_fEnabled) return false;
  effective = level == 0 ? 0 : level + m_uiDepth;
  return effective <= m_uiMaxLevel;
}

void CArdoTrace::Enable_By_Profile(const char* profilePath, bool fForce) {
  CProfile profile(profilePath);
  if (m_fEnabled) return;
  if (profile.IntGet(kSection, "Trace", 0) != 0) {
    m_fEnabled = false;
    unsigned key = static_cast<unsigned>(profile.IntGet(kSection, "Key", 0));
    if (fForce || CheckKey(key)) {
      m_fEnabled = true;
      m_fFileClear = profile.IntGet(kSection, "TraceClear", 0) > 0;
      char file[4096];
      file[0] = '\0';
      profile.StringGet(kSection, "TraceFile", "", file, sizeof file);
      file[sizeof file - 1] = '\0';
      StrSaveCopy(m_szFilePath, file, 4096);
    }
  }
  m_uiMaxLevel = static_cast<unsigned>(profile.IntGet(kSection, "TraceLevel", 0));
  TStampFormatSelect(0);
  if (profile.IntGet(kSection, "TraceInfo", 0) != 0) {
    if (m_fEnabled)
      printf("TRACE OUTPUT ENABLED: %s, %s, level=%d\n", profilePath ? profilePath : "", m_szFilePath,
             static_cast<int>(m_uiMaxLevel));
    else
      printf("TRACE OUTPUT DISABLED: %s\n", profilePath ? profilePath : "");
  }
}

bool CArdoTrace::CheckKey(unsigned key) {
  time_t now = time(nullptr);
  struct tm local;
  char date[32];
  if (!localtime_r(&now, &local) || strftime(date, sizeof date, "%d%m%Y", &local) == 0) return false;
  unsigned sum = 0;
  for (const char* p = date; *p; ++p)
    if (*p >= '0' && *p <= '9') sum += static_cast<unsigned>(*p - '0');
  return sum == key;
}

bool CArdoTrace::CheckKey(const char* key) { return CheckKey(static_cast<unsigned>(atol(key ? key : "0"))); }

bool CArdoTrace::CriticalEnter() { return true; }
void CArdoTrace::CriticalLeave() {}

void CArdoTrace::OutBase() {
  CriticalEnter();
  if (m_fFirst) {
    if (m_fFileClear) {
      FILE* f = fopen(m_szFilePath, "w");
      if (f) fclose(f);
    }
    m_fFirst = false;
  }
  FILE* f = fopen(m_szFilePath, "a");
  if (f) {
    fwrite(m_szLine, 1, strlen(m_szLine), f);
    fclose(f);
  }
  CriticalLeave();
}

void CArdoTrace::StrSaveCopy(char* dst, const char* src, int size) { ::StrSaveCopy(dst, src, size); }

void CArdoTrace::PrefixInsert(unsigned level, int& length) {
  struct timeval tv;
  gettimeofday(&tv, nullptr);
  time_t seconds = tv.tv_sec;
  struct tm local;
  int used = 0;
  if (localtime_r(&seconds, &local))
    used = static_cast<int>(strftime(m_szLine, kLineSize, "%d.%m.%Y %H:%M:%S.", &local));
  used = Append(m_szLine, used, kLineSize, "%03u", static_cast<unsigned>(tv.tv_usec / 1000));
  used = Append(m_szLine, used, kLineSize, "\t%04u", static_cast<unsigned>(getpid()));
  used = Append(m_szLine, used, kLineSize, "\t%04u\t", 0u);
  if (const char* label = TraceLevelLabel(level)) used = Append(m_szLine, used, kLineSize, "%s", label);
  length = used;
}

int CArdoTrace::OutTVFix(unsigned level, const char* className, const char* functionName,
                         const char* category, const char* text) {
  int used = 0;
  PrefixInsert(level, used);
  return Append(m_szLine, used, kLineSize, "\t%s\t%s\t%s\t%s\t", className ? className : "",
                functionName ? functionName : "", category ? category : "", text ? text : "");
}

void CArdoTrace::OutTVSplitFunction(const char* signature, char* className, char* functionName) {
  const int kPart = 256;  // each output holds at most 255 characters
  if (!signature) signature = "";
  const char* rest = signature;
  const char* delim = strstr(signature, szDelim);
  if (delim) {
    int n = static_cast<int>(delim - signature);
    if (n > kPart - 1) n = kPart - 1;
    memcpy(className, signature, static_cast<size_t>(n));
    className[n] = '\0';
    rest = delim + strlen(szDelim);
  } else {
    strcpy(className, "<global>");
  }
  const char* paren = strchr(rest, '(');
  int n = paren ? static_cast<int>(paren - rest) : static_cast<int>(strlen(rest));
  if (n > kPart - 1) n = kPart - 1;
  memcpy(functionName, rest, static_cast<size_t>(n));
  functionName[n] = '\0';
}

void CArdoTrace::FormatTail(int used, const char* fmt, va_list args) {
  if (used >= kLineSize - 1) {
    m_szLine[kLineSize - 1] = '\0';
    return;
  }
  // Messages longer than the line buffer are cut at its end.
  int n = vsnprintf(m_szLine + used, static_cast<size_t>(kLineSize - used), fmt ? fmt : "", args);
  if (n < 0) m_szLine[used] = '\0';
}

void CArdoTrace::OutTV2V(unsigned level, const char* signature, const char* category, const char* text,
                         const char* fmt, va_list args) {
  unsigned effective;
  if (!Passes(level, effective)) return;
  char className[256];
  char functionName[256];
  OutTVSplitFunction(signature, className, functionName);
  int used = OutTVFix(effective, className, functionName, category, text);
  FormatTail(used, fmt, args);
  OutBase();
  strcpy(m_szLine, "\n");
  OutBase();
}

void CArdoTrace::OutTV2(unsigned level, const char* signature, const char* category, const char* text,
                        const char* fmt, ...) {
  if (!m_fEnabled) return;
  va_list args;
  va_start(args, fmt);
  OutTV2V(level, signature, category, text, fmt, args);
  va_end(args);
}

void CArdoTrace::WriteLine(unsigned effective, const char* fmt, va_list args, bool withPrefix) {
  int used = 0;
  if (withPrefix) PrefixInsert(effective, used);
  FormatTail(used, fmt, args);
  OutBase();
}

void CArdoTrace::Out(unsigned level, const char* fmt, ...) {
  unsigned effective;
  if (!Passes(level, effective)) return;
  va_list args;
  va_start(args, fmt);
  WriteLine(effective, fmt, args, false);
  va_end(args);
}

void CArdoTrace::OutID(unsigned level, const char* fmt, ...) {
  unsigned effective;
  if (!Passes(level, effective)) return;
  int blanks = m_iPrefixWidth < 0 ? 0 : (m_iPrefixWidth > kLineSize - 1 ? kLineSize - 1 : m_iPrefixWidth);
  memset(m_szLine, ' ', static_cast<size_t>(blanks));
  va_list args;
  va_start(args, fmt);
  FormatTail(blanks, fmt, args);
  va_end(args);
  OutBase();
}

void CArdoTrace::OutTS(unsigned level, const char* fmt, ...) {
  unsigned effective;
  if (!Passes(level, effective)) return;
  va_list args;
  va_start(args, fmt);
  WriteLine(effective, fmt, args, true);
  va_end(args);
}

void CArdoTrace::Enter(unsigned level, const char* fmt, ...) {
  if (!m_fEnabled) return;
  m_uiDepth += 10;
  unsigned effective;
  if (!fmt || !Passes(level, effective)) return;
  va_list args;
  va_start(args, fmt);
  WriteLine(effective, fmt, args, true);
  va_end(args);
}

void CArdoTrace::Leave(unsigned level, const char* fmt, ...) {
  if (!m_fEnabled) return;
  unsigned effective = level;
  if (m_uiDepth >= 10) {
    effective = level == 0 ? 0 : level + m_uiDepth;
    m_uiDepth -= 10;
  }
  if (!fmt || effective > m_uiMaxLevel) return;
  va_list args;
  va_start(args, fmt);
  WriteLine(effective, fmt, args, true);
  va_end(args);
}

void CArdoTrace::OutTVBin2(unsigned level, const char* signature, const char* category, const char* text,
                           const void* data, int size, int bytesPerLine, int groupSize, bool skipZeroLines) {
  unsigned effective;
  if (!Passes(level, effective)) return;
  OutTV2(level, signature, category, text, "Binary data at address 0x%p (%d Bytes)\n", data, size);
  OutBinary(level, data, size, bytesPerLine, groupSize, skipZeroLines, nullptr);
}

void CArdoTrace::OutTVBin2Secure(unsigned level, const char* signature, const char* category,
                                 const char* text, const void* data, int size, ...) {
  unsigned effective;
  if (!Passes(level, effective)) return;
  int masks[7];
  int used = 0;
  va_list args;
  va_start(args, size);
  for (int pair = 0; pair < 3; ++pair) {
    int start = va_arg(args, int);
    if (start == -1) break;
    masks[used++] = start;
    masks[used++] = va_arg(args, int);
  }
  va_end(args);
  masks[used] = -1;
  OutTV2(level, signature, category, text, "Binary data at address 0x%p (%d Bytes)\n", data, size);
  OutBinary(level, data, size, 16, 8, false, masks);
}

void CArdoTrace::StoreBin(unsigned level, const char* signature, const char* category, const char* fileName,
                          const void* data, int size, bool append) {
  unsigned effective;
  if (!Passes(level, effective)) return;
  int cut = static_cast<int>(strlen(m_szFilePath));
  while (cut > 0 && m_szFilePath[cut] != '/') --cut;
  char path[kPathSize + 512];
  if (cut == 0)
    snprintf(path, sizeof path, "./%s", fileName ? fileName : "");
  else
    snprintf(path, sizeof path, "%.*s/%s", cut, m_szFilePath, fileName ? fileName : "");
  OutTV2(effective, signature, category, "DUMPING DATA INTO FILE", "path='%s' m_szFilePath='%s', pData=0x%p, Size=%u",
         path, m_szFilePath, data, static_cast<unsigned>(size));
  FILE* f = fopen(path, append ? "ab" : "wb");
  if (!f) return;
  if (data && size > 0) fwrite(data, 1, static_cast<size_t>(size), f);
  fclose(f);
}

void CArdoTrace::StopPush(void (*fn)()) {
  if (m_iStopCount >= kStopStackSize) {
    g_trc.OutTV2(TRC_ERROR, KEB_SIG, TRC_INTERNAL, "StopStack overflow", "%s", "");
    return;
  }
  m_apfnStopStack[m_iStopCount++] = fn;
}

void (*CArdoTrace::StopPop())() {
  if (m_iStopCount <= 0) {
    g_trc.OutTV2(TRC_WARNING, KEB_SIG, TRC_INTERNAL, "Pop on empty stop stack overflow", "%s", "");
    return nullptr;
  }
  return m_apfnStopStack[--m_iStopCount];
}

void CArdoTrace::Stop() {
  if (m_iStopCount > 0 && m_apfnStopStack[m_iStopCount - 1]) m_apfnStopStack[m_iStopCount - 1]();
}

void CArdoTrace::Hold() {
  m_fHeld = m_fEnabled;
  m_fEnabled = false;
}

void CArdoTrace::Continue() { m_fEnabled = m_fHeld; }

void CArdoTrace::Delay(unsigned level, unsigned seconds) {
  if (seconds == 0) return;
  time_t start = time(nullptr);
  OutTV2(level, "Delay", TRC_INTERNAL, "EXECUTION DELAY BEGIN", "Execution is stopped for %lu seconds",
         static_cast<unsigned long>(seconds));
  while (time(nullptr) - start < static_cast<time_t>(seconds)) {
  }
  OutTV2(level, "Delay", TRC_INTERNAL, "EXECUTION DELAY END", "Execution continues");
}

void CArdoTrace::BuildInfo(unsigned level, const char* signature, const char* category) {
  OutTV2(level, signature, category, "BUILD INFORMATION", "NODEBUG; TIME=%s, %s, this=0x%p", __DATE__, __TIME__,
         static_cast<void*>(this));
}

void CArdoTrace::TStampFormatSelect(unsigned mode) {
  if (mode != 0) {
    m_iPrefixWidth += 4;
    return;
  }
  time_t now = time(nullptr);
  struct tm local;
  char text[64] = "";
  if (localtime_r(&now, &local)) strftime(text, sizeof text, "%a, %H:%M:%S ", &local);
  m_iPrefixWidth = static_cast<int>(strlen(text)) + 4;
}
