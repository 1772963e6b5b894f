#include <gtest/gtest.h>

#include <cstring>

#include "CTime.h"

namespace {

TEST(CTime, CalendarFieldsInLocalTime) {
  CTime t(2014, 7, 31, 8, 10, 35);
  EXPECT_EQ(t.GetYear(), 2014);
  EXPECT_EQ(t.GetMonth(), 7);
  EXPECT_EQ(t.GetDay(), 31);
  EXPECT_EQ(t.GetHour(), 8);
  EXPECT_EQ(t.GetMinute(), 10);
  EXPECT_EQ(t.GetSecond(), 35);
  EXPECT_EQ(t.GetDayOfWeek(), 3);  // Thursday, counting from Monday 0
  EXPECT_EQ(t.GetDayOfYear(), 212);
  EXPECT_EQ(CTime(2014, 8, 3, 12, 0, 0).GetDayOfWeek(), 6);  // Sunday
  EXPECT_STREQ(t.Format("%Y-%m-%d %H:%M:%S"), "2014-07-31 08:10:35");
  struct tm parts;
  EXPECT_EQ(t.GetLocalTm(&parts), &parts);
  EXPECT_EQ(parts.tm_mon, 6);
}

TEST(CTime, DosDateAndTime) {
  // 2009-03-15 14:25:42: date (29 << 9) | (3 << 5) | 15, time (14 << 11) | (25 << 5) | 21
  CTime t(static_cast<unsigned short>((29 << 9) | (3 << 5) | 15),
          static_cast<unsigned short>((14 << 11) | (25 << 5) | 21));
  EXPECT_EQ(t, CTime(2009, 3, 15, 14, 25, 42));
}

TEST(CTime, FormatThatDoesNotFitGivesEmptyText) {
  CTime t(2014, 7, 31, 8, 10, 35);
  char fmt[200];
  memset(fmt, 'A', sizeof fmt - 1);
  fmt[sizeof fmt - 1] = '\0';
  EXPECT_STREQ(t.Format(fmt), "");
  EXPECT_STREQ(CTime(static_cast<time_t>(0)).FormatGmt("%Y%m%d %H"), "19700101 00");
}

TEST(CTime, ArithmeticWithSpans) {
  CTime a(2014, 7, 31, 8, 10, 35);
  CTime b = a + CTimeSpan(1, 0, 0, 5);
  EXPECT_EQ((b - a).GetTotalSeconds(), 86405);
  EXPECT_TRUE(b > a && a < b && a != b && a <= a && b >= a);
  b -= CTimeSpan(5);
  EXPECT_EQ(b - CTimeSpan(86400), a);
  EXPECT_EQ((a - b).GetTotalSeconds(), -86400);
}

TEST(CTimeSpan, PartsAndFormat) {
  CTimeSpan s(1, 2, 3, 4);
  EXPECT_EQ(s.GetDays(), 1);
  EXPECT_EQ(s.GetHours(), 2);
  EXPECT_EQ(s.GetMinutes(), 3);
  EXPECT_EQ(s.GetSeconds(), 4);
  EXPECT_EQ(s.GetTotalMinutes(), 1563);
  EXPECT_STREQ(s.Format("%D %H:%M:%S"), "1 02:03:04");
  EXPECT_STREQ(s.Format("100%% %q"), "100% q");
  char fmt[400];
  for (int i = 0; i < 199; ++i) fmt[2 * i] = '%', fmt[2 * i + 1] = 'D';
  fmt[398] = '\0';
  EXPECT_EQ(strlen(s.Format(fmt)), 127u);  // cut at the static buffer, never beyond
  CTimeSpan t = s + CTimeSpan(10);
  t -= CTimeSpan(4);
  EXPECT_EQ(t.GetTotalSeconds(), s.GetTotalSeconds() + 6);
  EXPECT_TRUE(t > s);
}

TEST(CTimer, CountsDownToZero) {
  CTimer timer;
  timer.Set(5);
  int left = timer.togo();
  EXPECT_LE(left, 5);
  EXPECT_GE(left, 4);
  timer.Set(-3);
  EXPECT_EQ(timer.togo(), 0);
}

}  // namespace
