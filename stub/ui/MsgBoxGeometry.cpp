#include "ui/MsgBoxGeometry.h"

#include <algorithm>
#include <cctype>

namespace {

std::string TrimUpper(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  size_t e = s.find_last_not_of(" \t");
  std::string t = b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
  for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return t;
}

}  // namespace

int MsgBoxLineHeight(int fontHeight, int externalLeading, const std::string& fontFace) {
  int h = fontHeight + externalLeading;
  if (TrimUpper(fontFace) == "MS PGOTHIC") ++h;
  return h;
}

Size2 MsgBoxTextAreaSize(const std::string& plainText, int lineHeight,
                         const std::function<int(const std::string&)>& lineWidth) {
  const std::string text = plainText.empty() ? std::string(" ") : plainText;
  int width = 0, height = 0;
  size_t from = 0;
  while (true) {
    size_t brk = text.find("\r\n", from);
    std::string line = text.substr(from, brk == std::string::npos ? std::string::npos : brk - from);
    bool moreFollows = brk != std::string::npos && brk + 2 < text.size();
    if (!line.empty() || moreFollows) {
      int w = lineWidth(line);
      width = std::max(width, w + 10);
      height += (w / kMaxTextWidth + 1) * lineHeight;
    }
    if (brk == std::string::npos) break;
    from = brk + 2;
  }
  width = std::min(kMaxTextWidth, width);
  return {width + 10, height};
}

int MsgBoxWidenForBold(int width, int height, const std::function<Size2(int)>& requiredAt) {
  int widest = 0;
  for (int i = 0; i <= 20; ++i) {
    Size2 need = requiredAt(width + 10 * i);
    widest = std::max(widest, need.cx);
    if (need.cy <= height) return width + 10 * i;
  }
  return widest + 10;
}

Size2 MsgBoxWindowSize(Size2 area, const WindowMetrics& m) {
  const int hMargin = area.cx < 200 ? 64 : 32;
  const int vMargin = area.cy < 39 ? 45 : 32;
  Size2 s;
  s.cx = std::max(360, area.cx + 2 * m.frameX + 2 * hMargin + kBandWidth);
  s.cy = area.cy + 2 * m.frameY + m.caption + 36 + 2 * vMargin;
  return s;
}

Rect2 MsgBoxWindowRect(Size2 area, const WindowMetrics& m, const std::string& plainText,
                       const std::string& dvxValue) {
  Size2 s = MsgBoxWindowSize(area, m);
  Rect2 r{m.workArea.x + (m.workArea.w - s.cx) / 2, m.workArea.y + (m.workArea.h - s.cy) / 2, s.cx, s.cy};
  if (dvxValue == "706" && plainText.find("Do you want to store the new Entry in") != std::string::npos) {
    r.x += 150;
    r.y += 150;
  }
  return r;
}

Rect2 MsgBoxTextAreaRect(int clientW, int clientH, Size2 area) {
  Rect2 r;
  r.x = (clientW - kBandWidth - area.cx) / 2 + kBandWidth;
  r.y = (clientH - 36 - area.cy) / 2;
  r.w = area.cx;
  r.h = clientH - r.y - 39;
  return r;
}

std::vector<Rect2> MsgBoxButtonRects(int clientW, int clientH, int buttonCount) {
  std::vector<Rect2> rects;
  for (int slot = 0; slot < buttonCount; ++slot) {
    int fromRight = buttonCount - 1 - slot;
    rects.push_back({clientW - 80 - kButtonWidth * fromRight, clientH - 29, kButtonWidth, kButtonHeight});
  }
  return rects;
}

Rect2 ViewerTextRect(int clientW, int clientH, bool hasLink) {
  return {3, 0, clientW - 3, clientH - (hasLink ? 43 : 0)};
}

Rect2 ViewerButtonRect(int clientW, int clientH) {
  return {(clientW - 160) / 2, clientH - 33, 160, 25};
}
