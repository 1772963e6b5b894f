#include "ui/MsgBoxKeys.h"

#include <cctype>

namespace {

int Upper(int c) { return std::toupper(static_cast<unsigned char>(c)); }

// The mnemonic of a label: the character after its first "&", or its first character.
int Mnemonic(const std::string& label) {
  size_t amp = label.find('&');
  if (amp == std::string::npos) return label.empty() ? 0 : Upper(label[0]);
  return amp + 1 < label.size() ? Upper(label[amp + 1]) : 0;
}

BoxAction CloseWith(int result) {
  BoxAction a;
  a.kind = BoxAction::Close;
  a.result = result;
  return a;
}

BoxAction FocusOn(int slot) {
  BoxAction a;
  if (slot < 0) return a;
  a.kind = BoxAction::Focus;
  a.slot = slot;
  return a;
}

}  // namespace

BoxAction DecideBoxInput(const ButtonSet& set, int focusSlot, BoxInput input) {
  const int current = focusSlot >= 0 ? focusSlot : set.focusSlot;
  if (input.kind == BoxInput::AltChar) {
    // Alt+character: the leftmost button whose label's second character matches.
    for (int s = 0; s < set.count; ++s) {
      const std::string& label = set.slots[s].label;
      if (label.size() >= 2 && input.code != 0 &&
          (label[1] == static_cast<char>(input.code) || label[1] == static_cast<char>(Upper(input.code))))
        return CloseWith(set.slots[s].result);
    }
    return {};
  }
  switch (input.code) {
    case kKeyEscape: return CloseWith(kResultNone);
    case kKeyLeft:
    case kKeyUp: return FocusOn(PreviousSlot(set, current));
    case kKeyTab:
    case kKeyRight:
    case kKeyDown: return FocusOn(NextSlot(set, current));
    case kKeyReturn:
      if (focusSlot >= 0 && focusSlot < set.count) return CloseWith(set.slots[focusSlot].result);
      return {};
    default: break;
  }
  if (input.code >= 'A' && input.code <= 'Z') {
    // A letter chooses by mnemonic; the rightmost match wins.
    for (int s = set.count - 1; s >= 0; --s)
      if (Mnemonic(set.slots[s].label) == input.code) return CloseWith(set.slots[s].result);
  }
  return {};
}
