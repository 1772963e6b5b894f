// Fuzz target: a profile file of arbitrary text, then a sequence of reading
// and changing operations with arbitrary names and values.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CProfile.h"

namespace {

std::string ProfilePath() {
  static std::string path = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string templ = std::string(base) + "/fuzzprofile-XXXXXX";
    if (!mkdtemp(&templ[0])) abort();
    return templ + "/p.ini";
  }();
  return path;
}

std::string ReadAll(const std::string& path) {
  std::string text;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    fclose(f);
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string path = ProfilePath();
  std::string text = in.ConsumeRandomLengthString(12000);
  if (FILE* f = fopen(path.c_str(), "wb")) {
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }
  const bool tooLong = text.size() > CProfile::kMaxText;
  CProfile profile(path.c_str());
  for (int step = 0; step < 8 && in.remaining_bytes() > 0; ++step) {
    int op = in.ConsumeIntegralInRange(0, 10);
    std::string section = in.ConsumeRandomLengthString(40);
    std::string key = in.ConsumeRandomLengthString(40);
    std::string value = in.ConsumeRandomLengthString(300);
    switch (op) {
      case 0: {
        int bufSize = in.ConsumeIntegralInRange(0, 100);
        char buf[102];
        memset(buf, 0x5a, sizeof buf);
        profile.StringGet(section.c_str(), key.c_str(), value.c_str(), buf, bufSize);
        for (int i = bufSize; i < static_cast<int>(sizeof buf); ++i)
          if (buf[i] != 0x5a) abort();  // written behind the given size
        break;
      }
      case 1: {
        CString out;
        profile.StringGet(section.c_str(), key.c_str(), value.c_str(), out);
        if (out.GetLength() > 79 && out != value.c_str()) abort();
        break;
      }
      case 2: profile.IntGet(section.c_str(), key.c_str(), 7); break;
      case 3: profile.StringSet(section.c_str(), key.c_str(), value.c_str()); break;
      case 4: profile.IntSet(section.c_str(), key.c_str(), static_cast<int>(value.size())); break;
      case 5: profile.EntryAdd(section.c_str(), key.c_str()); break;
      case 6: profile.EntryDel(section.c_str(), key.c_str()); break;
      case 7: profile.SectionAdd(section.c_str()); break;
      case 8: profile.SectionDel(section.c_str()); break;
      case 9: {
        std::string bytes = value.empty() ? std::string(1, '\0') : value;
        profile.BinarySectSet(section.c_str(), reinterpret_cast<unsigned char*>(&bytes[0]),
                              static_cast<int>(bytes.size()));
        break;
      }
      case 10: {
        int count = in.ConsumeIntegralInRange(0, 400);
        unsigned char buf[400];
        int got = profile.BinarySectGet(section.c_str(), count ? buf : nullptr, count);
        if (got < 0 || (count && got > count)) abort();
        break;
      }
    }
    std::string now = ReadAll(path);
    if (tooLong ? now != text : now.size() > CProfile::kMaxText) abort();  // never loses a tail
  }
  return 0;
}
