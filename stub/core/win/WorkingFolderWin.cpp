#include "core/win/WorkingFolderWin.h"

#include <windows.h>

#include "core/WorkingFolder.h"
#include "util/win/SystemQueries.h"

namespace stub {

namespace {
bool g_made = false;

void CreateFolderWithParents(const std::string& folder) {
  for (std::size_t pos = folder.find('\\', 3); pos != std::string::npos; pos = folder.find('\\', pos + 1))
    CreateDirectoryA(folder.substr(0, pos).c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
}
}  // namespace

const std::string& WorkingFolder() {
  static const std::string folder = [] {
    const std::string name = WorkingFolderName(TemporaryFolder(true), FileDosDateTime(OwnExecutablePath()));
    if (FolderExists(name)) DeleteTree(name);
    CreateFolderWithParents(name);
    g_made = true;
    return name;
  }();
  return folder;
}

void DeleteWorkingFolder() {
  if (g_made) DeleteTree(WorkingFolder());
}

}  // namespace stub
