// Access to the two kernel drivers shared by both libraries: connect, driver
// version, disconnect, reading the BIOS memory area, and driver status texts.
#pragma once

#include <cstdint>

// Request codes on the driver devices.
#define IOCTL_DRV_GET_VERSION 0x4204
#define IOCTL_DRV_BIOS_DATA_READ 0x420E

#pragma pack(push, 1)
// Argument of the version request.
struct tagDrvVersion {
  uint16_t usStatus;   // zero on entry; not read back
  uint32_t ulVersion;  // written by the driver
};

// Argument of the BIOS data read request.
struct tagDrvBiosDataRead {
  uint64_t pucData;    // address of the caller's buffer
  uint32_t ulAddress;  // physical start address
  uint32_t ulSzData;   // number of bytes
  uint16_t usStatus;   // written by the driver; 0 = success
};
#pragma pack(pop)

static_assert(sizeof(tagDrvVersion) == 6, "tagDrvVersion is 6 bytes on the wire");
static_assert(sizeof(tagDrvBiosDataRead) == 18, "tagDrvBiosDataRead is 18 bytes on the wire");

// Opens the device read-write and asks its version. On failure *piDriver is -1
// and the result is 8 (cannot open) or the status of DRV_GetVersion.
uint16_t DRV_Connect(const char* pszOpenString, int* piDriver, uint32_t* pulVersion);

// 0 and the version, or 1 (invalid handle, failed request) with *pulVersion = 0.
uint16_t DRV_GetVersion(int iDriver, uint32_t* pulVersion);

// Closes the handle; always 0.
uint16_t DRV_Disconnect(int iDriver);

// Reads ulSzData bytes of physical BIOS memory at ulAddress into pucData.
// Returns the driver's status, or 1 for an invalid handle or a failed request.
uint16_t DRV_BiosDataRead(int iDriver, uint32_t ulAddress, uint8_t* pucData, uint32_t ulSzData);

// Static text of a driver status.
const char* DRV_Status2Str(unsigned short usStatus);
