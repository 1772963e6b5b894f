// Diagnostic trace writer. Every library operation reports through the one
// global instance g_trc; output goes to a text file named by a profile file.
// While tracing is off each output call costs one flag test.
#pragma once

#include <cstdarg>

// Levels and their labels.
enum : unsigned {
  TRC_ALWAYS = 0,     // passes every level filter, no label
  TRC_ERROR = 1,      // "Error"
  TRC_WARNING = 2,    // "Warning"
  TRC_INFO = 3,       // "Info"
  TRC_VERBOSE = 4,    // "Verbose"
  TRC_CCINFO = 5,     // "CCInfo"
  TRC_CCVERBOSE = 6,  // "CCVerbose"
};

// Categories used by convention with OutTV2.
#define TRC_ENTER "Enter"
#define TRC_LEAVE "Leave"
#define TRC_INTERNAL "Internal"

// The caller's full function signature ("BOOL CSharedObject::DataLoad()").
// A string literal the compiler already has: passing it costs one pointer.
#define KEB_SIG __PRETTY_FUNCTION__

// Trace from inside a function with its own signature; the whole call,
// argument evaluation included, is skipped after one flag test when off.
#define KEB_TRACE(level, category, text, ...)                                 \
  do {                                                                        \
    if (g_trc.IsEnabled())                                                    \
      g_trc.OutTV2((level), KEB_SIG, (category), (text), __VA_ARGS__);        \
  } while (0)

class CArdoTrace {
 public:
  CArdoTrace();
  ~CArdoTrace();
  CArdoTrace(const CArdoTrace&) = delete;
  CArdoTrace& operator=(const CArdoTrace&) = delete;

  void Init();
  void Enable_By_Profile(const char* profilePath, bool fForce);
  bool IsEnabled() const { return m_fEnabled; }

  void OutTV2(unsigned level, const char* signature, const char* category, const char* text,
              const char* fmt, ...) __attribute__((format(printf, 6, 7)));
  void OutTV2V(unsigned level, const char* signature, const char* category, const char* text,
               const char* fmt, va_list args);
  int OutTVFix(unsigned level, const char* className, const char* functionName,
               const char* category, const char* text);
  void OutTVSplitFunction(const char* signature, char* className, char* functionName);

  void Out(unsigned level, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  void OutID(unsigned level, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  void OutTS(unsigned level, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  void Enter(unsigned level, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  void Leave(unsigned level, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  void PrefixInsert(unsigned level, int& length);

  void OutBinary(unsigned level, const void* data, int size, int bytesPerLine, int groupSize,
                 bool skipZeroLines, int* maskedRanges);
  void OutTVBin2(unsigned level, const char* signature, const char* category, const char* text,
                 const void* data, int size, int bytesPerLine, int groupSize, bool skipZeroLines);
  void OutTVBin2Secure(unsigned level, const char* signature, const char* category,
                       const char* text, const void* data, int size, ...);
  void StoreBin(unsigned level, const char* signature, const char* category, const char* fileName,
                const void* data, int size, bool append);

  void StopPush(void (*fn)());
  void (*StopPop())();
  void Stop();

  void Hold();
  void Continue();
  void Delay(unsigned level, unsigned seconds);
  void BuildInfo(unsigned level, const char* signature, const char* category);
  void TStampFormatSelect(unsigned mode);

  bool CheckKey(unsigned key);
  bool CheckKey(const char* key);
  bool CriticalEnter();
  void CriticalLeave();
  void OutBase();
  void StrSaveCopy(char* dst, const char* src, int size);

  // Read-only views for callers and tests.
  const char* FilePath() const { return m_szFilePath; }
  unsigned MaxLevel() const { return m_uiMaxLevel; }
  unsigned Depth() const { return m_uiDepth; }
  int PrefixWidth() const { return m_iPrefixWidth; }
  int StopCount() const { return m_iStopCount; }

  static const int kLineSize = 0x8FFF;
  static const int kPathSize = 8192;
  static const int kStopStackSize = 10;

  // Shared by every instance in one library.
  static bool m_fFirst;      // no line written yet by this process
  static bool m_fFileClear;  // empty the file before the first line

 private:
  // Effective level of a call, or false when the filter drops it.
  bool Passes(unsigned level, unsigned& effective) const;
  void FormatTail(int used, const char* fmt, va_list args);
  void WriteLine(unsigned effective, const char* fmt, va_list args, bool withPrefix);

  int m_iPrefixWidth;
  char m_szLine[kLineSize];
  char m_szFilePath[kPathSize];
  unsigned int m_uiMaxLevel;
  unsigned int m_uiDepth;
  void (*m_apfnStopStack[kStopStackSize])();
  int m_iStopCount;
  bool m_fEnabled;
  bool m_fHeld;
};

extern CArdoTrace g_trc;

// Label of an effective level 1..6, or null.
const char* TraceLevelLabel(unsigned level);
