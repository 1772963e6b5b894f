// Which buttons a message box shows for its style word, with their labels and result codes.
#pragma once
#include <array>
#include <cstdint>
#include <string>

// Result codes of a box (the dialog identifiers of the window system); 0 = closed without a button.
enum MsgBoxResult : int {
  kResultNone = 0, kResultOk = 1, kResultCancel = 2, kResultAbort = 3,
  kResultRetry = 4, kResultIgnore = 5, kResultYes = 6, kResultNo = 7,
};

// Bits of the style word.
constexpr uint32_t kStyleButtonMask = 0x0000000F;
constexpr uint32_t kStyleIconMask = 0x000000F0;
constexpr uint32_t kStyleDefaultMask = 0x00000F00;
constexpr uint32_t kStyleRightAlign = 0x00080000;
constexpr uint32_t kStyleRtlReading = 0x00100000;
constexpr uint32_t kStyleNoClose = 0x10000000;
constexpr uint32_t kStyleFrontEndBits = 0x00052000;

constexpr const char* kDefaultButtonList = "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|";
constexpr const char* kDefaultCaptionList = "|Error|Attention|Confirm|";

struct ButtonSlot {
  bool present = false;
  std::string label;  // may be empty when the list lacks the item
  int result = kResultNone;
};

// The present buttons fill the slots from the left: slot 0 is the left button, slot 1
// the second, slot 2 the third. Navigation, the default button and the time-out use slots.
struct ButtonSet {
  std::array<ButtonSlot, 3> slots;
  int count = 0;       // number of buttons (0 to 3)
  int focusSlot = -1;  // slot focused first; -1 when there is no button
};

// Resolves the button set of `style` against the button-label list (items 0-6:
// OK, Cancel, Yes, No, Abort, Retry, Ignore). An empty list means the default list.
ButtonSet ResolveButtons(uint32_t style, const std::string& buttonList);

// Navigation wraps around the present buttons; -1 when there is none.
int NextSlot(const ButtonSet& set, int slot);
int PreviousSlot(const ButtonSet& set, int slot);
