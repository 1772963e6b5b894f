// libc entry points that the simulator takes over when it is preloaded.
// Paths other than the two device nodes and the SMBIOS raw folder, and file
// descriptors other than the simulated devices, go straight to libc.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "sim_wire.h"
#include "simulator.h"

using kebsim::Device;
using kebsim::Simulator;

namespace {

template <typename F>
F Real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool IsDevicePath(const char* p, Device* d) {
  if (!p) return false;
  if (strcmp(p, kebsim::kBapiDevice) == 0) return *d = Device::kBapi, true;
  if (strcmp(p, kebsim::kDataDevice) == 0) return *d = Device::kData, true;
  return false;
}

// Name behind "/proc/smbios/raw/", or null for other paths.
const char* SmbiosName(const char* p) {
  size_t n = strlen(kebsim::kSmbiosPrefix);
  if (!p || strncmp(p, kebsim::kSmbiosPrefix, n) != 0) return nullptr;
  return p + n;
}

bool HasMode(int flags) { return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE; }

// A simulated device is a real descriptor on /dev/null, so that every libc call
// on it stays valid; only ioctl and close are recognised by number.
int OpenDevice(Device d, int flags) {
  if (!Simulator::Get().OnOpen(d)) return -1;
  typedef int (*open_t)(const char*, int, ...);
  static open_t real_open = Real<open_t>("open");
  if (!real_open) {
    errno = ENOSYS;
    return -1;
  }
  int fd = real_open("/dev/null", O_RDWR | (flags & O_CLOEXEC));
  if (fd >= 0) Simulator::Get().Track(fd, d);
  return fd;
}

// Where an SMBIOS file's content comes from: a real file, or built-in bytes.
struct SmbiosFile {
  std::string realPath;
  kebsim::Bytes content;
  bool builtin = false;
};

// Looks a name up in the simulated SMBIOS folder; a missing file sets ENOENT.
bool FindSmbios(const char* name, SmbiosFile& file) {
  if (Simulator::Get().SmbiosSource(name, &file.realPath, &file.content, &file.builtin)) return true;
  errno = ENOENT;
  return false;
}

// A memory file holding built-in content, positioned at its start.
int MemoryFile(const kebsim::Bytes& content) {
  int fd = memfd_create("kebsim-smbios", MFD_CLOEXEC);
  if (fd < 0) return -1;
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n <= 0) {
      close(fd);
      errno = EIO;
      return -1;
    }
    done += size_t(n);
  }
  lseek(fd, 0, SEEK_SET);
  return fd;
}

bool ReadOnly(int flags) { return (flags & O_ACCMODE) == O_RDONLY && !(flags & (O_CREAT | O_TRUNC)); }

// Open of a path under the SMBIOS folder: -2 means "not ours", else the result.
int OpenSmbios(const char* path, int flags, mode_t mode, int (*realOpen)(const char*, int, ...)) {
  const char* name = SmbiosName(path);
  if (!name) return -2;
  SmbiosFile file;
  if (!FindSmbios(name, file)) return -1;
  if (!ReadOnly(flags)) {
    errno = EACCES;
    return -1;
  }
  if (!file.builtin) return realOpen(file.realPath.c_str(), flags, mode);
  return MemoryFile(file.content);
}

int OpenCommon(const char* path, int flags, mode_t mode, const char* realName) {
  typedef int (*open_t)(const char*, int, ...);
  static open_t real_open = Real<open_t>("open");
  static open_t real_open64 = Real<open_t>("open64");
  open_t real = strcmp(realName, "open64") == 0 && real_open64 ? real_open64 : real_open;
  if (!real) {
    errno = ENOSYS;
    return -1;
  }
  Device d;
  if (IsDevicePath(path, &d)) return OpenDevice(d, flags);
  int r = OpenSmbios(path, flags, mode, real);
  if (r != -2) return r;
  return real(path, flags, mode);
}

int StatCommon(const char* path, struct stat* buf, bool follow) {
  typedef int (*stat_t)(const char*, struct stat*);
  static stat_t real_stat = Real<stat_t>("stat");
  static stat_t real_lstat = Real<stat_t>("lstat");
  stat_t real = follow ? real_stat : real_lstat;
  if (!real) {
    errno = ENOSYS;
    return -1;
  }
  const char* name = SmbiosName(path);
  if (!name) return real(path, buf);
  SmbiosFile file;
  if (!FindSmbios(name, file)) return -1;
  if (!file.builtin) return real(file.realPath.c_str(), buf);
  int fd = MemoryFile(file.content);
  if (fd < 0) return -1;
  int r = fstat(fd, buf);
  if (r == 0) buf->st_mode = S_IFREG | 0444;
  close(fd);
  return r;
}

