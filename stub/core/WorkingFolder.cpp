#include "core/WorkingFolder.h"

namespace stub {

std::string WorkingFolderName(const std::string& tempFolder, std::uint32_t dosDateTime) {
  std::string folder = tempFolder;
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder + "\\SETUP_" + std::to_string(dosDateTime & 0xFFFFu);
}

}  // namespace stub
