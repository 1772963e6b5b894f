// The BIOS services of the BIOS API library, one driver request each.
#include "kebbapi_inter.h"

#include <cstdlib>
#include <cstring>

#include "ArdoTrace.h"
#include "bapi_request.h"
#include "kelcore.h"

using kebbapi::CBapiRequest;
using kebbapi::kCleared;
using kebbapi::kClearedWithLength;
using kebbapi::kNotCleared;
using kebbapi::Load;
using kebbapi::Store;

namespace {

constexpr uint16_t kFail = 1;
constexpr uint16_t kNvMediaAll = 255;
constexpr uint32_t kMaxAlloc16 = 0xFFFF;

unsigned long Addr(const void* p) { return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(p)); }

// The Enter/Leave pair of the services that trace through OutTV2 lines.
#define TV2_ENTER(...) KEB_TRACE(TRC_INFO, TRC_ENTER, "", __VA_ARGS__)
#define TV2_LEAVE(status) KEB_TRACE(TRC_INFO, TRC_LEAVE, "", "usStatus=%d", (status))
#define TV2_FAIL(text) KEB_TRACE(TRC_ERROR, TRC_INTERNAL, text, "%s", "")

}  // namespace

// ---------------------------------------------------------------- BIOS image

uint16_t DRV_GetImageInfo(int iDriver, ULONG* pulImageSize) {
  g_trc.Enter(2, "[DRV_GetImageInfo] - (%d, 0x%8.8lx) entered\n", iDriver, Addr(pulImageSize));
  uint16_t ret = kFail;
  if (iDriver >= 0 && pulImageSize) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXBS, 0, 1024, 1024, 0) && rq.OwnDataOut(32, kClearedWithLength)) {
      rq.TraceBuffers("DRV_GetImageInfo", false, true);
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_GetImageInfo] - Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleD();
        if (ret == 0) {
          g_trc.Out(TRC_VERBOSE, "[DRV_GetImageInfo] - pBsOut (size: %d)\n", 32);
          g_trc.OutBinary(TRC_VERBOSE, rq.DataOut(), 32, 16, 8, false, nullptr);
          *pulImageSize = Load<uint32_t>(rq.DataOut() + 2);
          g_trc.Out(TRC_VERBOSE, "[DRV_GetImageInfo] - Got Bios Image Size %ld from BAPI\n",
                    static_cast<long>(*pulImageSize));
        }
      }
      g_trc.Out(TRC_VERBOSE, "[DRV_GetImageInfo] - clean up\n");
    }
  }
  g_trc.Leave(2, "[DRV_GetImageInfo] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

uint16_t DRV_RetrieveImage(int iDriver, UCHAR* pucBuffer, ULONG ulSize) {
  g_trc.Enter(2, "[DRV_RetrieveImage](%d, 0x%8.8lx, %d) - entered\n", iDriver, Addr(pucBuffer),
              static_cast<int>(ulSize));
  uint16_t ret = kFail;
  if (iDriver >= 0 && pucBuffer) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXFA, 0, 1024, 1024, 1) && rq.OwnDataIn(6, kClearedWithLength)) {
      rq.CallerDataOut(pucBuffer, ulSize);
      rq.TraceBuffers("DRV_RetrieveImage", false, true);
      if (!rq.Issue(iDriver)) g_trc.Out(TRC_ERROR, "DRV_RetrieveImage: Error on BIOS_API_IOC_CALL\n");
      else ret = rq.RuleD();
    }
  }
  g_trc.Leave(2, "[DRV_RetrieveImage] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

uint16_t DRV_UpdateSector(int iDriver, UCHAR* pucData, ULONG ulSize, ULONG ulSector, short sFlag) {
  g_trc.Enter(2, "[DRV_UpdateSector](%d, 0x%8.8lx, %d, 0x%8.8lx, %d) - entered\n", iDriver, Addr(pucData),
              static_cast<int>(ulSize), static_cast<unsigned long>(ulSector), sFlag);
  uint16_t ret = kFail;
  if (iDriver >= 0 && (pucData || ulSize == 0)) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXFU, 0, 1024, 1024, 1) && rq.OwnDataOut(6, kClearedWithLength)) {
      // Sector number (16 bits) in bytes 6-7, byte 8 zero, bit 0 of the flag in byte 9.
      uint8_t* in = rq.CtrlIn();
      in[BAPI_OFS_SERVICE_CODE] = static_cast<uint8_t>(ulSector & 0xFF);
      in[BAPI_OFS_SERVICE_CODE + 1] = static_cast<uint8_t>((ulSector >> 8) & 0xFF);
      in[BAPI_OFS_SERVICE_CODE + 2] = 0;
      in[BAPI_OFS_SERVICE_CODE + 3] = static_cast<uint8_t>(sFlag & 1);
      rq.CallerDataIn(pucData, ulSize);
      rq.TraceBuffers("DRV_UpdateSector", true, false);
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_UpdateSector] Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleD();
        if (rq.DrvStatus() == 0 && rq.BiosStatus() != BAPI_STATUS_SUCCESS) {
          g_trc.Out(TRC_ERROR, "[DRV_UpdateSector] - Bapi General Status is not BAPI_STATUS_SUCCESS\n");
          g_trc.Out(TRC_ERROR, "[DRV_UpdateSector] - Bapi General Status: %s\n", BapiGeneralStatus2Str(rq.BiosStatus()));
          g_trc.Out(TRC_ERROR, "[DRV_UpdateSector] - Bapi Service Error Code(%x): %s\n", rq.ErrorCode(),
                    BapiSpecificErrorCode2Str(rq.ReturnedSignature(), rq.ErrorCode()));
        }
      }
    }
  }
  g_trc.Leave(2, "[DRV_UpdateSector] - leaving, ret=%d\n", ret);
  return ret;
}

