// Scalar types shared by the libraries' interfaces.
#pragma once

#include <cstdint>

typedef short BOOL;            // 16-bit signed truth value
typedef unsigned short USHORT;
typedef uint32_t ULONG;
typedef unsigned char UCHAR;
typedef unsigned char BYTE;
typedef unsigned int UINT;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
