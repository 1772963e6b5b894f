// Platform side of the language strings: the thread locale, the language ini file, and the
// installation of the user interface into the stub's main flow.
#pragma once
#include <functional>
#include <string>

// Primary language number of the thread locale (9 when none is set).
unsigned ThreadPrimaryLanguage();

// Makes the language lookup read the given block source with the thread locale.
void LangSetupFromPlatform(std::function<std::string()> blockSource);

// Value of `key` in "HELP\English\Brisel.language.ini" (section "STRINGS") of the program
// folder; def when the file or value is missing; "<?>" replaced by the argument.
std::string IniLangText(const std::string& key, const std::string& def, const std::string& argument);
