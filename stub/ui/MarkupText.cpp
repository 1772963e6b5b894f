#include "ui/MarkupText.h"

#include <cctype>

namespace {

std::string Upper(const std::string& s) {
  std::string u = s;
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
  for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
    s.replace(pos, from.size(), to);
}

// Replaces `tag` (given in upper case) wherever it occurs regardless of case.
void ReplaceAllNoCase(std::string& s, const std::string& tag, const std::string& to) {
  std::string upper = Upper(s);
  std::string out;
  size_t from = 0;
  for (size_t pos = upper.find(tag); pos != std::string::npos; pos = upper.find(tag, from)) {
    out.append(s, from, pos - from);
    out += to;
    from = pos + tag.size();
  }
  out.append(s, from, std::string::npos);
  s = out;
}

}  // namespace

MarkupResult ConvertMarkup(const std::string& markup) {
  MarkupResult r;
  std::string s = markup;
  ReplaceAll(s, "\\\\n", "\r\n");
  ReplaceAll(s, "\\\\t", "\t");
  ReplaceAllNoCase(s, "<P>", "\r\n");
  ReplaceAllNoCase(s, "<T>", "\t");
  if (s.compare(0, 4, "<<b>") == 0) s.erase(0, 1);

  // The upper-cased copy is edited in step with the text so that offsets agree.
  std::string upper = Upper(s);
  for (size_t open = upper.find("<B>"); open != std::string::npos; open = upper.find("<B>")) {
    s.erase(open, 3);
    upper.erase(open, 3);
    size_t close = upper.find("</B>");
    if (close != std::string::npos && close > open) {
      s.erase(close, 4);
      upper.erase(close, 4);
      r.bold.push_back({static_cast<int>(open), static_cast<int>(close)});
    }
  }
  ReplaceAllNoCase(s, "</B>", "");
  r.text = s;
  return r;
}

std::string AddCaptionHeader(const std::string& caption, const std::string& text) {
  std::string shown = caption;
  if (std::string("|Error|Attention|Confirm|").find(caption) != std::string::npos) shown = Upper(caption);
  return "<<b>" + shown + "</b><P><P>" + text + "<P>";
}
