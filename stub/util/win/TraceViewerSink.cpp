#include "util/win/TraceViewerSink.h"

#include <windows.h>

#include <iostream>
#include <streambuf>

#include "util/DebugLog.h"

namespace stub {

namespace {

constexpr unsigned kMaxPiece = 10241;  // longest text handed over in one flush
constexpr unsigned kAtomTextMax = 255; // a global atom name holds at most 255 characters

CRITICAL_SECTION& DeliveryLock() {
  static CRITICAL_SECTION lock;
  static const bool ready = (InitializeCriticalSection(&lock), true);
  (void)ready;
  return lock;
}

// Buffers what is written to std::cout and delivers it to the viewer on every flush.
class ViewerStreamBuf : public std::streambuf {
 public:
  ViewerStreamBuf() { setp(buffer_, buffer_ + kMaxPiece); }

 protected:
  int_type overflow(int_type ch) override {
    Deliver();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(ch);
      pbump(1);
    }
    return traits_type::not_eof(ch);
  }
  int sync() override {
    Deliver();
    return 0;
  }

 private:
  void Deliver() {
    const auto length = static_cast<unsigned>(pptr() - pbase());
    if (length > 0) DeliverToTraceViewer(pbase(), length);
    setp(buffer_, buffer_ + kMaxPiece);
  }
  char buffer_[kMaxPiece];
};

}  // namespace

void DeliverToTraceViewer(const char* text, unsigned length) {
  EnterCriticalSection(&DeliveryLock());
  static const UINT message = RegisterWindowMessageA(".B_DebugMsg.");
  if (HWND viewer = FindWindowA(".BDebug.", nullptr)) {
    char chunk[kAtomTextMax + 1];
    for (unsigned done = 0; done < length;) {
      const unsigned n = (length - done < kAtomTextMax) ? length - done : kAtomTextMax;
      memcpy(chunk, text + done, n);
      chunk[n] = '\0';
      done += n;
      if (chunk[0] == '\0') continue;  // an embedded NUL cannot travel in an atom
      const ATOM atom = GlobalAddAtomA(chunk);
      if (atom == 0) continue;
      // A viewer that hangs must not stop the stub: give up on it after a few seconds.
      DWORD_PTR ignored = 0;
      SendMessageTimeoutA(viewer, message, 1, static_cast<LPARAM>(atom), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                          5000, &ignored);
      GlobalDeleteAtom(atom);
    }
  }
  LeaveCriticalSection(&DeliveryLock());
}

void InstallTraceViewerSink() {
  static ViewerStreamBuf sink;
  std::cout.rdbuf(&sink);
  SetDebugLogIds([] { return static_cast<std::uint32_t>(GetCurrentThreadId()); },
                 static_cast<std::uint32_t>(GetCurrentProcessId()));
}

}  // namespace stub
