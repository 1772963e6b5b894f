// Windows path pieces as plain text operations (portable; "\" and "/" both separate).
#pragma once
#include <string>

namespace stub {

std::string FileNamePart(const std::string& path);          // "C:\a\b.exe" -> "b.exe"
std::string FolderPart(const std::string& path);            // "C:\a\b.exe" -> "C:\a\" (with backslash)
std::string WithoutLastExtension(const std::string& name);  // "a.b.exe" -> "a.b"
std::string WithoutAllExtensions(const std::string& name);  // "a.b.exe" -> "a"

}  // namespace stub
