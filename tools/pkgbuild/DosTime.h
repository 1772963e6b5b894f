#pragma once
#include <cstdint>
#include <ctime>
#include <string>

// DOS date-time of a moment in local time: high 16 bits date, low 16 bits time.
// Moments before 1980 or after 2107 are clamped to the representable range.
uint32_t ToDosDateTime(std::time_t t);
// "YYYY-MM-DD hh:mm:ss" of a DOS date-time.
std::string DosDateTimeText(uint32_t dos);
