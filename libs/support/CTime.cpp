#include "CTime.h"

#include <cstdio>
#include <cstring>

namespace {

time_t FromLocal(int year, int month, int day, int hour, int minute, int second) {
  struct tm t;
  memset(&t, 0, sizeof t);
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return mktime(&t);
}

struct tm Local(time_t t) {
  struct tm out;
  if (!localtime_r(&t, &out)) memset(&out, 0, sizeof out);
  return out;
}

}  // namespace

CTime::CTime(int year, int month, int day, int hour, int minute, int second)
    : m_time(FromLocal(year, month, day, hour, minute, second)) {}

CTime::CTime(unsigned short dosDate, unsigned short dosTime)
    : m_time(FromLocal(((dosDate >> 9) & 0x7f) + 1980, (dosDate >> 5) & 0x0f, dosDate & 0x1f,
                       (dosTime >> 11) & 0x1f, (dosTime >> 5) & 0x3f, (dosTime & 0x1f) * 2)) {}

CTime CTime::GetCurrentTime() { return CTime(time(nullptr)); }

int CTime::GetYear() const { return Local(m_time).tm_year + 1900; }
int CTime::GetMonth() const { return Local(m_time).tm_mon + 1; }
int CTime::GetDay() const { return Local(m_time).tm_mday; }
int CTime::GetHour() const { return Local(m_time).tm_hour; }
int CTime::GetMinute() const { return Local(m_time).tm_min; }
int CTime::GetSecond() const { return Local(m_time).tm_sec; }
int CTime::GetDayOfWeek() const { return (Local(m_time).tm_wday + 6) % 7; }
int CTime::GetDayOfYear() const { return Local(m_time).tm_yday + 1; }

struct tm* CTime::GetLocalTm(struct tm* out) const {
  if (out) {
    *out = Local(m_time);
    return out;
  }
  return localtime(&m_time);
}

struct tm* CTime::GetGmtTm(struct tm* out) const {
  if (out) {
    if (!gmtime_r(&m_time, out)) memset(out, 0, sizeof *out);
    return out;
  }
  return gmtime(&m_time);
}

const char* CTime::Format(const char* fmt) const {
  static char buffer[128];
  struct tm t = Local(m_time);
  if (!fmt || strftime(buffer, sizeof buffer, fmt, &t) == 0) buffer[0] = '\0';
  return buffer;
}

const char* CTime::FormatGmt(const char* fmt) const {
  static char buffer[128];
  struct tm t;
  if (!gmtime_r(&m_time, &t)) memset(&t, 0, sizeof t);
  if (!fmt || strftime(buffer, sizeof buffer, fmt, &t) == 0) buffer[0] = '\0';
  return buffer;
}

const char* CTimeSpan::Format(const char* fmt) const {
  static char buffer[128];
  size_t used = 0;
  // Appends as much of the text as fits; the buffer always stays terminated.
  auto append = [&](const char* text) {
    size_t n = strlen(text);
    if (n > sizeof buffer - 1 - used) n = sizeof buffer - 1 - used;
    memcpy(buffer + used, text, n);
    used += n;
  };
  for (const char* p = fmt ? fmt : ""; *p; ++p) {
    char item[32];
    if (*p != '%') {
      item[0] = *p;
      item[1] = '\0';
    } else {
      ++p;
      switch (*p) {
        case 'D': snprintf(item, sizeof item, "%ld", GetDays()); break;
        case 'H': snprintf(item, sizeof item, "%02d", GetHours()); break;
        case 'M': snprintf(item, sizeof item, "%02d", GetMinutes()); break;
        case 'S': snprintf(item, sizeof item, "%02d", GetSeconds()); break;
        case '\0': --p; item[0] = '\0'; break;
        default: item[0] = *p; item[1] = '\0'; break;
      }
    }
    append(item);
  }
  buffer[used] = '\0';
  return buffer;
}

void CTimer::Set(int seconds) {
  m_tNow = time(nullptr);
  m_tEnd = m_tNow + seconds;
}

int CTimer::togo() {
  m_tNow = time(nullptr);
  return m_tEnd > m_tNow ? static_cast<int>(m_tEnd - m_tNow) : 0;
}
