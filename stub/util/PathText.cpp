#include "util/PathText.h"

namespace stub {

namespace {
std::size_t LastSeparator(const std::string& path) { return path.find_last_of("\\/:"); }
}  // namespace

std::string FileNamePart(const std::string& path) {
  const std::size_t sep = LastSeparator(path);
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string FolderPart(const std::string& path) {
  const std::size_t sep = LastSeparator(path);
  return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

std::string WithoutLastExtension(const std::string& name) {
  const std::size_t nameStart = LastSeparator(name) == std::string::npos ? 0 : LastSeparator(name) + 1;
  const std::size_t dot = name.rfind('.');
  return (dot == std::string::npos || dot < nameStart) ? name : name.substr(0, dot);
}

std::string WithoutAllExtensions(const std::string& name) {
  const std::size_t nameStart = LastSeparator(name) == std::string::npos ? 0 : LastSeparator(name) + 1;
  const std::size_t dot = name.find('.', nameStart);
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace stub
