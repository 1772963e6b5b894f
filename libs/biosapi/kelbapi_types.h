// Records that cross the BIOS API library's boundary unchanged between the
// caller and the BIOS; the library only knows their sizes.
#pragma once

#include <cstdint>
#include <list>
#include <utility>

#pragma pack(push, 1)
// Power-off management device information (10 bytes, the BIOS's own layout).
struct tagBiosApiDormixGetDeviceInfo {
  uint8_t aucData[10];
};

// One manageability interval: length word (9), then 7 bytes of interval data.
struct tagBiosApiDormixManageabilityInterval {
  uint16_t usLength;
  uint8_t aucInterval[7];
};

// One item of the flash-info service; the service fills 264 bytes of them.
struct tagFlashInfoItem {
  uint8_t aucData[24];
};

// Token description returned by the token-info service (9 bytes).
struct tokenInfo {
  uint16_t usBufferLength;
  uint8_t ucMediaType;
  uint8_t ucByteString;
  uint8_t ucChecksummed;
  uint8_t ucCrcChecksum;
  uint16_t usStartingBitPos;
  uint8_t ucTokenWidth;
};
#pragma pack(pop)

static_assert(sizeof(tagBiosApiDormixGetDeviceInfo) == 10, "device record is 10 bytes");
static_assert(sizeof(tagBiosApiDormixManageabilityInterval) == 9, "interval record is 9 bytes");
static_assert(sizeof(tokenInfo) == 9, "token information is 9 bytes");

// TXT state: 0 when the BIOS's TXT status word is 0, 1 otherwise.
enum e_TxTStates : uint32_t { TXT_STATE_OFF = 0, TXT_STATE_ON = 1 };
static_assert(sizeof(e_TxTStates) == 4, "TXT state is a 32-bit enumeration");

// A boot order: pairs of bytes in boot order.
typedef std::list<std::pair<unsigned char, unsigned char>> BootOrderList;

// Bytes of flash-info items delivered by one call.
constexpr uint32_t kFlashInfoBytes = 264;
