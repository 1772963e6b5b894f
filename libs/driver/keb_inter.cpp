#include "keb_inter.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

#include "ArdoTrace.h"

namespace {

struct StatusText {
  unsigned short code;
  const char* text;
};

// Searched in this order; code 12 has no text of its own.
const StatusText kStatusTexts[] = {
    {0, "Ready"},
    {1, "General error!"},
    {2, "Device not ready!"},
    {3, "Sector not open!"},
    {4, "Sector already open!"},
    {5, "Sector still erasing!"},
    {6, "Sector already in use!"},
    {7, "Sector is write protected!"},
    {8, "Unknown device type!"},
    {9, "Unknown system board!"},
    {10, "Timeout!"},
    {11, "DMI data error!"},
    {13, "insufficient resources!"},
    {14, "Erasing before writing required!"},
    {15, "Access denied!"},
    {16, "Could not connect to VRXFLASH driver!"},
    {17, "Driver not loaded"},
    {18, "Invalid driver version"},
    {19, "The BIOS API is missing or corrupted."},
    {20, "Error while locking required memory range."},
    {21, "The service can't be opened"},
    {22, "The service manager can't be opened."},
    {23, "Function does require Windows NT"},
    {24, "The multiprocessor table is missing or corrupted"},
    {25, "Flash device is write protected"},
    {26, "Invalid parameter for I/O control"},
};

}  // namespace

uint16_t DRV_Connect(const char* pszOpenString, int* piDriver, uint32_t* pulVersion) {
  *piDriver = -1;
  KEB_TRACE(TRC_INFO, TRC_ENTER, "", "pszOpenString='%s'", pszOpenString ? pszOpenString : "");
  uint16_t usStatus = 0;
  int fd = pszOpenString ? open(pszOpenString, O_RDWR | O_CLOEXEC) : -1;
  if (fd < 0) {
    KEB_TRACE(TRC_ERROR, TRC_INTERNAL, "Open error", "pszOpenString='%s' error=%d",
              pszOpenString ? pszOpenString : "", fd);
    usStatus = 8;
  } else {
    usStatus = DRV_GetVersion(fd, pulVersion);
    KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "after DRV_GetVersion", "result=%d", usStatus);
    if (usStatus != 0) {
      KEB_TRACE(TRC_ERROR, TRC_INTERNAL, "error on getting version", "usStatus=%d", usStatus);
      DRV_Disconnect(fd);
    } else {
      *piDriver = fd;
    }
  }
  if (usStatus != 0) {
    *piDriver = -1;
    KEB_TRACE(TRC_ERROR, TRC_INTERNAL, "Driver could not be loaded", "pszOpenString='%s', usStatus=%d",
              pszOpenString ? pszOpenString : "", usStatus);
  }
  KEB_TRACE(TRC_INFO, TRC_LEAVE, "", "usStatus=%d, *piDriver=%d", usStatus, *piDriver);
  return usStatus;
}

uint16_t DRV_GetVersion(int iDriver, uint32_t* pulVersion) {
  KEB_TRACE(TRC_INFO, TRC_ENTER, "", "iDriver=%d", iDriver);
  uint32_t ulVersion = 0;
  if (pulVersion) *pulVersion = 0;
  tagDrvVersion ver;
  std::memset(&ver, 0, sizeof ver);
  uint16_t usStatus = 0;
  if (iDriver < 0) {
    KEB_TRACE(TRC_ERROR, TRC_INTERNAL, "Invalid driver handle", "iDriver=%d", iDriver);
    usStatus = 1;
  } else {
    KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "", "doing the ioctl, with CtlBlk: 0x%p", static_cast<void*>(&ver));
    int nRet = ioctl(iDriver, IOCTL_DRV_GET_VERSION, &ver);
    if (nRet < 0) {
      KEB_TRACE(TRC_ERROR, TRC_INTERNAL, "ioctl went wrong", "nRet=%d", nRet);
      usStatus = 1;
    } else {
      ulVersion = ver.ulVersion;
      if (pulVersion) *pulVersion = ulVersion;
      KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "ioctl done successfully", "version returned=%lu",
                static_cast<unsigned long>(ulVersion));
    }
  }
  KEB_TRACE(TRC_INFO, TRC_LEAVE, "", "ret=%d, ulVersion=%lu", usStatus, static_cast<unsigned long>(ulVersion));
  return usStatus;
}

uint16_t DRV_Disconnect(int iDriver) {
  KEB_TRACE(TRC_INFO, TRC_ENTER, "", "iDriver=%d", iDriver);
  close(iDriver);  // a handle of -1 simply fails
  KEB_TRACE(TRC_INFO, TRC_LEAVE, "", "%d", 0);
  return 0;
}

uint16_t DRV_BiosDataRead(int iDriver, uint32_t ulAddress, uint8_t* pucData, uint32_t ulSzData) {
  // The address is printed as a number: a zero flag on %p is undefined.
  KEB_TRACE(TRC_INFO, TRC_ENTER, "", "iDriver=%d, ulAddress=%lu, pucData=0x%08lx, ulSzData=%lu", iDriver,
            static_cast<unsigned long>(ulAddress), static_cast<unsigned long>(reinterpret_cast<uintptr_t>(pucData)),
            static_cast<unsigned long>(ulSzData));
  tagDrvBiosDataRead req;
  std::memset(&req, 0, sizeof req);
  uint16_t usStatus = 1;
  if (iDriver >= 0) {
    req.pucData = reinterpret_cast<uintptr_t>(pucData);
    req.ulAddress = ulAddress;
    req.ulSzData = ulSzData;
    KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "", "doing the ioctl with params: __u64: %d, ushort: %d",
              static_cast<int>(sizeof(uint64_t)), static_cast<int>(sizeof(uint16_t)));
    int nRet = ioctl(iDriver, IOCTL_DRV_BIOS_DATA_READ, &req);
    if (nRet < 0) {
      KEB_TRACE(TRC_ERROR, TRC_INTERNAL, "IOCTL_DRV_BIOS_DATA_READ failed", "%s", "");
      usStatus = 1;
    } else {
      usStatus = req.usStatus;
    }
  }
  KEB_TRACE(TRC_INFO, TRC_LEAVE, "", "usStatus=%d", usStatus);
  return usStatus;
}

const char* DRV_Status2Str(unsigned short usStatus) {
  for (const StatusText& s : kStatusTexts)
    if (s.code == usStatus) return s.text;
  return "Unknown error";
}