// ---------------------------------------------------------------- NVRAM image

uint16_t DRV_GetNvramImageInfo(int iDriver, ULONG* pulImageSize) {
  g_trc.Enter(2, "[DRV_GetNvramImageInfo](%d, 0x%8.8lx) - entered\n", iDriver, Addr(pulImageSize));
  uint16_t ret = kFail;
  if (iDriver >= 0 && pulImageSize) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXBS, BAPI_SIG_VRXNV, 1024, 1024, 0) && rq.OwnDataOut(32, kClearedWithLength)) {
      rq.TraceBuffers("DRV_GetNvramImageInfo", false, true);
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_GetNvramImageInfo] - Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleC();
        if (ret == 0) {
          *pulImageSize = Load<uint32_t>(rq.DataOut() + 2);
          g_trc.Out(TRC_VERBOSE, "[DRV_GetNvramImageInfo] - Got Nvram Image Size %ld from BAPI\n",
                    static_cast<long>(*pulImageSize));
        }
      }
    }
  }
  g_trc.Leave(2, "[DRV_GetNvramImageInfo] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

uint16_t DRV_RetrieveNvramImage(int iDriver, UCHAR* pucBuffer, ULONG ulSize, USHORT usMedia) {
  g_trc.Enter(2, "[DRV_RetrieveNvramImage] - entered, %d, 0x%8.8lx, %d, 0x%4.4x\n", iDriver, Addr(pucBuffer),
              static_cast<int>(ulSize), usMedia);
  uint16_t ret = kFail;
  if (iDriver >= 0 && pucBuffer) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXNV, 1, 1024, 1024, 1)) {
      Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, usMedia);
      rq.CallerDataOut(pucBuffer, ulSize);
      rq.TraceBuffers("DRV_RetrieveNvramImage", false, true);
      if (!rq.Issue(iDriver)) g_trc.Out(TRC_ERROR, "[DRV_RetrieveNvramImage] - Error on BIOS_API_IOC_CALL\n");
      else ret = rq.RuleA("DRV_RetrieveNvramImage");
    }
  }
  g_trc.Leave(2, "[DRV_RetrieveNvramImage] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

uint16_t DRV_UpdateNvMedia(int iDriver, UCHAR* pucData, ULONG ulSize, USHORT usMedia) {
  g_trc.Enter(2, "[DRV_UpdateNvMedia] - (%d, 0x%8.8lx, %d, 0x%4.4x) - entered\n", iDriver, Addr(pucData),
              static_cast<int>(ulSize), usMedia);
  uint16_t ret = kFail;
  if (iDriver >= 0 && (pucData || ulSize == 0)) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXNV, 2, 1024, 1024, 1) && rq.OwnDataOut(6, kClearedWithLength)) {
      Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, usMedia);
      rq.CallerDataIn(pucData, ulSize);
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "DRV_UpdateNvMedia: Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleB();
        g_trc.Out(TRC_VERBOSE, "[DRV_UpdateNvMedia] - usStatus: 0x%4.4x\n", rq.DrvStatus());
        g_trc.Out(TRC_VERBOSE, "[DRV_UpdateNvMedia] - pCtrlOut->ulServiceSignature: 0x%4.4x\n", rq.ReturnedSignature());
        g_trc.Out(TRC_VERBOSE, "[DRV_UpdateNvMedia] - pCtrlOut->ucStatus: 0x%4.4x\n", rq.BiosStatus());
      }
    }
  }
  g_trc.Leave(2, "[DRV_UpdateNvMedia] - leaving, ret=%d\n", ret);
  return ret;
}

