#include <gtest/gtest.h>

#include "ui/MarkupText.h"

namespace {

TEST(Markup, ConversionTable) {
  struct Case { const char* in; const char* text; std::vector<BoldRange> bold; } cases[] = {
      {"a<B>b</B>c", "abc", {{1, 2}}},
      {"a<b>b</b>c", "abc", {{1, 2}}},
      {"a<B>b</b>c", "abc", {{1, 2}}},
      {"one<P>two<p>three", "one\r\ntwo\r\nthree", {}},
      {"a<T>b<t>c", "a\tb\tc", {}},
      {"a\\\\nb", "a\r\nb", {}},
      {"a\\\\tb", "a\tb", {}},
      {"a\\\\Nb", "a\\\\Nb", {}},                          // capital N stays
      {"a\\nb", "a\\nb", {}},                              // a single backslash is no escape
      {"x</B>y<B>z", "xyz", {}},                           // "</B>" first: no range, tag removed
      {"<B>a</B><B>bb</B>", "abb", {{0, 1}, {1, 3}}},
      {"<B>a<P>b</B>", "a\r\nb", {{0, 4}}},                // CR LF counts as two
      {"<B>open only", "open only", {}},
      {"<SIZE> MB <DRIVE>", "<SIZE> MB <DRIVE>", {}},      // other tags are shown unchanged
      {"<<b>ERROR</b><P><P>text<P>", "ERROR\r\n\r\ntext\r\n", {{0, 5}}},
      {"", "", {}},
  };
  for (const auto& c : cases) {
    MarkupResult r = ConvertMarkup(c.in);
    EXPECT_EQ(r.text, c.text) << c.in;
    EXPECT_EQ(r.bold, c.bold) << c.in;
  }
}

TEST(Markup, CaptionHeaderOfOwnerModeZero) {
  struct Case { const char* caption; const char* text; } cases[] = {
      {"Error", "<<b>ERROR</b><P><P>body<P>"},
      {"Attention", "<<b>ATTENTION</b><P><P>body<P>"},
      {"Confirm", "<<b>CONFIRM</b><P><P>body<P>"},
      {"error", "<<b>error</b><P><P>body<P>"},       // exact case only
      {"Fehler", "<<b>Fehler</b><P><P>body<P>"},     // translated captions keep their case
  };
  for (const auto& c : cases) EXPECT_EQ(AddCaptionHeader(c.caption, "body"), c.text);
  MarkupResult r = ConvertMarkup(AddCaptionHeader("Error", "body"));
  EXPECT_EQ(r.text, "ERROR\r\n\r\nbody\r\n");
  ASSERT_EQ(r.bold.size(), 1u);
  EXPECT_EQ(r.bold[0], (BoldRange{0, 5}));
}

}  // namespace
