// The stub's mark-up message box (`BMsgBox`) and its front ends.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Owner mode: 0 = caption as bold header in the text, 1 = plain, 2 = Close disabled;
// a value greater than 2 is the owner window's handle.
using MsgBoxOwner = std::uintptr_t;

// Shows a box and returns its result code (1 OK ... 7 No, 0 closed without a button).
int MsgBoxShow(MsgBoxOwner owner, const std::string& text, const std::string& caption, unsigned timeoutMs,
               uint32_t style, int charset, const std::string& buttonList);

void MsgBoxError(MsgBoxOwner owner, const std::string& text, const std::string& caption, int charset,
                 const std::string& buttonList);
void MsgBoxAttention(MsgBoxOwner owner, const std::string& text, const std::string& caption, int charset,
                     const std::string& buttonList, unsigned timeoutMs);
bool MsgBoxConfirm(MsgBoxOwner owner, const std::string& text, const std::string& caption, int charset,
                   const std::string& buttonList, unsigned timeoutMs);
bool MsgBoxOkCancel(MsgBoxOwner owner, const std::string& text, const std::string& caption, int charset,
                    const std::string& buttonList);

// Process-wide font of the boxes; a size of 0 keeps the current size.
void MsgBoxSetFont(const std::string& face, int size, int charset);

// What the last box used, for diagnostics and the tests' probe program.
struct MsgBoxReport {
  RECT window{};      // screen coordinates
  RECT textArea{};    // client coordinates; empty when there was no text area
  RECT client{};      // client area in screen coordinates
  SIZE measured{};    // text-area size from measuring the text
  SIZE area{};        // final text-area size W x H (after widening for bold text)
  int textLines = 0;  // lines the text area shows
  bool rightAligned = false;
  bool rightToLeft = false;
  bool closeGreyed = false;
  bool hadTextArea = false;
  int boldRanges = 0;
  HWND box = nullptr;  // valid while the box is open
};
const MsgBoxReport& LastMsgBoxReport();