uint16_t DRV_UpdateNvChksum(int iDriver, USHORT usMedia) {
  g_trc.Enter(2, "[DRV_UpdateNvChksum](%d, 0x%4.4x) - entered\n", iDriver, usMedia);
  uint16_t ret = kFail;
  if (iDriver >= 0) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXNV, 8, 1024, 1024, 0) && rq.OwnDataOut(6, kClearedWithLength)) {
      Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, usMedia);
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "DRV_UpdateNvChksum: Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleB();
        if (ret != 0)
          g_trc.Out(TRC_ERROR, "DRV_UpdateNvChksum: Error on BIOS_API_IOC_CALL, BAPI General Status = %d\n",
                    rq.DrvStatus());
      }
    }
  }
  g_trc.Leave(2, "[DRV_UpdateNvChksum] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

uint16_t DRV_NvramUpdateCheckumOfMedia(int iDriver, USHORT usMedia) {
  g_trc.Enter(2, "[DRV_NvramUpdateCheckumOfMedia] - entered, %d, %d\n", iDriver, usMedia);
  uint16_t ret = kFail;
  if (iDriver >= 0) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXNV, 8, 1024, 1024, 0)) {
      Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, usMedia);
      if (!rq.Issue(iDriver)) g_trc.Out(TRC_ERROR, "[DRV_NvramUpdateCheckumOfMedia] - Error on BIOS_API_IOC_CALL\n");
      else ret = rq.RuleA("DRV_NvramUpdateCheckumOfMedia");
    }
  }
  g_trc.Leave(2, "[DRV_NvramUpdateCheckumOfMedia] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

// ---------------------------------------------------------------- NVRAM tokens

uint16_t DRV_NvramGetTokenInfo(int iDriver, ULONG ulToken, UCHAR* pucInfo) {
  g_trc.Enter(2, "[DRV_NvramGetTokenInfo] - entered, %d, %ld\n", iDriver, static_cast<long>(ulToken));
  uint16_t ret = kFail;
  if (iDriver >= 0 && pucInfo) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXNV, 7, 1024, 1024, 0)) {
      Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, static_cast<uint16_t>(ulToken));
      // The caller's record is the data output: cleared, with its length word.
      std::memset(pucInfo, 0, sizeof(tokenInfo));
      Store<uint16_t>(pucInfo, static_cast<uint16_t>(sizeof(tokenInfo)));
      rq.CallerDataOut(pucInfo, sizeof(tokenInfo));
      if (!rq.Issue(iDriver)) g_trc.Out(TRC_ERROR, "[DRV_NvramGetTokenInfo] - Error on BIOS_API_IOC_CALL\n");
      else ret = rq.RuleA("DRV_NvramGetTokenInfo");
    }
  }
  g_trc.Leave(2, "[DRV_NvramGetTokenInfo] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

uint16_t DRV_NvramReadTokenBitArray(int iDriver, ULONG ulToken, USHORT* pusValue) {
  g_trc.Enter(2, "[DRV_NvramReadTokenBitArray] - entered, %d, %ld, %d\n", iDriver, static_cast<long>(ulToken),
              pusValue ? *pusValue : 0);
  uint16_t ret = kFail;
  if (iDriver >= 0 && pusValue) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXNV, 3, 1024, 1024, 0) && rq.OwnDataOut(4, kClearedWithLength)) {
      Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, static_cast<uint16_t>(ulToken));
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_NvramReadTokenBitArray] - Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleA("DRV_NvramReadTokenBitArray");
        if (ret == 0) *pusValue = Load<uint16_t>(rq.DataOut() + 2);
      }
    }
  }
  g_trc.Leave(2, "[DRV_NvramReadTokenBitArray] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

uint16_t DRV_NvramReadTokenByteString(int iDriver, ULONG ulToken, UCHAR* pucBuffer, USHORT usSize) {
  g_trc.Enter(2, "[DRV_NvramReadTokenByteString] - entered, %d, %ld, 0x%8.8lx %d\n", iDriver,
              static_cast<long>(ulToken), Addr(pucBuffer), usSize);
  uint16_t ret = kFail;
  // The data output has the caller's size and starts with its length word, so
  // a size below 3 leaves no room for a single byte of the token.
  if (iDriver >= 0 && pucBuffer && usSize > 2) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXNV, 3, 1024, 1024, 0) && rq.OwnDataOut(usSize, kClearedWithLength)) {
      Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, static_cast<uint16_t>(ulToken));
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_NvramReadTokenByteString] - Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleA("DRV_NvramReadTokenByteString");
        // The caller receives the bytes behind the length word.
        if (ret == 0) std::memcpy(pucBuffer, rq.DataOut() + 2, usSize - 2u);
      }
    }
  }
  g_trc.Leave(2, "[DRV_NvramReadTokenByteString] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

uint16_t DRV_NvramWriteTokenBitArray(int iDriver, ULONG ulToken, USHORT usValue) {
  g_trc.Enter(2, "[DRV_NvramWriteTokenBitArray] - entered, %d, %ld, %d\n", iDriver, static_cast<long>(ulToken),
              usValue);
  uint16_t ret = kFail;
  if (iDriver >= 0) {
    bool reached = false;
    {
      CBapiRequest rq;
      uint8_t* in = nullptr;
      if (rq.Prepare(BAPI_SIG_VRXNV, 4, 1024, 1024, 0) && (in = rq.OwnDataIn(8, kClearedWithLength))) {
        Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, static_cast<uint16_t>(ulToken));
        Store<uint16_t>(in + 2, usValue);
        if (!rq.Issue(iDriver)) {
          g_trc.Out(TRC_ERROR, "[DRV_NvramWriteTokenBitArray] - Error on BIOS_API_IOC_CALL\n");
        } else {
          reached = true;
          ret = rq.RuleA("DRV_NvramWriteTokenBitArray");
        }
      }
    }
    // Once the write reached the driver the checksums are brought up to date,
    // whatever the BIOS answered; that call's own result does not count.
    if (reached) DRV_NvramUpdateCheckumOfMedia(iDriver, kNvMediaAll);
  }
  g_trc.Leave(2, "[DRV_NvramWriteTokenBitArray] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

uint16_t DRV_LoadNVRamDefaults(int iDriver, USHORT usParameter) {
  TV2_ENTER("iDriver=%d", iDriver);
  uint16_t ret = kFail;
  if (iDriver < 0) {
    TV2_FAIL("Supplied driver id not valid!");
  } else {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXNV, 5, 1024, 1024, 0)) {
      Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, usParameter);
      if (!rq.Issue(iDriver)) g_trc.Out(TRC_ERROR, "[DRV_LoadNVRamDefaults] - Error on BIOS_API_IOC_CALL\n");
      else ret = rq.RuleA("DRV_LoadNVRamDefaults");
    }
  }
  TV2_LEAVE(ret);
  return ret;
}

