#include "DosTime.h"

#include <cstdio>

uint32_t ToDosDateTime(std::time_t t) {
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return (0u << 25) | (1u << 21) | (1u << 16);
    int year = tm.tm_year + 1900;
    if (year < 1980) return (1u << 21) | (1u << 16);  // 1980-01-01 00:00:00
    if (year > 2107) return (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
    const uint32_t date = uint32_t(year - 1980) << 9 | uint32_t(tm.tm_mon + 1) << 5 | uint32_t(tm.tm_mday);
    const uint32_t time = uint32_t(tm.tm_hour) << 11 | uint32_t(tm.tm_min) << 5 | uint32_t(tm.tm_sec / 2);
    return date << 16 | time;
}

std::string DosDateTimeText(uint32_t dos) {
    const uint32_t date = dos >> 16, time = dos & 0xFFFF;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + (date >> 9), (date >> 5) & 15,
                  date & 31, time >> 11, (time >> 5) & 63, (time & 31) * 2);
    return buf;
}
