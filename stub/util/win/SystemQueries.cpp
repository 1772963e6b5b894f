#include "util/win/SystemQueries.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "util/DebugLog.h"
#include "util/PathText.h"
#include "util/SelfDeleteBatch.h"

namespace stub {

std::string OwnExecutablePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::string TemporaryFolder(bool trailingBackslash) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathA(sizeof buffer, buffer);
  std::string folder = (n > 0 && n < sizeof buffer) ? std::string(buffer, n) : std::string();
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (trailingBackslash && !folder.empty()) folder += '\\';
  return folder;
}

std::string FileVersionText(const std::string& path, int parts) {
  const std::string file = path.empty() ? OwnExecutablePath() : path;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
  std::vector<char> data(size ? size : 1);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) || info == nullptr ||
      infoSize < sizeof(VS_FIXEDFILEINFO)) {
    LogLine("Utils.GetExeVersion() - no version information in " + file);
    return std::string();
  }
  const unsigned values[4] = {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                              HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
  if (parts < 1) parts = 1;
  if (parts > 4) parts = 4;
  std::string text;
  for (int i = 0; i < parts; ++i) text += (i ? "." : "") + std::to_string(values[i]);
  return text;
}

std::uint32_t FileDosDateTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes)) return 0;
  FILETIME local;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&attributes.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
    return 0;
  return (static_cast<std::uint32_t>(date) << 16) | time;
}

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteTree(const std::string& folder, bool clearAttributes) {
  if (folder.empty() || !FolderExists(folder)) return false;
  std::string base = folder;
  while (!base.empty() && base.back() == '\\') base.pop_back();
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((base + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = base + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(full, clearAttributes);
      } else {
        if (clearAttributes) SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(base.c_str());
  return !FolderExists(base);
}

namespace {
std::string ShortName(const std::string& path) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
  return (n > 0 && n < sizeof buffer) ? std::string(buffer, n) : path;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}
}  // namespace

bool StartSelfDelete(bool removeFolder, bool shortNames) {
  const std::string temp = TemporaryFolder(true);
  std::string batch = temp + kSelfDeleteBatchName;
  std::string stubPath = OwnExecutablePath();
  std::string stubFolder = FolderPart(stubPath);
  while (stubFolder.size() > 3 && stubFolder.back() == '\\') stubFolder.pop_back();
  std::string quote = "\"";
  if (shortNames) {
    WriteWholeFile(batch, "ABC\r\n");  // the file must exist to have a short name
    batch = ShortName(batch);
    stubPath = ShortName(stubPath);
    stubFolder = ShortName(stubFolder);
    quote.clear();
    DeleteFileA(batch.c_str());
  }
  SetCurrentDirectoryA(temp.c_str());  // so that the stub's folder is not in use
  if (!WriteWholeFile(batch, SelfDeleteBatchText(batch, stubPath, stubFolder, removeFolder, quote))) return false;
  const std::string command = quote + batch + quote;
  return WinExec(command.c_str(), SW_HIDE) > 31;
}

}  // namespace stub
