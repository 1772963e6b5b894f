// Keyboard rules of the message box, applied to each queued message before dispatch.
#pragma once
#include "ui/ButtonSet.h"

// Virtual-key codes used by the rules (same values as the window system's).
constexpr int kKeyTab = 0x09, kKeyReturn = 0x0D, kKeyEscape = 0x1B;
constexpr int kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;

struct BoxInput {
  enum Kind { KeyDown, AltChar } kind;
  int code;  // virtual key for KeyDown, the character for AltChar
};

struct BoxAction {
  enum Kind { None, Focus, Close } kind = None;  // None: not handled, dispatch normally
  int slot = -1;      // Focus: the slot to focus
  int result = 0;     // Close: the box's result
};

// `focusSlot` is the slot that has the focus now, or -1 when no button has it.
BoxAction DecideBoxInput(const ButtonSet& set, int focusSlot, BoxInput input);
