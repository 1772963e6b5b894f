#include <gtest/gtest.h>

#include "ui/ButtonSet.h"
#include "ui/MsgBoxKeys.h"

namespace {

TEST(ButtonSet, TableOfSets) {
  struct Case { uint32_t style; std::vector<std::string> labels; std::vector<int> results; int focus; } cases[] = {
      {0x0, {"&OK"}, {1}, 0},
      {0x1, {"&OK", "&Cancel"}, {1, 2}, 0},
      {0x2, {"&Abort", "&Retry", "&Ignore"}, {3, 4, 5}, 0},
      {0x3, {"&Yes", "&No", "&Cancel"}, {6, 7, 2}, 0},
      {0x4, {"&Yes", "&No"}, {6, 7}, 0},
      {0x5, {"&Retry", "&Cancel"}, {4, 2}, 0},
      {0x203, {"&Yes", "&No", "&Cancel"}, {6, 7, 2}, 2},   // default bits 2: Cancel
      {0x204, {"&Yes", "&No"}, {6, 7}, 0},                 // 2 mod 2 = 0: Yes
      {0x104, {"&Yes", "&No"}, {6, 7}, 1},
      {0x500, {"&OK"}, {1}, 0},
      {0x24, {"&Yes", "&No"}, {6, 7}, 0},                  // icon bits do not matter
      {0x6, {}, {}, -1},                                   // unknown sets: no button
      {0x30F, {}, {}, -1},
  };
  for (const auto& c : cases) {
    ButtonSet set = ResolveButtons(c.style, "");
    ASSERT_EQ(set.count, static_cast<int>(c.labels.size())) << c.style;
    for (int s = 0; s < set.count; ++s) {
      EXPECT_EQ(set.slots[s].label, c.labels[s]) << c.style;
      EXPECT_EQ(set.slots[s].result, c.results[s]) << c.style;
    }
    EXPECT_EQ(set.focusSlot, c.focus) << c.style;
  }
}

TEST(ButtonSet, LabelsFromTheList) {
  ButtonSet set = ResolveButtons(0x3, "|&Ja|&Abbrechen|&Ja|&Nein|");
  EXPECT_EQ(set.slots[0].label, "&Ja");
  EXPECT_EQ(set.slots[1].label, "&Nein");
  EXPECT_EQ(set.slots[2].label, "&Abbrechen");
  set = ResolveButtons(0x2, "|&OK|&Cancel|");  // items missing: empty labels, buttons stay
  EXPECT_EQ(set.count, 3);
  EXPECT_EQ(set.slots[0].label, "");
  EXPECT_EQ(set.slots[0].result, kResultAbort);
}

BoxAction Key(const ButtonSet& set, int focus, int vk) { return DecideBoxInput(set, focus, {BoxInput::KeyDown, vk}); }
BoxAction Alt(const ButtonSet& set, int ch) { return DecideBoxInput(set, 0, {BoxInput::AltChar, ch}); }

TEST(BoxKeys, Navigation) {
  ButtonSet three = ResolveButtons(0x3, "");
  ButtonSet two = ResolveButtons(0x4, "");
  ButtonSet none = ResolveButtons(0x7, "");
  struct Case { const ButtonSet* set; int focus; int vk; int want; } cases[] = {
      {&three, 0, kKeyTab, 1}, {&three, 2, kKeyTab, 0}, {&three, 1, kKeyRight, 2},
      {&three, 2, kKeyDown, 0}, {&three, 0, kKeyLeft, 2}, {&three, 1, kKeyUp, 0},
      {&two, 1, kKeyTab, 0}, {&two, 0, kKeyLeft, 1},
  };
  for (const auto& c : cases) {
    BoxAction a = Key(*c.set, c.focus, c.vk);
    EXPECT_EQ(a.kind, BoxAction::Focus) << c.vk;
    EXPECT_EQ(a.slot, c.want) << c.vk << " from " << c.focus;
  }
  EXPECT_EQ(Key(none, -1, kKeyTab).kind, BoxAction::None);
}

TEST(BoxKeys, ClosingInputs) {
  ButtonSet ync = ResolveButtons(0x3, "");
  ButtonSet ari = ResolveButtons(0x2, "");
  ButtonSet same = ResolveButtons(0x3, "|&OK|&Cancel|&Go|&Gone|");     // both "G" mnemonics
  ButtonSet plain = ResolveButtons(0x4, "|&OK|&Cancel|Yes|No|");         // no "&": first letter
  ButtonSet none = ResolveButtons(0x8, "");
  struct Case { const ButtonSet* set; int focus; BoxInput in; BoxAction::Kind kind; int result; } cases[] = {
      {&ync, 1, {BoxInput::KeyDown, kKeyReturn}, BoxAction::Close, kResultNo},
      {&ync, 2, {BoxInput::KeyDown, kKeyReturn}, BoxAction::Close, kResultCancel},
      {&ync, -1, {BoxInput::KeyDown, kKeyReturn}, BoxAction::None, 0},
      {&ync, 0, {BoxInput::KeyDown, kKeyEscape}, BoxAction::Close, kResultNone},
      {&none, -1, {BoxInput::KeyDown, kKeyEscape}, BoxAction::Close, kResultNone},
      {&ync, 0, {BoxInput::KeyDown, 'N'}, BoxAction::Close, kResultNo},
      {&ync, 0, {BoxInput::KeyDown, 'C'}, BoxAction::Close, kResultCancel},
      {&ari, 0, {BoxInput::KeyDown, 'I'}, BoxAction::Close, kResultIgnore},
      {&ync, 0, {BoxInput::KeyDown, 'Q'}, BoxAction::None, 0},
      {&same, 0, {BoxInput::KeyDown, 'G'}, BoxAction::Close, kResultNo},      // rightmost wins
      {&plain, 0, {BoxInput::KeyDown, 'N'}, BoxAction::Close, kResultNo},
      {&ync, 0, {BoxInput::AltChar, 'y'}, BoxAction::Close, kResultYes},
      {&ync, 0, {BoxInput::AltChar, 'C'}, BoxAction::Close, kResultCancel},
      {&same, 0, {BoxInput::AltChar, 'g'}, BoxAction::Close, kResultYes},    // leftmost wins
      {&plain, 0, {BoxInput::AltChar, 'e'}, BoxAction::Close, kResultYes},   // second character
      {&ync, 0, {BoxInput::AltChar, 'z'}, BoxAction::None, 0},
  };
  for (const auto& c : cases) {
    BoxAction a = DecideBoxInput(*c.set, c.focus, c.in);
    EXPECT_EQ(a.kind, c.kind) << c.in.code;
    if (c.kind == BoxAction::Close) EXPECT_EQ(a.result, c.result) << c.in.code;
  }
}

}  // namespace
