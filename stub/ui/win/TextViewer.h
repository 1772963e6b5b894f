// The stub's text viewer (`BRichEditBox`): a resizable window with a scrolling plain-text
// area and an optional button that opens a link.
#pragma once
#include <windows.h>

#include <string>

// Trims the link. Empty text and a link: opens the link with the shell, no window, true.
// A text: shows the viewer until it is closed, true. Both empty: false.
bool TextViewerShow(HWND owner, const std::string& caption, const std::string& buttonLabel, int charset,
                    int fontSize, const std::string& fontFace, bool rightToLeft, int height, int width,
                    const std::string& link, const std::string& text);

// What the last viewer used, for the tests' probe program (client coordinates).
struct TextViewerReport {
  RECT window{};
  RECT textArea{};
  RECT button{};
  bool hadButton = false;
  bool openedLink = false;
};
const TextViewerReport& LastTextViewerReport();
