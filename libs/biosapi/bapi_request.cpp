#include "bapi_request.h"

#include <sys/ioctl.h>

#include <cstdlib>

#include "ArdoTrace.h"
#include "kelcore.h"

void DRV_Free_Ctrl(tagDrvBapiControl* pCtrl) {
  if (!pCtrl) return;
  if (pCtrl->pCtrlIn) std::free(reinterpret_cast<void*>(static_cast<uintptr_t>(pCtrl->pCtrlIn)));
  if (pCtrl->pCtrlOut) std::free(reinterpret_cast<void*>(static_cast<uintptr_t>(pCtrl->pCtrlOut)));
  pCtrl->pCtrlIn = 0;
  pCtrl->pCtrlOut = 0;
}

void DRV_Free_All(tagDrvBapiControl* pCtrl) {
  if (!pCtrl) return;
  DRV_Free_Ctrl(pCtrl);
  if (pCtrl->pDataIn) std::free(reinterpret_cast<void*>(static_cast<uintptr_t>(pCtrl->pDataIn)));
  if (pCtrl->pDataOut) std::free(reinterpret_cast<void*>(static_cast<uintptr_t>(pCtrl->pDataOut)));
  pCtrl->pDataIn = 0;
  pCtrl->pDataOut = 0;
}

namespace kebbapi {

CBapiRequest::CBapiRequest() {
  // The whole record starts zeroed, so a driver that leaves ulDrvStatus alone
  // reads as success rather than as stack garbage.
  std::memset(&m_rec, 0, sizeof m_rec);
}

CBapiRequest::~CBapiRequest() {
  DRV_Free_Ctrl(&m_rec);
  std::free(m_pOwnIn);
  std::free(m_pOwnOut);
}

uint8_t* CBapiRequest::Alloc(uint32_t size, DataFill fill) {
  if (size == 0) return nullptr;
  uint8_t* p = static_cast<uint8_t*>(fill == kNotCleared ? std::malloc(size) : std::calloc(1, size));
  if (p && fill == kClearedWithLength && size >= 2) Store<uint16_t>(p, static_cast<uint16_t>(size));
  return p;
}

bool CBapiRequest::Prepare(uint32_t signature, uint32_t serviceCode, uint16_t allocIn, uint16_t allocOut,
                           uint32_t useMap) {
  m_ulSignature = signature;
  m_pIn = Alloc(BAPI_CTRL_SIZE, kCleared);
  m_pOut = Alloc(BAPI_CTRL_SIZE, kCleared);
  m_rec.pCtrlIn = reinterpret_cast<uintptr_t>(m_pIn);
  m_rec.pCtrlOut = reinterpret_cast<uintptr_t>(m_pOut);
  if (!m_pIn || !m_pOut) {
    g_trc.Out(TRC_ERROR, "[CBapiRequest::Prepare] - out of memory for the control buffers\n");
    return false;
  }
  m_rec.ulCtrlInLength = BAPI_CTRL_SIZE;
  m_rec.ulCtrlOutLength = BAPI_CTRL_SIZE;
  m_rec.ulUseMap = useMap;
  Store<uint16_t>(m_pIn + BAPI_OFS_ALLOC, allocIn);
  Store<uint32_t>(m_pIn + BAPI_OFS_SIGNATURE, signature);
  Store<uint32_t>(m_pIn + BAPI_OFS_SERVICE_CODE, serviceCode);
  Store<uint16_t>(m_pOut + BAPI_OFS_ALLOC, allocOut);
  Store<uint32_t>(m_pOut + BAPI_OFS_SIGNATURE, signature);
  return true;
}

uint8_t* CBapiRequest::OwnDataIn(uint32_t size, DataFill fill) {
  m_pOwnIn = Alloc(size, fill);
  if (!m_pOwnIn && size) {
    g_trc.Out(TRC_ERROR, "[CBapiRequest::OwnDataIn] - out of memory (%lu bytes)\n", static_cast<unsigned long>(size));
    return nullptr;
  }
  CallerDataIn(m_pOwnIn, size);
  return m_pOwnIn;
}

uint8_t* CBapiRequest::OwnDataOut(uint32_t size, DataFill fill) {
  m_pOwnOut = Alloc(size, fill);
  if (!m_pOwnOut && size) {
    g_trc.Out(TRC_ERROR, "[CBapiRequest::OwnDataOut] - out of memory (%lu bytes)\n", static_cast<unsigned long>(size));
    return nullptr;
  }
  CallerDataOut(m_pOwnOut, size);
  return m_pOwnOut;
}

void CBapiRequest::CallerDataIn(uint8_t* p, uint32_t size) {
  // A buffer without bytes is sent as no buffer at all.
  m_rec.pDataIn = (p && size) ? reinterpret_cast<uintptr_t>(p) : 0;
  m_rec.ulDataInLength = (p && size) ? size : 0;
}

void CBapiRequest::CallerDataOut(uint8_t* p, uint32_t size) {
  m_rec.pDataOut = (p && size) ? reinterpret_cast<uintptr_t>(p) : 0;
  m_rec.ulDataOutLength = (p && size) ? size : 0;
}

bool CBapiRequest::Issue(int iDriver) { return ioctl(iDriver, BIOS_API_IOC_CALL, &m_rec) >= 0; }

uint16_t CBapiRequest::RuleA(const char* name) {
  if (!SignatureOk() || BiosStatus() != BAPI_STATUS_SUCCESS) {
    g_trc.Out(TRC_ERROR, "[%s] - either Signature is wrong or Status is not BAPI_STATUS_SUCCESS\n", name);
    g_trc.Out(TRC_ERROR, "[%s] - Bapi General Status: %s\n", name, BapiGeneralStatus2Str(BiosStatus()));
    g_trc.Out(TRC_ERROR, "[%s] - Bapi returned signature: 0x%.8x\n", name, ReturnedSignature());
    return 1;
  }
  return DrvStatus();
}

uint16_t CBapiRequest::RuleB() {
  return (DrvStatus() == 0 && SignatureOk() && BiosStatus() == BAPI_STATUS_SUCCESS) ? 0 : 1;
}

uint16_t CBapiRequest::RuleC() {
  if (DrvStatus() != 0) return DrvStatus();
  return (SignatureOk() && BiosStatus() == BAPI_STATUS_SUCCESS) ? 0 : 1;
}

uint16_t CBapiRequest::RuleD() {
  uint16_t r = DrvStatus();
  if (r == 0 && BiosStatus() != BAPI_STATUS_SUCCESS) r = 1;
  return r;
}

uint16_t CBapiRequest::RuleE(const char* signature, bool powerOffVariant) {
  uint8_t st = BiosStatus();
  uint16_t err = ErrorCode();
  uint16_t r;
  if (st == BAPI_STATUS_SUCCESS) r = err;
  else if (err != 0) r = err;
  else if (powerOffVariant) r = (st == 3) ? 2 : 1;
  else r = 1;
  // A request the driver itself failed is no success, whatever the control
  // output (untouched by the BIOS) happens to say.
  if (r == 0 && DrvStatus() != 0) r = DrvStatus();
  if (!SignatureOk()) {
    if (g_trc.IsEnabled())
      g_trc.OutTV2(TRC_ERROR, signature, TRC_INTERNAL, "pCtrlOut has wrong signature",
                   "expected: 0x%8.8lx, got: 0x%8.8lx", static_cast<unsigned long>(m_ulSignature),
                   static_cast<unsigned long>(ReturnedSignature()));
    if (r == 0) r = 1;
  } else if (st != BAPI_STATUS_SUCCESS) {
    if (g_trc.IsEnabled())
      g_trc.OutTV2(TRC_ERROR, signature, TRC_INTERNAL, "BAPI reported error status",
                   "ucStatus=0x%2.2x, usErrorCode=0x%4.4x", st, err);
  }
  return r;
}

void CBapiRequest::TraceBuffers(const char* name, bool dataIn, bool dataOut) {
  if (!g_trc.IsEnabled()) return;
  auto low = [](uint64_t p) { return static_cast<unsigned>(p); };
  g_trc.Out(TRC_VERBOSE, "[%s] - pCtrlIn: 0x%4.4x, Length: %ld\n", name, low(m_rec.pCtrlIn),
            static_cast<long>(m_rec.ulCtrlInLength));
  g_trc.Out(TRC_VERBOSE, "[%s] - pCtrlOut: 0x%4.4x, Length: %ld\n", name, low(m_rec.pCtrlOut),
            static_cast<long>(m_rec.ulCtrlOutLength));
  if (dataIn)
    g_trc.Out(TRC_VERBOSE, "[%s] - pDataIn: 0x%4.4x, Length: %ld\n", name, low(m_rec.pDataIn),
              static_cast<long>(m_rec.ulDataInLength));
  if (dataOut)
    g_trc.Out(TRC_VERBOSE, "[%s] - pDataOut: 0x%4.4x, Length: %ld\n", name, low(m_rec.pDataOut),
              static_cast<long>(m_rec.ulDataOutLength));
  g_trc.Out(TRC_VERBOSE, "[%s] - ulUseMap: %d\n", name, static_cast<int>(m_rec.ulUseMap));
}

}  // namespace kebbapi