uint16_t DRV_GetNVETable(int iDriver, UCHAR* pucBuffer, ULONG ulSize) {
  TV2_ENTER("iDriver=%d", iDriver);
  uint16_t ret = kFail;
  if (iDriver < 0) {
    TV2_FAIL("Supplied driver id not valid!");
  } else if (!pucBuffer) {
    TV2_FAIL("No receiving buffer supplied.");
  } else if (ulSize == 0 || ulSize > kMaxAlloc16 - BAPI_CTRL_SIZE) {
    // The control length 1024 + size must fit its 16-bit field.
    TV2_FAIL("Table size does not fit the request.");
  } else {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXNV, 18, static_cast<uint16_t>(BAPI_CTRL_SIZE + ulSize), 1024, 0) &&
        rq.OwnDataOut(ulSize, kCleared)) {
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_GetNVETable] - Error on BIOS_API_IOC_CALL\n");
      } else if (rq.DrvStatus() != 0) {
        // The driver failed the request: the output buffers hold nothing of the BIOS.
        KEB_TRACE(TRC_ERROR, TRC_INTERNAL, "driver reported an error", "ulDrvStatus=%d", rq.DrvStatus());
      } else if (!rq.SignatureOk()) {
        KEB_TRACE(TRC_ERROR, TRC_INTERNAL, "pCtrlOut has wrong signature", "expected: 0x%8.8lx, got: 0x%8.8lx",
                  static_cast<unsigned long>(BAPI_SIG_VRXNV), static_cast<unsigned long>(rq.ReturnedSignature()));
      } else if (rq.BiosStatus() != BAPI_STATUS_SUCCESS) {
        KEB_TRACE(TRC_ERROR, TRC_INTERNAL, "BAPI reported error status", "ucStatus=0x%2.2x, usErrorCode=0x%4.4x",
                  rq.BiosStatus(), rq.ErrorCode());
      } else {
        std::memcpy(pucBuffer, rq.DataOut(), ulSize);
        ret = 0;
      }
    }
  }
  TV2_LEAVE(ret);
  return ret;
}

