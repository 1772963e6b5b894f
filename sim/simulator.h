// The simulator's process-wide state: the machine, the open device handles and
// the request handling of the two drivers. The interposed libc calls in
// interpose.cpp forward here.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "machine.h"

namespace kebsim {

enum class Device { kBapi, kData };

class Simulator {
 public:
  static Simulator& Get();

  // Opening a device: loads the settings (and the saved state) first.
  // Returns false with errno set when the device is missing or the settings are bad.
  bool OnOpen(Device d);
  void Track(int fd, Device d);
  bool IsDevice(int fd, Device* d);
  void Forget(int fd);

  // One driver request; returns the ioctl result (-1 with errno set on failure).
  int Ioctl(int fd, Device d, unsigned long request, void* arg);

  // SMBIOS files: the real file that stands for a name under the raw folder,
  // or the built-in content (`*builtin` true). False: no such file.
  bool SmbiosSource(const std::string& name, std::string* realPath, Bytes* content, bool* builtin);

 private:
  bool Reload(bool forDevice);
  const Fault* TakeFault(const std::string& a, const std::string& b);
  void Save();
  int BapiCall(void* arg);
  int Version(Device d, void* arg);
  int DataRead(void* arg);

  std::recursive_mutex mu_;
  Machine m_;
  bool loaded_ = false;
  bool bad_ = false;
  std::string key_;
  std::map<int, Device> fds_;
};

// Settings actually used, from the environment: KEBSIM_CONFIG names the
// settings file; KEBSIM_STATE and KEBSIM_LOG override its state and log paths.
std::string SettingsKey();

}  // namespace kebsim
