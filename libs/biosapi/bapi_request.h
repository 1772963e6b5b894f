// One BIOS API request under construction: the record, its control buffers and
// the data buffers the layer owns. Whatever was allocated is released when the
// object goes out of scope, so every return path of a service frees its buffers.
#pragma once

#include <cstdint>
#include <cstring>

#include "kebbapi_inter.h"

namespace kebbapi {

template <typename T>
inline T Load(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <typename T>
inline void Store(uint8_t* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

enum DataFill { kCleared, kClearedWithLength, kNotCleared };

class CBapiRequest {
 public:
  CBapiRequest();
  ~CBapiRequest();
  CBapiRequest(const CBapiRequest&) = delete;
  CBapiRequest& operator=(const CBapiRequest&) = delete;

  // Allocates and fills both control buffers. False when memory is short.
  bool Prepare(uint32_t signature, uint32_t serviceCode, uint16_t allocIn, uint16_t allocOut, uint32_t useMap);
  // Own data buffers (released with the request) and caller buffers (never released).
  uint8_t* OwnDataIn(uint32_t size, DataFill fill);
  uint8_t* OwnDataOut(uint32_t size, DataFill fill);
  void CallerDataIn(uint8_t* p, uint32_t size);
  void CallerDataOut(uint8_t* p, uint32_t size);

  // Issues BIOS_API_IOC_CALL; false when the system call failed.
  bool Issue(int iDriver);

  uint8_t* CtrlIn() { return m_pIn; }
  uint8_t* CtrlOut() { return m_pOut; }
  uint8_t* DataIn() { return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(m_rec.pDataIn)); }
  uint8_t* DataOut() { return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(m_rec.pDataOut)); }
  tagDrvBapiControl& Record() { return m_rec; }

  uint32_t Signature() const { return m_ulSignature; }
  uint16_t DrvStatus() const { return static_cast<uint16_t>(m_rec.ulDrvStatus & 0xFFFF); }
  uint32_t ReturnedSignature() const { return Load<uint32_t>(m_pOut + BAPI_OFS_SIGNATURE); }
  uint8_t BiosStatus() const { return m_pOut[BAPI_OFS_STATUS]; }
  uint16_t ErrorCode() const { return Load<uint16_t>(m_pOut + BAPI_OFS_ERROR_CODE); }
  bool SignatureOk() const { return ReturnedSignature() == m_ulSignature; }

  // Status rules: the result of the request, with the rule's trace lines.
  uint16_t RuleA(const char* name);  // checked signature and status, then the driver status
  uint16_t RuleB();                  // everything must be fine, else 1
  uint16_t RuleC();                  // driver status first
  uint16_t RuleD();                  // driver status; signature not checked
  uint16_t RuleE(const char* signature, bool powerOffVariant);  // the BIOS's error code

  // Traces the record's buffer addresses, lengths and map flag (before a request).
  void TraceBuffers(const char* name, bool dataIn, bool dataOut);

 private:
  uint8_t* Alloc(uint32_t size, DataFill fill);

  tagDrvBapiControl m_rec;
  uint8_t* m_pIn = nullptr;
  uint8_t* m_pOut = nullptr;
  uint8_t* m_pOwnIn = nullptr;
  uint8_t* m_pOwnOut = nullptr;
  uint32_t m_ulSignature = 0;
};

}  // namespace kebbapi