// ---------------------------------------------------------------- boot order

uint16_t DRV_GetBootOrder(int iDriver, BYTE byBootOrderType, BootOrderList* pList) {
  TV2_ENTER("iDriver=%d, byBootOrderType=%d", iDriver, byBootOrderType);
  uint16_t ret = kFail;
  if (iDriver < 0) {
    TV2_FAIL("Supplied driver id not valid!");
  } else if (!pList) {
    TV2_FAIL("Elements list invalid parameter");
  } else {
    CBapiRequest rq;
    const uint32_t outSize = 40;
    if (rq.Prepare(BAPI_SIG_VRXNV, 16, 1064, 1024, 0) && rq.OwnDataIn(6, kCleared) &&
        rq.OwnDataOut(outSize, kClearedWithLength)) {
      Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, byBootOrderType);
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_GetBootOrder] - Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleE(KEB_SIG, false);
        if (ret == 0) {
          const uint8_t* out = rq.DataOut();
          for (uint32_t at = 6; at + 2 <= outSize; at += 2) {
            if (Load<uint16_t>(out + at) == 0xFFFF) break;
            pList->emplace_back(out[at], out[at + 1]);
          }
        }
      }
    }
  }
  TV2_LEAVE(ret);
  return ret;
}

uint16_t DRV_SetBootOrder(int iDriver, BYTE byBootOrderType, BootOrderList& list) {
  TV2_ENTER("iDriver=%d", iDriver);
  uint16_t ret = kFail;
  size_t n = list.size();
  if (iDriver < 0) {
    TV2_FAIL("Supplied driver id not valid!");
  } else if (n == 0) {
    TV2_FAIL("Elements list is empty.");
  } else if (BAPI_CTRL_SIZE + 2 * n + 6 > kMaxAlloc16) {
    // Its length would not fit the 16-bit control length.
    TV2_FAIL("Elements list is too long.");
  } else {
    const uint32_t inSize = static_cast<uint32_t>(2 * n + 6);
    CBapiRequest rq;
    uint8_t* in = nullptr;
    if (rq.Prepare(BAPI_SIG_VRXNV, 17, static_cast<uint16_t>(BAPI_CTRL_SIZE + inSize), 1024, 0) &&
        (in = rq.OwnDataIn(inSize, kClearedWithLength)) && rq.OwnDataOut(6, kCleared)) {
      Store<uint16_t>(rq.CtrlIn() + BAPI_OFS_PARAM, byBootOrderType);
      Store<uint16_t>(in + 2, 1);
      size_t i = 0;
      for (const auto& pair : list) {
        in[4 + 2 * i] = pair.first;
        in[5 + 2 * i] = pair.second;
        ++i;
      }
      Store<uint16_t>(in + 4 + 2 * n, 0xFFFF);
      if (!rq.Issue(iDriver)) g_trc.Out(TRC_ERROR, "[DRV_SetBootOrder] - Error on BIOS_API_IOC_CALL\n");
      else ret = rq.RuleE(KEB_SIG, false);
    }
  }
  TV2_LEAVE(ret);
  return ret;
}

// ---------------------------------------------------------------- TXT and power-off management

uint16_t DRV_GetTXTStatus(int iDriver, e_TxTStates& state) {
  TV2_ENTER("iDriver=%d", iDriver);
  uint16_t ret = kFail;
  if (iDriver < 0) {
    TV2_FAIL("Supplied driver id not valid!");
  } else {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXAC, 0, 1024, 1024, 0) && rq.OwnDataOut(32, kNotCleared)) {
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_GetTXTStatus] - Error on BIOS_API_IOC_CALL\n");
      } else {
        if (g_trc.IsEnabled()) {
          g_trc.OutTVBin2(TRC_VERBOSE, KEB_SIG, TRC_INTERNAL, "BAPI CONTROL INPUT BUFFER", rq.CtrlIn(), 1024, 16, 8, false);
          g_trc.OutTVBin2(TRC_VERBOSE, KEB_SIG, TRC_INTERNAL, "BAPI CONTROL OUTPUT BUFFER", rq.CtrlOut(), 1024, 16, 8, false);
          g_trc.OutTVBin2(TRC_VERBOSE, KEB_SIG, TRC_INTERNAL, "BAPI DATA OUTPUT BUFFER", rq.DataOut(), 32, 16, 8, false);
        }
        ret = rq.RuleA("DRV_GetTXTStatus");
        if (ret == 0) {
          uint16_t usTxTBiosStatus = Load<uint16_t>(rq.DataOut() + 2);
          KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "", "usTxTBiosStatus = 0x%x", usTxTBiosStatus);
          state = usTxTBiosStatus ? TXT_STATE_ON : TXT_STATE_OFF;
        }
      }
    }
  }
  TV2_LEAVE(ret);
  return ret;
}

