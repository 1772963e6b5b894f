#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CString.h"

namespace {

// The block header in front of a string's characters.
const CStringData* Block(const CString& s) {
  return reinterpret_cast<const CStringData*>(static_cast<const char*>(s)) - 1;
}

TEST(CString, CopiesShareOneBlockUntilOneChanges) {
  CString a("shared text");
  CString b(a);
  CString c;
  c = a;
  EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(b));
  EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(c));
  EXPECT_EQ(Block(a)->nRefs, 3);

  b.MakeUpper();
  EXPECT_STREQ(b, "SHARED TEXT");
  EXPECT_STREQ(a, "shared text");
  EXPECT_NE(static_cast<const char*>(a), static_cast<const char*>(b));
  EXPECT_EQ(Block(a)->nRefs, 2);
  c.SetAt(0, 'S');
  EXPECT_STREQ(a, "shared text");
  EXPECT_EQ(Block(a)->nRefs, 1);
}

TEST(CString, EveryEmptyStringPointsAtTheSharedBlock) {
  CString a, b(""), c(static_cast<const char*>(nullptr)), d('x', 0), e("abc");
  e.Empty();
  CString f = CString("xy").Mid(5);
  for (const CString* s : {&a, &b, &c, &d, &e, &f}) {
    EXPECT_EQ(static_cast<const char*>(*s), afxPchNil);
    EXPECT_EQ(Block(*s)->nRefs, -1);
  }
  EXPECT_EQ(*AfxGetEmptyString(), afxPchNil);
  {
    CString g(a);  // copying and destroying an empty string touches nothing
  }
  EXPECT_EQ(Block(a)->nRefs, -1);
  EXPECT_EQ(Block(a)->nDataLength, 0);
}

TEST(CString, AppendingToAFullBlockReallocatesToTheExactSize) {
  CString s("a");
  for (int i = 0; i < 5; ++i) {
    const char* before = s;
    s += 'b';
    EXPECT_NE(static_cast<const char*>(s), before);
    EXPECT_EQ(s.GetAllocLength(), s.GetLength());
  }
  EXPECT_STREQ(s, "abbbbb");
  s.GetBuffer(20);
  EXPECT_EQ(s.GetAllocLength(), 20);
  const char* roomy = s;
  s += "cc";
  EXPECT_EQ(static_cast<const char*>(s), roomy);  // room left: written in place
  EXPECT_STREQ(s, "abbbbbcc");
  s.FreeExtra();
  EXPECT_EQ(s.GetAllocLength(), 8);
}

TEST(CString, ConstructionFromOtherForms) {
  const unsigned short wide[] = {0x41, 0x263A, 0x7A, 0};
  EXPECT_STREQ(CString(wide), "A_z");
  EXPECT_STREQ(CString('q', 3), "qqq");
  const unsigned char bytes[] = "raw";
  EXPECT_STREQ(CString(bytes), "raw");
  CString s;
  s = static_cast<const char*>(nullptr);
  EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, LockedBlocksAreCopiedNotShared) {
  CString a("locked");
  a.LockBuffer();
  CString b(a);
  EXPECT_NE(static_cast<const char*>(a), static_cast<const char*>(b));
  CString c("x");
  c = a;
  EXPECT_NE(static_cast<const char*>(a), static_cast<const char*>(c));
  EXPECT_STREQ(c, "locked");
  a.UnlockBuffer();
  CString d(a);
  EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(d));
}

TEST(CString, TokenizeWalksTheTokens) {
  CString s("a, b");
  int pos = 0;
  EXPECT_STREQ(s.Tokenize(", ", pos), "a");
  EXPECT_STREQ(s.Tokenize(", ", pos), "b");
  CString last = s.Tokenize(", ", pos);
  EXPECT_TRUE(last.IsEmpty());
  EXPECT_EQ(pos, -1);

  pos = 2;
  EXPECT_STREQ(s.Tokenize("", pos), " b");
  EXPECT_EQ(pos, 2);
  pos = 4;
  EXPECT_TRUE(s.Tokenize(nullptr, pos).IsEmpty());
  EXPECT_EQ(pos, -1);
  pos = 99;
  EXPECT_TRUE(s.Tokenize(",", pos).IsEmpty());
  EXPECT_EQ(pos, -1);
}

