// Fuzzes the call layer against a driver that answers anything: the system
// call result, the driver status, the returned signature, the BIOS status and
// error code, and the bytes of the data output all come from the input. The
// layer must stay inside its own and the caller's buffers and free everything.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "ArdoTrace.h"
#include "kebbapi_inter.h"

namespace {

const uint8_t* g_in = nullptr;
size_t g_left = 0;

uint8_t Take8() {
  if (!g_left) return 0;
  --g_left;
  return *g_in++;
}
uint32_t Take32() { return Take8() | Take8() << 8 | Take8() << 16 | uint32_t(Take8()) << 24; }

}  // namespace

// Stands in for the driver: every request of the layer ends here.
extern "C" int ioctl(int, unsigned long request, ...) {
  va_list ap;
  va_start(ap, request);
  auto* rec = static_cast<tagDrvBapiControl*>(va_arg(ap, void*));
  va_end(ap);
  if (request != BIOS_API_IOC_CALL || !rec) return -1;
  uint8_t how = Take8();
  if (how & 1) return -1;
  uint32_t drv = (how & 2) ? Take32() : 0;
  std::memcpy(&rec->ulDrvStatus, &drv, 4);
  auto* out = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(rec->pCtrlOut));
  if (how & 4) {
    uint32_t sig = Take32();
    std::memcpy(out + 2, &sig, 4);
  }
  out[10] = (how & 8) ? Take8() : 0;
  out[11] = (how & 16) ? Take8() : 0;
  out[12] = (how & 16) ? Take8() : 0;
  auto* data = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(rec->pDataOut));
  for (uint32_t i = 0; data && i < rec->ulDataOutLength && g_left; ++i) data[i] = Take8();
  return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Trace on, into nothing, so that every trace line is formatted as well.
  char path[] = "/tmp/fuzz-calls-XXXXXX";
  int fd = mkstemp(path);
  if (fd >= 0) {
    const char text[] = "[TRACE_SETTINGS]\nTrace=1\nTraceLevel=30\nTraceFile=/dev/null\n";
    ssize_t n = write(fd, text, sizeof text - 1);
    (void)n;
    close(fd);
    g_trc.Enable_By_Profile(path, true);
    unlink(path);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  uint8_t which = data[0] % 25;
  uint16_t arg = uint16_t(data[1] | data[2] << 8);
  g_in = data + 3;
  g_left = size - 3;
  const int fd = 3;
  std::vector<uint8_t> buf(70000, 0x5A);
  ULONG a = 0, b = 0;
  USHORT us = 0;
  BootOrderList list;
  e_TxTStates txt;
  tagBiosApiDormixGetDeviceInfo dev;
  tagBiosApiDormixManageabilityInterval iv{9, {1, 2, 3, 4, 5, 6, 7}};
  switch (which) {
    case 0: DRV_GetImageInfo(fd, &a); break;
    case 1: DRV_RetrieveImage(fd, buf.data(), arg); break;
    case 2: DRV_UpdateSector(fd, buf.data(), arg, arg, short(arg)); break;
    case 3: DRV_GetNvramImageInfo(fd, &a); break;
    case 4: DRV_RetrieveNvramImage(fd, buf.data(), arg, arg); break;
    case 5: DRV_UpdateNvMedia(fd, buf.data(), arg, arg); break;
    case 6: DRV_UpdateNvChksum(fd, arg); break;
    case 7: DRV_NvramUpdateCheckumOfMedia(fd, arg); break;
    case 8: DRV_NvramGetTokenInfo(fd, arg, buf.data()); break;
    case 9: DRV_NvramReadTokenBitArray(fd, arg, &us); break;
    case 10: DRV_NvramReadTokenByteString(fd, arg, buf.data(), arg); break;
    case 11: DRV_NvramWriteTokenBitArray(fd, arg, arg); break;
    case 12: DRV_LoadNVRamDefaults(fd, arg); break;
    case 13: DRV_GetNVETable(fd, buf.data(), arg); break;
    case 14: DRV_GetBootOrder(fd, BYTE(arg), &list); break;
    case 15: {
      BootOrderList l(arg % 600, {1, 2});
      DRV_SetBootOrder(fd, BYTE(arg), l);
      break;
    }
    case 16: DRV_GetTXTStatus(fd, txt); break;
    case 17: DRV_GetDormixDeviceInformation(fd, &dev); break;
    case 18: DRV_GetDormixManageabilityIntervall(fd, arg, &iv); break;
    case 19: DRV_SetDormixManageabilityIntervall(fd, arg, &iv); break;
    case 20: DRV_GetOemDataInfo(fd, &a, &b); break;
    case 21: DRV_OemDataRead(fd, buf.data(), arg); break;
    case 22: DRV_OemDataWrite(fd, buf.data(), arg, arg); break;
    case 23: DRV_FlashInfoGet(fd, arg, arg, &a, reinterpret_cast<tagFlashInfoItem*>(buf.data())); break;
    case 24: DRV_CheckFunction(fd, arg); break;
  }
  // At most 17 boot order entries fit the answer buffer.
  if (list.size() > 17) abort();
  return 0;
}