uint16_t DRV_GetDormixDeviceInformation(int iDriver, tagBiosApiDormixGetDeviceInfo* pInfo) {
  TV2_ENTER("iDriver=%d", iDriver);
  uint16_t ret = kFail;
  if (iDriver < 0) {
    TV2_FAIL("Supplied driver id not valid!");
  } else if (!pInfo) {
    TV2_FAIL("Data parameter is NULL");
  } else {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXQD, 0, 1024, 1024, 0) && rq.OwnDataOut(10, kNotCleared)) {
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_GetDormixDeviceInformation] - Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleE(KEB_SIG, true);
        if (rq.DrvStatus() == 0 && rq.SignatureOk() && rq.BiosStatus() == BAPI_STATUS_SUCCESS)
          std::memcpy(pInfo, rq.DataOut(), 10);
      }
    }
  }
  TV2_LEAVE(ret);
  return ret;
}

uint16_t DRV_GetDormixManageabilityIntervall(int iDriver, unsigned int uiIndex,
                                             tagBiosApiDormixManageabilityInterval* pInterval) {
  TV2_ENTER("iDriver=%d", iDriver);
  uint16_t ret = kFail;
  if (iDriver < 0) {
    TV2_FAIL("Supplied driver id not valid!");
  } else if (uiIndex == 0) {
    TV2_FAIL("Index must be greater than zero");
  } else if (uiIndex > 0x7FFFFFFFu) {
    TV2_FAIL("Index does not fit the service code");
  } else if (!pInterval) {
    TV2_FAIL("Data parameter is NULL");
  } else {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXQD, 2 * uiIndex - 1, 1033, 1024, 0) && rq.OwnDataOut(9, kClearedWithLength)) {
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_GetDormixManageabilityIntervall] - Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleE(KEB_SIG, true);
        if (rq.DrvStatus() == 0 && rq.SignatureOk() && rq.BiosStatus() == BAPI_STATUS_SUCCESS)
          std::memcpy(pInterval, rq.DataOut(), 9);
      }
    }
  }
  TV2_LEAVE(ret);
  return ret;
}

uint16_t DRV_SetDormixManageabilityIntervall(int iDriver, unsigned int uiIndex,
                                             tagBiosApiDormixManageabilityInterval* pInterval) {
  TV2_ENTER("iDriver=%d", iDriver);
  uint16_t ret = kFail;
  if (iDriver < 0) {
    TV2_FAIL("Supplied driver id not valid!");
  } else if (uiIndex == 0) {
    TV2_FAIL("Index must be greater than zero");
  } else if (uiIndex > 0x7FFFFFFFu) {
    TV2_FAIL("Index does not fit the service code");
  } else if (!pInterval) {
    TV2_FAIL("Data parameter is NULL");
  } else {
    CBapiRequest rq;
    uint8_t* in = nullptr;
    if (rq.Prepare(BAPI_SIG_VRXQD, 2 * uiIndex, 1033, 1030, 0) && (in = rq.OwnDataIn(9, kNotCleared)) &&
        rq.OwnDataOut(6, kClearedWithLength)) {
      std::memcpy(in, pInterval, 9);
      KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "", "pCtrlIn->usAllocatedLength=%d", Load<uint16_t>(rq.CtrlIn()));
      KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "", "pCtrlIn->ulServiceSignature=%x",
                Load<uint32_t>(rq.CtrlIn() + BAPI_OFS_SIGNATURE));
      KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "", "pCtrlIn->ServiceCode=%u",
                Load<uint32_t>(rq.CtrlIn() + BAPI_OFS_SERVICE_CODE));
      KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "", "pCtrlOut->usAllocatedLength=%d", Load<uint16_t>(rq.CtrlOut()));
      KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "", "pCtrlOut->ulServiceSignature=%x",
                Load<uint32_t>(rq.CtrlOut() + BAPI_OFS_SIGNATURE));
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_SetDormixManageabilityIntervall] - Error on BIOS_API_IOC_CALL\n");
      } else {
        KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "", "pCtrlOut->ucStatus=%d", rq.BiosStatus());
        KEB_TRACE(TRC_VERBOSE, TRC_INTERNAL, "", "pCtrlOut->usErrorCode=%d", rq.ErrorCode());
        ret = rq.RuleE(KEB_SIG, true);
      }
    }
  }
  TV2_LEAVE(ret);
  return ret;
}

