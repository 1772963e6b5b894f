// BIOS API driver call layer: each BIOS service becomes one BIOS_API_IOC_CALL
// request on the open device. Every function takes the device handle first and
// returns a 16-bit status (0 success; 1 for most failures, otherwise the
// driver status or the BIOS's error code).
#pragma once

#include <cstdint>

#include "KebTypes.h"
#include "kelbapi_types.h"

#define BIOS_API_IOC_CALL 0x4209

#pragma pack(push, 1)
// The request record (56 bytes, no padding, unaligned 64-bit pointers).
struct tagDrvBapiControl {
  uint64_t pCtrlIn;
  uint32_t ulCtrlInLength;
  uint64_t pCtrlOut;
  uint32_t ulCtrlOutLength;
  uint64_t pDataIn;
  uint32_t ulDataInLength;
  uint64_t pDataOut;
  uint32_t ulDataOutLength;
  uint32_t ulUseMap;
  uint32_t ulDrvStatus;  // written by the driver
};
#pragma pack(pop)
static_assert(sizeof(tagDrvBapiControl) == 56, "tagDrvBapiControl is 56 bytes on the wire");

// Size of each control buffer, and offsets of its header fields.
constexpr uint32_t BAPI_CTRL_SIZE = 1024;
constexpr unsigned BAPI_OFS_ALLOC = 0, BAPI_OFS_SIGNATURE = 2, BAPI_OFS_SERVICE_CODE = 6;
constexpr unsigned BAPI_OFS_PARAM = 10, BAPI_OFS_STATUS = 10, BAPI_OFS_ERROR_CODE = 11;
constexpr uint8_t BAPI_STATUS_SUCCESS = 0;

// Service signatures.
constexpr uint32_t BAPI_SIG_VRXNV = 0x5A584E56, BAPI_SIG_VRXQD = 0x5A585144, BAPI_SIG_VRXAC = 0x5A584143;
constexpr uint32_t BAPI_SIG_VRXBS = 0x5A584253, BAPI_SIG_VRXFA = 0x5A584641, BAPI_SIG_VRXFI = 0x5A584649;
constexpr uint32_t BAPI_SIG_VRXFU = 0x5A584655, BAPI_SIG_VRXOD = 0x5A584F44, BAPI_SIG_VRXCC = 0x5A584343;

// Release the two control buffers, or all four buffers, of a record (each only
// when its pointer is set); the pointers are cleared.
void DRV_Free_Ctrl(tagDrvBapiControl* pCtrl);
void DRV_Free_All(tagDrvBapiControl* pCtrl);

uint16_t DRV_GetImageInfo(int iDriver, ULONG* pulImageSize);
uint16_t DRV_RetrieveImage(int iDriver, UCHAR* pucBuffer, ULONG ulSize);
uint16_t DRV_UpdateSector(int iDriver, UCHAR* pucData, ULONG ulSize, ULONG ulSector, short sFlag);
uint16_t DRV_GetNvramImageInfo(int iDriver, ULONG* pulImageSize);
uint16_t DRV_RetrieveNvramImage(int iDriver, UCHAR* pucBuffer, ULONG ulSize, USHORT usMedia);
uint16_t DRV_UpdateNvMedia(int iDriver, UCHAR* pucData, ULONG ulSize, USHORT usMedia);
uint16_t DRV_UpdateNvChksum(int iDriver, USHORT usMedia);
uint16_t DRV_NvramUpdateCheckumOfMedia(int iDriver, USHORT usMedia);
uint16_t DRV_NvramGetTokenInfo(int iDriver, ULONG ulToken, UCHAR* pucInfo);
uint16_t DRV_NvramReadTokenBitArray(int iDriver, ULONG ulToken, USHORT* pusValue);
uint16_t DRV_NvramReadTokenByteString(int iDriver, ULONG ulToken, UCHAR* pucBuffer, USHORT usSize);
uint16_t DRV_NvramWriteTokenBitArray(int iDriver, ULONG ulToken, USHORT usValue);
uint16_t DRV_LoadNVRamDefaults(int iDriver, USHORT usParameter);
uint16_t DRV_GetNVETable(int iDriver, UCHAR* pucBuffer, ULONG ulSize);
uint16_t DRV_GetBootOrder(int iDriver, BYTE byBootOrderType, BootOrderList* pList);
uint16_t DRV_SetBootOrder(int iDriver, BYTE byBootOrderType, BootOrderList& list);
uint16_t DRV_GetTXTStatus(int iDriver, e_TxTStates& state);
uint16_t DRV_GetDormixDeviceInformation(int iDriver, tagBiosApiDormixGetDeviceInfo* pInfo);
uint16_t DRV_GetDormixManageabilityIntervall(int iDriver, unsigned int uiIndex,
                                             tagBiosApiDormixManageabilityInterval* pInterval);
uint16_t DRV_SetDormixManageabilityIntervall(int iDriver, unsigned int uiIndex,
                                             tagBiosApiDormixManageabilityInterval* pInterval);
uint16_t DRV_GetOemDataInfo(int iDriver, ULONG* pulOemDataSize, ULONG* pulTmpBufferSize);
uint16_t DRV_OemDataRead(int iDriver, UCHAR* pucBuffer, ULONG ulSize);
uint16_t DRV_OemDataWrite(int iDriver, UCHAR* pucData, ULONG ulSize, ULONG ulTmpBufferSize);
uint16_t DRV_FlashInfoGet(int iDriver, ULONG ulParam1, ULONG ulParam2, ULONG* pulCount, tagFlashInfoItem* pItems);
uint16_t DRV_CheckFunction(int iDriver, ULONG ulSignature);
