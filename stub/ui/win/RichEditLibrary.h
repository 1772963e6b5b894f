// Loads "RICHED32.DLL", which provides the "RICHEDIT" control class. The first successful
// load of the process stays in force until exit; each object releases its own load.
#pragma once
#include <windows.h>

class RichEditLibrary {
 public:
  RichEditLibrary();
  ~RichEditLibrary();
  RichEditLibrary(const RichEditLibrary&) = delete;
  RichEditLibrary& operator=(const RichEditLibrary&) = delete;
  bool Loaded() const { return m_module != nullptr; }

 private:
  HMODULE m_module = nullptr;
};