// ---------------------------------------------------------------- OEM data

namespace {
void PutPcId(CBapiRequest& rq) { std::memcpy(rq.CtrlIn() + BAPI_OFS_PARAM, "PcId", 4); }
}  // namespace

uint16_t DRV_GetOemDataInfo(int iDriver, ULONG* pulOemDataSize, ULONG* pulTmpBufferSize) {
  g_trc.Enter(2, "[DRV_GetOemDataInfo] - entered \n");
  uint16_t ret = kFail;
  if (iDriver >= 0 && pulOemDataSize && pulTmpBufferSize) {
    CBapiRequest rq;
    uint8_t* out = nullptr;
    if (rq.Prepare(BAPI_SIG_VRXOD, 0, 1024, 1024, 0) && (out = rq.OwnDataOut(10, kClearedWithLength))) {
      PutPcId(rq);
      Store<uint32_t>(out + 6, 0);
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_GetOemDataInfo] Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleC();
        if (ret == 0) {
          *pulOemDataSize = Load<uint32_t>(out + 6);
          *pulTmpBufferSize = Load<uint32_t>(out + 2);
          g_trc.Out(TRC_VERBOSE, "[DRV_GetOemDataInfo] - pApiInfo->ulOemDataSize=%ld\n", static_cast<long>(*pulOemDataSize));
          g_trc.Out(TRC_VERBOSE, "[DRV_GetOemDataInfo] - pApiInfo->TmpBufferSize=%ld\n",
                    static_cast<long>(*pulTmpBufferSize));
        } else if (rq.DrvStatus() == 0) {
          g_trc.Out(TRC_ERROR, "[DRV_GetOemDataInfo] - invalid Ctrl Out buffer\n");
        }
      }
    }
  }
  g_trc.Leave(2, "[DRV_GetOemDataInfo] - leaving, usStatus=0x%4.4x\n", ret);
  return ret;
}

uint16_t DRV_OemDataRead(int iDriver, UCHAR* pucBuffer, ULONG ulSize) {
  g_trc.Enter(2, "[DRV_OemDataRead] - entered \n");
  uint16_t ret = kFail;
  if (iDriver >= 0 && pucBuffer && ulSize) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXOD, 1, 1024, 1024, 1) && rq.OwnDataOut(ulSize, kCleared)) {
      PutPcId(rq);
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_OemDataRead] Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleB();
        if (ret == 0) {
          g_trc.Out(TRC_VERBOSE, "[DRV_OemDataRead] - Read %d bytes of data from OEM Data Area.\n",
                    static_cast<int>(ulSize));
          g_trc.OutBinary(TRC_VERBOSE, rq.DataOut(), ulSize < 64 ? static_cast<int>(ulSize) : 64, 16, 8, false, nullptr);
          std::memcpy(pucBuffer, rq.DataOut(), ulSize);
        } else {
          g_trc.Out(TRC_ERROR, "[DRV_OemDataRead] - Error: Bad status return or invalid Ctrl Out buffer\n");
        }
      }
    }
  }
  g_trc.Leave(2, "[DRV_OemDataRead] - leaving, usStatus=0x%4.4x\n", ret);
  return ret;
}

