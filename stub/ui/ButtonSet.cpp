#include "ui/ButtonSet.h"

#include "util/SelfDelimitedList.h"

namespace {

struct ButtonSpec {
  int item;    // item of the label list, -1 for no button
  int result;
};

// Left, middle and right button of the six button sets.
constexpr ButtonSpec kTable[6][3] = {
    {{0, kResultOk}, {-1, 0}, {-1, 0}},
    {{0, kResultOk}, {1, kResultCancel}, {-1, 0}},
    {{4, kResultAbort}, {5, kResultRetry}, {6, kResultIgnore}},
    {{2, kResultYes}, {3, kResultNo}, {1, kResultCancel}},
    {{2, kResultYes}, {3, kResultNo}, {-1, 0}},
    {{5, kResultRetry}, {1, kResultCancel}, {-1, 0}},
};

}  // namespace

ButtonSet ResolveButtons(uint32_t style, const std::string& buttonList) {
  const std::string list = buttonList.empty() ? std::string(kDefaultButtonList) : buttonList;
  ButtonSet set;
  const uint32_t kind = style & kStyleButtonMask;
  if (kind >= 6) return set;  // unknown set: no button at all
  for (const ButtonSpec& spec : kTable[kind]) {
    if (spec.item < 0) break;
    ButtonSlot& slot = set.slots[set.count++];
    slot.present = true;
    slot.label = SelfDelimitedList::Field(list, spec.item, "");
    slot.result = spec.result;
  }
  set.focusSlot = static_cast<int>((style & kStyleDefaultMask) >> 8) % set.count;
  return set;
}

int NextSlot(const ButtonSet& set, int slot) {
  if (set.count == 0) return -1;
  return (slot + 1) % set.count;
}

int PreviousSlot(const ButtonSet& set, int slot) {
  if (set.count == 0) return -1;
  return (slot + set.count - 1) % set.count;
}
