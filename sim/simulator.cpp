#include "simulator.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "bios.h"
#include "request_log.h"
#include "settings.h"
#include "sim_wire.h"
#include "state_file.h"

namespace kebsim {
namespace {

const char* Env(const char* name) {
  const char* v = std::getenv(name);
  return (v && *v) ? v : nullptr;
}

void Warn(const std::string& text) { std::fprintf(stderr, "kebsim: %s\n", text.c_str()); }

const char* DeviceName(Device d) { return d == Device::kBapi ? kBapiDevice : kDataDevice; }
const char* DeviceKey(Device d) { return d == Device::kBapi ? "kebbapi" : "kebdata"; }

constexpr uint32_t kMaxCtrl = 0x10000;
constexpr uint32_t kMaxData = 64u << 20;
constexpr uint32_t kMinCtrl = 16;

}  // namespace

std::string SettingsKey() {
  std::string key;
  const char* cfg = Env("KEBSIM_CONFIG");
  if (cfg) {
    std::ifstream in(cfg, std::ios::binary);
    std::stringstream ss;
    if (in) ss << in.rdbuf();
    key = std::string(cfg) + "\n" + ss.str();
  }
  for (const char* v : {"KEBSIM_STATE", "KEBSIM_LOG"}) {
    key += "\n";
    if (Env(v)) key += Env(v);
  }
  return key;
}

Simulator& Simulator::Get() {
  // Never destroyed: interposed calls may still arrive while the process exits.
  static Simulator* s = new Simulator;
  return *s;
}

bool Simulator::Reload(bool forDevice) {
  std::string key = SettingsKey();
  // Same settings, no state file: keep the machine of this process as it is.
  // With a state file every device open re-reads what other processes wrote.
  if (loaded_ && key == key_ && (!forDevice || m_.stateFile.empty())) return !bad_;
  key_ = key;
  loaded_ = true;
  bad_ = false;
  Machine m = DefaultMachine();
  std::string error;
  if (const char* cfg = Env("KEBSIM_CONFIG")) {
    if (!ApplySettingsFile(cfg, m, error)) {
      Warn(error + " (both devices fail to open)");
      bad_ = true;
      m_ = DefaultMachine();
      return false;
    }
  }
  if (const char* st = Env("KEBSIM_STATE")) m.stateFile = st;
  if (const char* lg = Env("KEBSIM_LOG")) m.logFile = lg;
  if (!m.stateFile.empty()) {
    std::string warning;
    LoadState(m.stateFile, m, warning);
    if (!warning.empty()) Warn(warning);
  }
  m_ = std::move(m);
  return true;
}

bool Simulator::OnOpen(Device d) {
  std::lock_guard<std::recursive_mutex> lock(mu_);
  if (!Reload(true)) {
    errno = EINVAL;
    return false;
  }
  if (m_.missing.count(DeviceKey(d))) {
    errno = ENOENT;
    return false;
  }
  return true;
}

void Simulator::Track(int fd, Device d) {
  std::lock_guard<std::recursive_mutex> lock(mu_);
  fds_[fd] = d;
}

bool Simulator::IsDevice(int fd, Device* d) {
  std::lock_guard<std::recursive_mutex> lock(mu_);
  auto it = fds_.find(fd);
  if (it == fds_.end()) return false;
  *d = it->second;
  return true;
}

void Simulator::Forget(int fd) {
  std::lock_guard<std::recursive_mutex> lock(mu_);
  fds_.erase(fd);
}

const Fault* Simulator::TakeFault(const std::string& a, const std::string& b) {
  if (m_.faults.empty()) return nullptr;
  for (Fault& f : m_.faults) {
    if (f.remaining == 0 || (f.target != a && f.target != b)) continue;
    if (f.remaining > 0) --f.remaining;
    return &f;
  }
  return nullptr;
}

void Simulator::Save() {
  if (m_.stateFile.empty()) return;
  std::string error;
  if (!SaveState(m_.stateFile, m_, error)) Warn(error);
}

int Simulator::Ioctl(int fd, Device d, unsigned long request, void* arg) {
  std::lock_guard<std::recursive_mutex> lock(mu_);
  (void)fd;
  if (request == kIoctlGetVersion) return Version(d, arg);
  if (d == Device::kBapi && request == kIoctlBapiCall) return BapiCall(arg);
  if (d == Device::kData && request == kIoctlBiosDataRead) return DataRead(arg);
  AppendLog(m_.logFile, JsonLine().Str("device", DeviceName(d)).Num("request", (long long)request)
                            .Num("result", -1).Num("errno", ENOTTY).Done());
  errno = ENOTTY;
  return -1;
}

int Simulator::Version(Device d, void* arg) {
  JsonLine log(!m_.logFile.empty());
  log.Str("device", DeviceName(d)).Num("request", kIoctlGetVersion);
  int result = 0, err = 0;
  const Fault* f = TakeFault(std::string(DeviceKey(d)) + ".version", "");
  if (!arg) {
    result = -1, err = EFAULT;
  } else if (f && f->errnoValue >= 0) {
    result = -1, err = f->errnoValue;
  } else {
    uint32_t v = d == Device::kBapi ? m_.driverVersion : m_.dataDriverVersion;
    Store<uint32_t>(static_cast<uint8_t*>(arg) + 2, v);
    log.Num("version", v);
  }
  AppendLog(m_.logFile, log.Num("result", result).Num("errno", err).Done());
  errno = err;
  return result;
}

int Simulator::DataRead(void* arg) {
  JsonLine log(!m_.logFile.empty());
  log.Str("device", kDataDevice).Num("request", kIoctlBiosDataRead);
  int result = 0, err = 0;
  if (!arg) {
    AppendLog(m_.logFile, log.Num("result", -1).Num("errno", EFAULT).Done());
    errno = EFAULT;
    return -1;
  }
  uint8_t* r = static_cast<uint8_t*>(arg);
  uint64_t data = Load<uint64_t>(r);
  uint32_t addr = Load<uint32_t>(r + 8), size = Load<uint32_t>(r + 12);
  log.Num("address", addr).Num("size", size);
  const Fault* f = TakeFault("kebdata.read", "");
  uint16_t status = 0;
  if (f && f->errnoValue >= 0) {
    result = -1, err = f->errnoValue;
  } else if (f && f->drvStatus >= 0) {
    status = static_cast<uint16_t>(f->drvStatus);
  } else if (data == 0 && size != 0) {
    result = -1, err = EFAULT;
  } else if (addr < kAreaBase || uint64_t(addr) + size > uint64_t(kAreaBase) + kAreaSize) {
    status = static_cast<uint16_t>(kDrvStatusBadParam);
  } else if (size) {
    std::memcpy(reinterpret_cast<void*>(static_cast<uintptr_t>(data)), &m_.biosArea[addr - kAreaBase], size);
  }
  if (result == 0) {
    Store<uint16_t>(r + 16, status);
    log.Num("status", status);
  }
  AppendLog(m_.logFile, log.Num("result", result).Num("errno", err).Done());
  errno = err;
  return result;
}

int Simulator::BapiCall(void* arg) {
  JsonLine log(!m_.logFile.empty());
  log.Str("device", kBapiDevice).Num("request", kIoctlBapiCall);
  auto finish = [&](int result, int err) {
    AppendLog(m_.logFile, log.Num("result", result).Num("errno", err).Done());
    errno = err;
    return result;
  };
  if (!arg) return finish(-1, EFAULT);
  uint8_t* r = static_cast<uint8_t*>(arg);
  auto ptr = [&](size_t off) { return reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(Load<uint64_t>(r + off))); };
  uint8_t* ctrlIn = ptr(rec::kCtrlIn);
  uint8_t* ctrlOut = ptr(rec::kCtrlOut);
  uint8_t* dataIn = ptr(rec::kDataIn);
  uint8_t* dataOut = ptr(rec::kDataOut);
  uint32_t ctrlInLen = Load<uint32_t>(r + rec::kCtrlInLen), ctrlOutLen = Load<uint32_t>(r + rec::kCtrlOutLen);
  uint32_t dataInLen = Load<uint32_t>(r + rec::kDataInLen), dataOutLen = Load<uint32_t>(r + rec::kDataOutLen);
  uint32_t useMap = Load<uint32_t>(r + rec::kUseMap);
  log.Num("ctrl_in_length", ctrlInLen).Num("ctrl_out_length", ctrlOutLen)
      .Num("data_in_length", dataInLen).Num("data_out_length", dataOutLen).Num("use_map", useMap);
  // Structural checks the driver makes before it copies anything.
  if (!ctrlIn || !ctrlOut) return finish(-1, EFAULT);
  if (ctrlInLen < kMinCtrl || ctrlOutLen < kMinCtrl || ctrlInLen > kMaxCtrl || ctrlOutLen > kMaxCtrl ||
      dataInLen > kMaxData || dataOutLen > kMaxData)
    return finish(-1, EINVAL);
  uint32_t sig = Load<uint32_t>(ctrlIn + ctl::kSignature);
  uint32_t code = Load<uint32_t>(ctrlIn + ctl::kServiceCode);
  log.Num("alloc_in", Load<uint16_t>(ctrlIn)).Num("alloc_out", Load<uint16_t>(ctrlOut))
      .Num("signature", sig).Str("service", log.Enabled() ? ServiceName(sig) : std::string()).Num("code", code)
      .Num("ctrl_out_signature", Load<uint32_t>(ctrlOut + ctl::kSignature))
      .Hex("ctrl_in", ctrlIn, ctrlInLen);
  if (dataIn && dataInLen) log.Hex("data_in", dataIn, dataInLen);