FILE* FopenCommon(const char* path, const char* mode, const char* realName) {
  typedef FILE* (*fopen_t)(const char*, const char*);
  static fopen_t real_fopen = Real<fopen_t>("fopen");
  static fopen_t real_fopen64 = Real<fopen_t>("fopen64");
  fopen_t real = strcmp(realName, "fopen64") == 0 && real_fopen64 ? real_fopen64 : real_fopen;
  if (!real) {
    errno = ENOSYS;
    return nullptr;
  }
  const char* name = SmbiosName(path);
  if (!name) return real(path, mode);
  SmbiosFile file;
  if (!FindSmbios(name, file)) return nullptr;
  if (!mode || mode[0] != 'r' || strchr(mode, '+')) {
    errno = EACCES;
    return nullptr;
  }
  if (!file.builtin) return real(file.realPath.c_str(), mode);
  int fd = MemoryFile(file.content);
  if (fd < 0) return nullptr;
  FILE* f = fdopen(fd, mode);
  if (!f) close(fd);
  return f;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int open(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (HasMode(flags)) {
    va_list ap;
    va_start(ap, flags);
    mode = va_arg(ap, mode_t);
    va_end(ap);
  }
  return OpenCommon(path, flags, mode, "open");
}

__attribute__((visibility("default"))) int open64(const char* path, int flags, ...) {
  mode_t mode = 0;
  if (HasMode(flags)) {
    va_list ap;
    va_start(ap, flags);
    mode = va_arg(ap, mode_t);
    va_end(ap);
  }
  return OpenCommon(path, flags, mode, "open64");
}

__attribute__((visibility("default"))) int __open_2(const char* path, int flags) {
  return OpenCommon(path, flags, 0, "open");
}

__attribute__((visibility("default"))) int __open64_2(const char* path, int flags) {
  return OpenCommon(path, flags, 0, "open64");
}

static int OpenAtCommon(int dirfd, const char* path, int flags, mode_t mode, const char* realName) {
  typedef int (*openat_t)(int, const char*, int, ...);
  static openat_t real_openat = Real<openat_t>("openat");
  static openat_t real_openat64 = Real<openat_t>("openat64");
  openat_t real = strcmp(realName, "openat64") == 0 && real_openat64 ? real_openat64 : real_openat;
  if (!real) {
    errno = ENOSYS;
    return -1;
  }
  // Only absolute paths can name the simulated files.
  if (path && path[0] == '/') {
    Device d;
    if (IsDevicePath(path, &d)) return OpenDevice(d, flags);
    if (SmbiosName(path)) return OpenCommon(path, flags, mode, "open");
  }
  return real(dirfd, path, flags, mode);
}

__attribute__((visibility("default"))) int openat(int dirfd, const char* path, int flags, ...) {
  mode_t mode = 0;
  if (HasMode(flags)) {
    va_list ap;
    va_start(ap, flags);
    mode = va_arg(ap, mode_t);
    va_end(ap);
  }
  return OpenAtCommon(dirfd, path, flags, mode, "openat");
}

__attribute__((visibility("default"))) int openat64(int dirfd, const char* path, int flags, ...) {
  mode_t mode = 0;
  if (HasMode(flags)) {
    va_list ap;
    va_start(ap, flags);
    mode = va_arg(ap, mode_t);
    va_end(ap);
  }
  return OpenAtCommon(dirfd, path, flags, mode, "openat64");
}

__attribute__((visibility("default"))) int ioctl(int fd, unsigned long request, ...) {
  va_list ap;
  va_start(ap, request);
  void* arg = va_arg(ap, void*);
  va_end(ap);
  Device d;
  if (Simulator::Get().IsDevice(fd, &d)) return Simulator::Get().Ioctl(fd, d, request, arg);
  typedef int (*ioctl_t)(int, unsigned long, ...);
  static ioctl_t real_ioctl = Real<ioctl_t>("ioctl");
  if (!real_ioctl) {
    errno = ENOSYS;
    return -1;
  }
  return real_ioctl(fd, request, arg);
}

__attribute__((visibility("default"))) int close(int fd) {
  typedef int (*close_t)(int);
  static close_t real_close = Real<close_t>("close");
  if (!real_close) {
    errno = ENOSYS;
    return -1;
  }
  Simulator::Get().Forget(fd);
  return real_close(fd);
}

__attribute__((visibility("default"))) FILE* fopen(const char* path, const char* mode) {
  return FopenCommon(path, mode, "fopen");
}

__attribute__((visibility("default"))) FILE* fopen64(const char* path, const char* mode) {
  return FopenCommon(path, mode, "fopen64");
}

__attribute__((visibility("default"))) int stat(const char* path, struct stat* buf) {
  return StatCommon(path, buf, true);
}

__attribute__((visibility("default"))) int lstat(const char* path, struct stat* buf) {
  return StatCommon(path, buf, false);
}

__attribute__((visibility("default"))) int stat64(const char* path, struct stat64* buf) {
  return StatCommon(path, reinterpret_cast<struct stat*>(buf), true);
}

__attribute__((visibility("default"))) int lstat64(const char* path, struct stat64* buf) {
  return StatCommon(path, reinterpret_cast<struct stat*>(buf), false);
}

__attribute__((visibility("default"))) int access(const char* path, int mode) {
  typedef int (*access_t)(const char*, int);
  static access_t real_access = Real<access_t>("access");
  if (!real_access) {
    errno = ENOSYS;
    return -1;
  }
  const char* name = SmbiosName(path);
  if (!name) return real_access(path, mode);
  SmbiosFile file;
  if (!FindSmbios(name, file)) return -1;
  if (!file.builtin) return real_access(file.realPath.c_str(), mode);
  if (mode & (W_OK | X_OK)) {
    errno = EACCES;
    return -1;
  }
  return 0;
}

// Entry points of programs built against older C libraries.
__attribute__((visibility("default"))) int __xstat(int, const char* path, struct stat* buf) {
  return StatCommon(path, buf, true);
}
__attribute__((visibility("default"))) int __lxstat(int, const char* path, struct stat* buf) {
  return StatCommon(path, buf, false);
}
__attribute__((visibility("default"))) int __xstat64(int, const char* path, struct stat64* buf) {
  return StatCommon(path, reinterpret_cast<struct stat*>(buf), true);
}
__attribute__((visibility("default"))) int __lxstat64(int, const char* path, struct stat64* buf) {
  return StatCommon(path, reinterpret_cast<struct stat*>(buf), false);
}

}  // extern "C"
