// Calendar seconds (CTime), signed spans of seconds (CTimeSpan) and a seconds
// deadline (CTimer). All calendar fields are in local time.
#pragma once

#include <ctime>

class CTimeSpan {
 public:
  CTimeSpan() : m_timeSpan(0) {}
  CTimeSpan(long seconds) : m_timeSpan(seconds) {}
  CTimeSpan(long days, int hours, int minutes, int seconds)
      : m_timeSpan(seconds + 60L * (minutes + 60L * (hours + 24L * days))) {}
  CTimeSpan(const CTimeSpan& other) = default;
  CTimeSpan& operator=(const CTimeSpan& other) = default;

  long GetDays() const { return m_timeSpan / 86400; }
  long GetTotalHours() const { return m_timeSpan / 3600; }
  int GetHours() const { return static_cast<int>(GetTotalHours() - 24 * GetDays()); }
  long GetTotalMinutes() const { return m_timeSpan / 60; }
  int GetMinutes() const { return static_cast<int>(GetTotalMinutes() - 60 * GetTotalHours()); }
  long GetTotalSeconds() const { return m_timeSpan; }
  int GetSeconds() const { return static_cast<int>(GetTotalSeconds() - 60 * GetTotalMinutes()); }

  CTimeSpan operator+(CTimeSpan other) const { return CTimeSpan(m_timeSpan + other.m_timeSpan); }
  CTimeSpan operator-(CTimeSpan other) const { return CTimeSpan(m_timeSpan - other.m_timeSpan); }
  const CTimeSpan& operator+=(CTimeSpan other) { m_timeSpan += other.m_timeSpan; return *this; }
  const CTimeSpan& operator-=(CTimeSpan other) { m_timeSpan -= other.m_timeSpan; return *this; }
  bool operator==(CTimeSpan other) const { return m_timeSpan == other.m_timeSpan; }
  bool operator!=(CTimeSpan other) const { return m_timeSpan != other.m_timeSpan; }
  bool operator<(CTimeSpan other) const { return m_timeSpan < other.m_timeSpan; }
  bool operator>(CTimeSpan other) const { return m_timeSpan > other.m_timeSpan; }
  bool operator<=(CTimeSpan other) const { return m_timeSpan <= other.m_timeSpan; }
  bool operator>=(CTimeSpan other) const { return m_timeSpan >= other.m_timeSpan; }

  // %D days, %H %M %S two-digit hours, minutes, seconds; "%x" gives x.
  // The result lies in a static 128-byte buffer overwritten by each call.
  const char* Format(const char* fmt) const;

 private:
  long m_timeSpan;
};

class CTime {
 public:
  CTime() : m_time(0) {}
  CTime(time_t t) : m_time(t) {}
  CTime(const CTime& other) = default;
  CTime(int year, int month, int day, int hour, int minute, int second);
  CTime(unsigned short dosDate, unsigned short dosTime);
  CTime& operator=(const CTime& other) = default;
  const CTime& operator=(time_t t) { m_time = t; return *this; }

  static CTime GetCurrentTime();
  time_t GetTime() const { return m_time; }
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // Monday 0 .. Sunday 6
  int GetDayOfYear() const;
  // Fill *out, or with a null argument return the system's static result.
  struct tm* GetLocalTm(struct tm* out) const;
  struct tm* GetGmtTm(struct tm* out) const;

  // strftime into one static 128-byte buffer each; empty when it does not fit.
  const char* Format(const char* fmt) const;
  const char* FormatGmt(const char* fmt) const;

  CTimeSpan operator-(CTime other) const { return CTimeSpan(static_cast<long>(m_time - other.m_time)); }
  CTime operator-(CTimeSpan span) const { return CTime(m_time - span.GetTotalSeconds()); }
  CTime operator+(CTimeSpan span) const { return CTime(m_time + span.GetTotalSeconds()); }
  const CTime& operator+=(CTimeSpan span) { m_time += span.GetTotalSeconds(); return *this; }
  const CTime& operator-=(CTimeSpan span) { m_time -= span.GetTotalSeconds(); return *this; }
  bool operator==(CTime other) const { return m_time == other.m_time; }
  bool operator!=(CTime other) const { return m_time != other.m_time; }
  bool operator<(CTime other) const { return m_time < other.m_time; }
  bool operator>(CTime other) const { return m_time > other.m_time; }
  bool operator<=(CTime other) const { return m_time <= other.m_time; }
  bool operator>=(CTime other) const { return m_time >= other.m_time; }

 private:
  time_t m_time;
};

class CTimer {
 public:
  CTimer() : m_tNow(0), m_tEnd(0) {}
  void Set(int seconds);
  // Seconds left to the deadline, 0 once it has passed.
  int togo();

 private:
  time_t m_tNow;
  time_t m_tEnd;
};