  // Buffers whose pointer and length disagree, or an unknown map mode: the
  // driver refuses the request with its "invalid parameter" status.
  bool mismatch = (!dataIn) != (dataInLen == 0) || (!dataOut) != (dataOutLen == 0) || useMap > 1;
  const Fault* f = nullptr;
  if (!m_.faults.empty()) {
    std::string name = ServiceName(sig);
    f = TakeFault(name + "." + std::to_string(code), name);
  }
  uint32_t drvStatus = 0;
  if (f && f->errnoValue >= 0) return finish(-1, f->errnoValue);
  if (mismatch) {
    drvStatus = kDrvStatusBadParam;
  } else if (f && f->drvStatus >= 0) {
    drvStatus = static_cast<uint32_t>(f->drvStatus);
  } else {
    BiosCall call;
    call.ctrlIn.assign(ctrlIn, ctrlIn + ctrlInLen);
    if (dataIn) call.dataIn.assign(dataIn, dataIn + dataInLen);
    if (dataOut) call.dataOut.assign(dataOut, dataOut + dataOutLen);
    if (f && f->biosStatus > 0) {
      call.signatureOut = sig;  // the BIOS refuses without doing anything
      call.status = static_cast<uint8_t>(f->biosStatus);
      call.errorCode = static_cast<uint16_t>(f->errorCode > 0 ? f->errorCode : 0);
    } else {
      ServeBios(m_, call);
      if (dataOut) std::memcpy(dataOut, call.dataOut.data(), dataOutLen);
      if (call.changed) Save();
      // A BIOS that did its work and still reports something.
      if (f && f->biosStatus == 0) call.status = 0;
      if (f && f->errorCode >= 0) call.errorCode = static_cast<uint16_t>(f->errorCode);
    }
    if (f && f->signature >= 0) call.signatureOut = static_cast<uint32_t>(f->signature);
    Store<uint32_t>(ctrlOut + ctl::kSignature, call.signatureOut);
    ctrlOut[ctl::kStatus] = call.status;
    Store<uint16_t>(ctrlOut + ctl::kErrorCode, call.errorCode);
    log.Num("bios_status", call.status).Num("error_code", call.errorCode).Num("returned_signature", call.signatureOut);
  }
  Store<uint32_t>(r + rec::kDrvStatus, drvStatus);
  log.Num("drv_status", drvStatus);
  return finish(0, 0);
}

bool Simulator::SmbiosSource(const std::string& name, std::string* realPath, Bytes* content, bool* builtin) {
  std::lock_guard<std::recursive_mutex> lock(mu_);
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return false;
  if (!Reload(false)) return false;
  if (!m_.smbiosDir.empty()) {
    *realPath = m_.smbiosDir + "/" + name;
    *builtin = false;
    return true;
  }
  auto it = m_.smbios.find(name);
  if (it == m_.smbios.end()) return false;
  *content = it->second;
  *builtin = true;
  return true;
}

}  // namespace kebsim