TEST(CString, MidLeftRightClamp) {
  const CString s("abcdef");
  struct Case { int first, count; const char* mid; } cases[] = {
      {0, 6, "abcdef"}, {2, 2, "cd"}, {-3, 2, "ab"}, {4, 99, "ef"}, {7, 1, ""}, {3, -1, ""}};
  for (const Case& c : cases) EXPECT_STREQ(s.Mid(c.first, c.count), c.mid) << c.first << "," << c.count;
  EXPECT_STREQ(s.Mid(4), "ef");
  EXPECT_STREQ(s.Mid(-1), "abcdef");
  EXPECT_STREQ(s.Left(2), "ab");
  EXPECT_STREQ(s.Left(-2), "");
  EXPECT_STREQ(s.Right(2), "ef");
  EXPECT_STREQ(s.Right(60), "abcdef");
  // Asking for the whole string gives a shared copy.
  EXPECT_EQ(static_cast<const char*>(s.Left(6)), static_cast<const char*>(s));
  EXPECT_EQ(static_cast<const char*>(s.Right(10)), static_cast<const char*>(s));
  EXPECT_STREQ(s.SpanIncluding("cba"), "abc");
  EXPECT_STREQ(s.SpanExcluding("dx"), "abc");
}

TEST(CString, EditingOperationsReturnTheirCounts) {
  CString s("a-b-c");
  EXPECT_EQ(s.Replace("-", "--"), 2);
  EXPECT_STREQ(s, "a--b--c");
  EXPECT_EQ(s.Replace("", "x"), 0);
  EXPECT_EQ(s.Replace("zz", "x"), 0);
  EXPECT_EQ(s.Replace('-', '+'), 4);
  EXPECT_EQ(s.Remove('+'), 4);
  EXPECT_STREQ(s, "abc");
  EXPECT_EQ(s.Insert(-5, 'X'), 4);
  EXPECT_EQ(s.Insert(99, "YZ"), 6);
  EXPECT_STREQ(s, "XabcYZ");
  EXPECT_EQ(s.Delete(1, 2), 6);  // the length before the deletion
  EXPECT_STREQ(s, "XcYZ");
  EXPECT_EQ(s.Delete(7, 1), 4);
  EXPECT_EQ(s.Delete(0, 0), 4);
  EXPECT_EQ(s.Delete(2, 100), 4);  // a count beyond the end stops at the end
  EXPECT_STREQ(s, "Xc");

  CString gone("a-b");
  EXPECT_EQ(gone.Replace("-", nullptr), 1);
  EXPECT_STREQ(gone, "ab");

  CString self("ab");
  self.Replace("a", self);  // the replacement may be the string itself
  EXPECT_STREQ(self, "abb");
}

TEST(CString, FindFamilyReturnsMinusOneWhenMissing) {
  CString s("hello world");
  EXPECT_EQ(s.Find('o'), 4);
  EXPECT_EQ(s.Find('z'), -1);
  EXPECT_EQ(s.Find("wor"), 6);
  EXPECT_EQ(s.Find("o", 5), 7);
  EXPECT_EQ(s.Find("o", 50), -1);
  EXPECT_EQ(s.ReverseFind('o'), 7);
  EXPECT_EQ(s.FindOneOf("wd"), 6);
  EXPECT_EQ(s.FindOneOf("xyz"), -1);
}

TEST(CString, TrimmingAndCase) {
  CString s(" \t padded \n");
  s.TrimLeft();
  s.TrimRight();
  EXPECT_STREQ(s, "padded");
  CString t("xxmidxx");
  t.TrimLeft('x');
  t.TrimRight(CString("dx"));
  EXPECT_STREQ(t, "mi");
  CString u("MiXeD");
  u.MakeLower();
  EXPECT_STREQ(u, "mixed");
  u.MakeReverse();
  EXPECT_STREQ(u, "dexim");
}

