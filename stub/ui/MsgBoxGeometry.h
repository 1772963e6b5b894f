// Sizes and positions of the message box: text area, window, client layout.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/MarkupText.h"

struct Size2 { int cx = 0; int cy = 0; };
struct Rect2 {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Rect2& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

constexpr int kMaxTextWidth = 600;  // longer lines wrap
constexpr int kBandWidth = 54;      // blue band on the left
constexpr int kButtonWidth = 70;
constexpr int kButtonHeight = 23;

// Height of one text line: font height + external leading, +1 for "MS PGothic".
int MsgBoxLineHeight(int fontHeight, int externalLeading, const std::string& fontFace);

// Text-area size for the plain text, given the line height and a measure of one line's
// width in pixels. Lines wider than 600 pixels count several times in height.
Size2 MsgBoxTextAreaSize(const std::string& plainText, int lineHeight,
                         const std::function<int(const std::string&)>& lineWidth);

// Bold text is wider than measured: tries widths width, width+10, ... width+200 until the
// control's required height (asked through `requiredAt`) fits into `height`. Returns the
// width to use.
int MsgBoxWidenForBold(int width, int height, const std::function<Size2(int width)>& requiredAt);

struct WindowMetrics {
  int frameX = 0, frameY = 0, caption = 0;  // system frame and caption sizes
  Rect2 workArea;                           // screen work area
};

// Outer window size for a text area of the given size.
Size2 MsgBoxWindowSize(Size2 textArea, const WindowMetrics& m);

// Window rectangle: centred in the work area (with the one relocation asked for by the
// DVX environment value; pass its value or empty).
Rect2 MsgBoxWindowRect(Size2 textArea, const WindowMetrics& m, const std::string& plainText,
                       const std::string& dvxValue);

// Client layout: text area and the buttons (slot 0 leftmost, buttons touching, the
// rightmost ending 10 pixels before the right edge).
Rect2 MsgBoxTextAreaRect(int clientW, int clientH, Size2 textArea);
std::vector<Rect2> MsgBoxButtonRects(int clientW, int clientH, int buttonCount);

// Text viewer layout.
Rect2 ViewerTextRect(int clientW, int clientH, bool hasLink);
Rect2 ViewerButtonRect(int clientW, int clientH);
