#include <gtest/gtest.h>

#include "ui/MsgBoxGeometry.h"

namespace {

// Every character is 10 pixels wide; "W" stands for 100 pixels.
int Width(const std::string& line) {
  int w = 0;
  for (char c : line) w += c == 'W' ? 100 : 10;
  return w;
}

TEST(Geometry, LineHeight) {
  EXPECT_EQ(MsgBoxLineHeight(13, 0, "Tahoma"), 13);
  EXPECT_EQ(MsgBoxLineHeight(13, 2, "Tahoma"), 15);
  EXPECT_EQ(MsgBoxLineHeight(13, 0, "  ms pgothic "), 14);
}

TEST(Geometry, TextAreaSizes) {
  struct Case { std::string text; Size2 want; } cases[] = {
      {std::string(13, 'W'), {610, 48}},        // 1,300 pixels: three lines, width capped at 600 + 10
      {"abc", {50, 16}},                        // 30 + 10, + 10
      {"abc\r\n", {50, 16}},                    // a final empty line does not count
      {"abc\r\n\r\nde", {50, 48}},              // an empty line in the middle does
      {"", {30, 16}},                           // a single blank
      {std::string(6, 'W'), {610, 32}},         // exactly 600 pixels: 600 div 600 + 1 = 2 lines
  };
  for (const auto& c : cases) {
    Size2 s = MsgBoxTextAreaSize(c.text, 16, Width);
    EXPECT_EQ(s.cx, c.want.cx) << c.text;
    EXPECT_EQ(s.cy, c.want.cy) << c.text;
  }
}

TEST(Geometry, WidenForBold) {
  // The control needs 2 lines below 230 pixels and 1 line from there on.
  auto control = [](int w) { return Size2{w < 230 ? 200 : 230, w < 230 ? 32 : 16}; };
  EXPECT_EQ(MsgBoxWidenForBold(200, 16, control), 230);
  EXPECT_EQ(MsgBoxWidenForBold(240, 16, control), 240);
  // Never fits: the largest required width seen + 10.
  auto never = [](int w) { return Size2{w + 5, 99}; };
  EXPECT_EQ(MsgBoxWidenForBold(100, 16, never), 100 + 200 + 5 + 10);
}

TEST(Geometry, WindowSizeAndPlace) {
  WindowMetrics m;
  m.frameX = 3; m.frameY = 3; m.caption = 19; m.workArea = {0, 0, 1280, 1000};
  struct Case { Size2 area; Size2 want; } cases[] = {
      {{300, 20}, {300 + 6 + 118, 20 + 6 + 19 + 36 + 90}},   // narrow height: 45 vertical margins
      {{300, 39}, {300 + 6 + 64 + 54, 39 + 6 + 19 + 36 + 64}},
      {{150, 50}, {360, 50 + 6 + 19 + 36 + 64}},             // at least 360 wide (150 + 6 + 128 + 54 = 338)
      {{199, 50}, {199 + 6 + 128 + 54, 50 + 6 + 19 + 36 + 64}},
  };
  for (const auto& c : cases) {
    Size2 s = MsgBoxWindowSize(c.area, m);
    EXPECT_EQ(s.cx, c.want.cx);
    EXPECT_EQ(s.cy, c.want.cy);
  }
  Rect2 r = MsgBoxWindowRect({300, 20}, m, "text", "");
  EXPECT_EQ(r, (Rect2{(1280 - 424) / 2, (1000 - 171) / 2, 424, 171}));
  const std::string question = "Do you want to store the new Entry in the list?";
  EXPECT_EQ(MsgBoxWindowRect({300, 20}, m, question, "706"), (Rect2{r.x + 150, r.y + 150, 424, 171}));
  EXPECT_EQ(MsgBoxWindowRect({300, 20}, m, question, "705"), r);
  EXPECT_EQ(MsgBoxWindowRect({300, 20}, m, "other", "706"), r);
}

TEST(Geometry, ClientLayout) {
  EXPECT_EQ(MsgBoxTextAreaRect(418, 140, {300, 20}), (Rect2{(418 - 54 - 300) / 2 + 54, (140 - 36 - 20) / 2, 300, 140 - 42 - 39}));
  std::vector<Rect2> three = MsgBoxButtonRects(418, 140, 3);
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(three[2], (Rect2{418 - 80, 111, 70, 23}));
  EXPECT_EQ(three[1], (Rect2{418 - 150, 111, 70, 23}));
  EXPECT_EQ(three[0], (Rect2{418 - 220, 111, 70, 23}));
  EXPECT_EQ(MsgBoxButtonRects(418, 140, 1)[0], (Rect2{338, 111, 70, 23}));
  EXPECT_TRUE(MsgBoxButtonRects(418, 140, 0).empty());
  EXPECT_EQ(ViewerTextRect(500, 300, true), (Rect2{3, 0, 497, 257}));
  EXPECT_EQ(ViewerTextRect(500, 300, false), (Rect2{3, 0, 497, 300}));
  EXPECT_EQ(ViewerButtonRect(500, 300), (Rect2{170, 267, 160, 25}));
}

}  // namespace
