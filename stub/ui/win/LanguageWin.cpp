#include "ui/win/LanguageWin.h"

#include <windows.h>

#include <vector>

#include "ui/LanguageStrings.h"

unsigned ThreadPrimaryLanguage() {
  const LCID locale = GetThreadLocale();
  if (locale == 0) return 9;
  return PRIMARYLANGID(LANGIDFROMLCID(locale));
}

void LangSetupFromPlatform(std::function<std::string()> blockSource) {
  LangSetup(std::move(blockSource), ThreadPrimaryLanguage);
}

std::string IniLangText(const std::string& key, const std::string& def, const std::string& argument) {
  char module[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string folder(module, n);
  folder = folder.substr(0, folder.find_last_of("\\/") + 1);
  const std::string file = folder + "HELP\\English\\Brisel.language.ini";
  std::vector<char> value(4096);
  DWORD got = GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES
                  ? 0
                  : GetPrivateProfileStringA("STRINGS", key.c_str(), "", value.data(),
                                             static_cast<DWORD>(value.size()), file.c_str());
  return ResolveIniLangText(std::string(value.data(), got), def, argument);
}