uint16_t DRV_OemDataWrite(int iDriver, UCHAR* pucData, ULONG ulSize, ULONG ulTmpBufferSize) {
  g_trc.Enter(2, "[DRV_OemDataWrite] - entered \n");
  uint16_t ret = kFail;
  // The BIOS's working space is the temporary buffer size plus 256 bytes.
  bool sizesOk = ulTmpBufferSize <= 0xFFFFFFFFu - 256u;
  if (iDriver >= 0 && pucData && ulSize && sizesOk) {
    CBapiRequest rq;
    uint8_t* in = nullptr;
    if (rq.Prepare(BAPI_SIG_VRXOD, 2, 1024, 1024, 1) && (in = rq.OwnDataIn(ulSize, kNotCleared)) &&
        rq.OwnDataOut(ulTmpBufferSize + 256u, kCleared)) {
      PutPcId(rq);
      std::memcpy(in, pucData, ulSize);
      g_trc.Out(TRC_VERBOSE, "[DRV_OemDataWrite] - Trying to write %d bytes of data.\n", static_cast<int>(ulSize));
      g_trc.OutBinary(TRC_VERBOSE, in, ulSize < 64 ? static_cast<int>(ulSize) : 64, 16, 8, false, nullptr);
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_OemDataWrite] - Error on BIOS_API_IOC_CALL\n");
      } else {
        ret = rq.RuleB();
        if (ret != 0) g_trc.Out(TRC_ERROR, "[DRV_OemDataWrite] - Error: Bad status return or invalid Ctrl Out buffer\n");
      }
    }
  }
  g_trc.Leave(2, "[DRV_OemDataWrite] - leaving, usStatus=0x%4.4x\n", ret);
  return ret;
}

// ---------------------------------------------------------------- flash info and service check

uint16_t DRV_FlashInfoGet(int iDriver, ULONG ulParam1, ULONG ulParam2, ULONG* pulCount, tagFlashInfoItem* pItems) {
  g_trc.Enter(2, "[DRV_FlashInfoGet](%d, %d, 0x%p, 0x%p) - entered\n", iDriver, static_cast<int>(ulParam1),
              static_cast<void*>(pulCount), static_cast<void*>(pItems));
  uint16_t ret = kFail;
  if (iDriver >= 0 && pulCount && pItems) {
    CBapiRequest rq;
    uint8_t* in = nullptr;
    if (rq.Prepare(BAPI_SIG_VRXFI, 0, 1024, 1024, 0) && (in = rq.OwnDataIn(268, kClearedWithLength)) &&
        rq.OwnDataOut(268, kNotCleared)) {
      Store<uint32_t>(in + 2, ulParam1);
      Store<uint32_t>(in + 6, ulParam2);
      if (!rq.Issue(iDriver)) {
        g_trc.Out(TRC_ERROR, "[DRV_FlashInfoGet] Error on BIOS_API_IOC_CALL\n");
      } else if (!rq.SignatureOk()) {
        g_trc.Out(TRC_ERROR, "[DRV_FlashInfoGet] invalid signature 0x%8.8lx\n",
                  static_cast<unsigned long>(rq.ReturnedSignature()));
      } else if (rq.BiosStatus() != BAPI_STATUS_SUCCESS) {
        g_trc.Out(TRC_ERROR, "[DRV_FlashInfoGet] error status after BAPI call: 0x%2.2x '%s', 0x%4.4x '%s'\n",
                  rq.BiosStatus(), BapiGeneralStatus2Str(rq.BiosStatus()), rq.ErrorCode(),
                  BapiSpecificErrorCode2Str(BAPI_SIG_VRXFI, rq.ErrorCode()));
      } else {
        ret = rq.DrvStatus();
        if (ret == 0) {
          *pulCount = Load<uint16_t>(rq.DataOut() + 2);
          std::memcpy(pItems, rq.DataOut() + 4, kFlashInfoBytes);
        }
      }
    }
  }
  g_trc.Leave(2, "[DRV_FlashInfoGet] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}

uint16_t DRV_CheckFunction(int iDriver, ULONG ulSignature) {
  // The entry text carries two conversions for the signature; both get it.
  g_trc.Enter(2, "[DRV_CheckFunction](%d, %0x%8.8lx) - entered\n", iDriver, static_cast<unsigned>(ulSignature),
              static_cast<unsigned long>(ulSignature));
  uint16_t ret = kFail;
  if (iDriver >= 0) {
    CBapiRequest rq;
    if (rq.Prepare(BAPI_SIG_VRXBS, ulSignature, 1024, 1024, 0) && rq.OwnDataOut(32, kClearedWithLength)) {
      if (!rq.Issue(iDriver)) g_trc.Out(TRC_ERROR, "[DRV_CheckFunction] Error on BIOS_API_IOC_CALL\n");
      else ret = rq.RuleD();
    }
  }
  g_trc.Leave(2, "[DRV_CheckFunction] - leaving, ret=0x%4.4lx\n", static_cast<unsigned long>(ret));
  return ret;
}