TEST(CString, ComparisonsAndFreeHelpers) {
  CString a("apple"), b("Banana");
  EXPECT_TRUE(a == "apple");
  EXPECT_TRUE("apple" == a);
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(b < a);  // byte order: upper case first
  EXPECT_TRUE("zz" > a);
  EXPECT_TRUE(a <= "apple" && a >= "apple");
  EXPECT_EQ(a.CompareNoCase("APPLE"), 0);
  EXPECT_EQ(stricmp("abc", "ABD"), -1);
  EXPECT_EQ(stricmp("b", "A"), 1);
  EXPECT_EQ(stricmp("Same", "sAME"), 0);
  char text[] = "AbC";
  EXPECT_EQ(strlwr(text), text);
  EXPECT_STREQ(text, "abc");
  EXPECT_STREQ(strupr(text), "ABC");
  EXPECT_STREQ(strrev(text), "CBA");
  EXPECT_STREQ(a + "-" + b, "apple-Banana");
  EXPECT_STREQ("<" + a, "<apple");
}

TEST(CString, BufferAccess) {
  CString s("abc");
  CString shared(s);
  char* p = s.GetBuffer(11);
  EXPECT_NE(p, static_cast<const char*>(shared));  // made private first
  strcpy(p, "longer text");
  s.ReleaseBuffer(-1);
  EXPECT_EQ(s.GetLength(), 11);
  EXPECT_EQ(s.GetAllocLength(), 11);
  s.ReleaseBuffer(3);
  EXPECT_STREQ(s, "lon");
  s.GetBufferSetLength(2);
  EXPECT_STREQ(s, "lo");
  EXPECT_STREQ(shared, "abc");
  EXPECT_EQ(s.GetAt(1), 'o');
  EXPECT_EQ(s[0], 'l');
}

TEST(CString, FormatNeverCuts) {
  std::string big(5000, 'x');
  struct Case { std::string expect; CString got; };
  CString a, b, c, d, e, f;
  a.Format("[%s]", big.c_str());
  b.Format("%*d|%-*.*s|", 300, 7, 40, 3, "abcdef");
  c.Format("%f", 1e300);
  d.Format("%s %lld %#x %c %%", static_cast<const char*>(nullptr), 1234567890123LL, 255, 'z');
  e.Format("%.2e %g %p", 12345.678, 0.5, static_cast<void*>(nullptr));
  f.Format("%zu %hd %lu %Lf", static_cast<size_t>(9), static_cast<short>(-3), 5ul, static_cast<long double>(2.5));
  char expect[6000];
  snprintf(expect, sizeof expect, "[%s]", big.c_str());
  EXPECT_STREQ(a, expect);
  snprintf(expect, sizeof expect, "%*d|%-*.*s|", 300, 7, 40, 3, "abcdef");
  EXPECT_STREQ(b, expect);
  snprintf(expect, sizeof expect, "%f", 1e300);
  EXPECT_STREQ(c, expect);
  EXPECT_STREQ(d, "(null) 1234567890123 0xff z %");
  snprintf(expect, sizeof expect, "%.2e %g %p", 12345.678, 0.5, static_cast<void*>(nullptr));
  EXPECT_STREQ(e, expect);
  EXPECT_STREQ(f, "9 -3 5 2.500000");
  EXPECT_GE(a.GetAllocLength(), a.GetLength());

  CString self("abc");
  self.Format("%s-%s", static_cast<const char*>(self), static_cast<const char*>(self));
  EXPECT_STREQ(self, "abc-abc");
  CString zero;
  zero.Format("ab%cde", 0);
  EXPECT_EQ(zero.GetLength(), 2);  // the text ends at the first terminator
}

}  // namespace
