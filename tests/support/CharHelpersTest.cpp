#include <gtest/gtest.h>

#include <cstring>

#include "CharHelpers.h"

namespace {

TEST(CharHelpers, StrSaveCopyAlwaysTerminatesWithinSize) {
  char buf[8];
  memset(buf, '#', sizeof buf);
  StrSaveCopy(buf, "abcdef", 4);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(buf[4], '#');
  memset(buf, '#', sizeof buf);
  StrSaveCopy(buf, "ab", 4);
  EXPECT_STREQ(buf, "ab");
  EXPECT_EQ(buf[3], '#');  // nothing behind the terminator is touched
  StrSaveCopy(buf, "abc", 1);
  EXPECT_STREQ(buf, "");
  buf[0] = 'k';
  StrSaveCopy(buf, "abc", 0);  // no room at all: nothing written
  EXPECT_EQ(buf[0], 'k');
}

TEST(CharHelpers, StrTrimRight) {
  struct Case { const char* in; char c; const char* out; } cases[] = {
      {"path///", '/', "path"}, {"///", '/', ""}, {"", '/', ""}, {"a/b", '/', "a/b"}};
  for (const Case& c : cases) {
    char buf[16];
    strcpy(buf, c.in);
    StrTrimRight(buf, c.c);
    EXPECT_STREQ(buf, c.out) << c.in;
  }
}

TEST(CharHelpers, ChecksumAndHex) {
  char twice[] = {static_cast<char>(0x80), static_cast<char>(0x80)};
  EXPECT_EQ(MscChkSumUChar(twice, 2), 0);
  char data[] = {1, 2, 3};
  EXPECT_EQ(MscChkSumUChar(data, 3), 6);
  EXPECT_EQ(MscChkSumUChar(data, 0), 0);
  EXPECT_EQ(MscChkSumUChar(data, -4), 0);

  struct Case { const char* in; int value; } cases[] = {
      {"1aF", 431}, {"12g4", 18}, {"0x10", 0}, {"", 0}, {"zz", 0}, {"FFFFFFFF", -1}, {"100000001", 1}};
  for (const Case& c : cases) EXPECT_EQ(MscHexAscToInt(c.in), c.value) << c.in;

  for (char c : {'0', '9', 'a', 'f', 'A', 'F'}) EXPECT_EQ(MscIsHexDigit(c), 1) << c;
  for (char c : {'G', 'g', ' ', '\0', '/', ':'}) EXPECT_EQ(MscIsHexDigit(c), 0) << c;

  char text[] = "mixed Case 42 \xe4";
  MscStrUpr(text);
  EXPECT_STREQ(text, "MIXED CASE 42 \xe4");
}

}  // namespace
