#include "ui/win/RichEditLibrary.h"

#include <cstdlib>

namespace {

HMODULE g_kept = nullptr;  // the process's first load, released at exit

void ReleaseKept() {
  if (g_kept) FreeLibrary(g_kept);
  g_kept = nullptr;
}

// Tests simulate a system without the library.
bool LibraryHidden() {
  const char* v = std::getenv("KEB_TEST_NO_RICHEDIT");
  return v && *v == '1';
}

}  // namespace

RichEditLibrary::RichEditLibrary() {
  if (LibraryHidden()) return;
  m_module = LoadLibraryA("RICHED32.DLL");
  if (m_module && !g_kept) {
    g_kept = LoadLibraryA("RICHED32.DLL");
    std::atexit(ReleaseKept);
  }
}

RichEditLibrary::~RichEditLibrary() {
  if (m_module) FreeLibrary(m_module);
}
