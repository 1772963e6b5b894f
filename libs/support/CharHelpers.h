// Smallest character and buffer helpers: bounded copy, trimming, 8-bit sum,
// hexadecimal digits, in-place upper-casing. No state, no trace output.
#pragma once

void StrSaveCopy(char* dst, const char* src, int size);
void StrTrimRight(char* s, char c);
unsigned char MscChkSumUChar(char* data, int len);
short MscIsHexDigit(char c);
int MscHexAscToInt(const char* s);
void MscStrUpr(char* s);
