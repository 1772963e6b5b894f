// Conversion of the message boxes' small mark-up language into plain text plus bold ranges.
#pragma once
#include <string>
#include <vector>

struct BoldRange {
  int start;  // character offset of the first bold character
  int end;    // offset one past the last bold character
  bool operator==(const BoldRange& o) const { return start == o.start && end == o.end; }
};

struct MarkupResult {
  std::string text;               // what the text area shows (CR LF line breaks, TABs)
  std::vector<BoldRange> bold;    // ranges in offsets of `text`, in the order found
};

// "\\n" and "\\t" (exact case), "<P>" and "<T>" (any case), a leading "<<b>" header,
// "<B>"..."</B>" bold (any case). Every other text in angle brackets is left as it is.
MarkupResult ConvertMarkup(const std::string& markup);

// Owner mode 0 puts the caption as a bold header above the text. Standard captions
// ("Error", "Attention", "Confirm", exact case) are upper-cased; translated ones are not.
std::string AddCaptionHeader(const std::string& caption, const std::string& text);
