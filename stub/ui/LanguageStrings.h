// Texts of the stub's dialogs in the package's language: choice of the language entry,
// key lookup with built-in defaults, the dialog font, and the optional language ini file.
#pragma once
#include <functional>
#include <string>

// Name of a language from the fixed language-name table for a primary language number
// (the locale with the sub-language bits removed), or empty when the table lacks it.
std::string LanguageNameFor(unsigned primaryLanguage);

// Built-in default of a language key ("" for keys without one).
std::string LanguageDefault(const std::string& key);

// One language block with its chosen entry. The choice: the entry named like the system
// language, else the only entry, else "English", else none (every key yields its default).
class LanguageStrings {
 public:
  LanguageStrings(const std::string& block, unsigned primaryLanguage);

  bool HasEntry() const { return !m_entry.empty(); }
  const std::string& EntryName() const { return m_name; }

  // The key's value in the entry; an empty value stays empty; a missing key gives def.
  std::string Text(const std::string& key, const std::string& def) const;
  int Charset() const;
  int FontSize() const;
  std::string FontName() const;

 private:
  std::string m_entry;  // the chosen entry (a list with its own separator) or empty
  std::string m_name;
};

// Process-wide lookup. The block and the platform's primary language are asked for once,
// on the first lookup; until `LangSetup` is called the block is empty and the language 9.
void LangSetup(std::function<std::string()> blockSource, std::function<unsigned()> primaryLanguageSource);
// Forgets the choice so that the next lookup chooses again (tests).
void LangReset();

std::string LangText(const std::string& key, const std::string& def);
// LangText with the key's built-in default.
std::string LangText(const std::string& key);
int LangCharset();
int LangFontSize();
std::string LangFontName();
std::string SystemLanguageName();

// Value of the language ini file as read from the file ("" when missing): a value
// enclosed in "|" is taken without them, a single "|" is an empty text; a missing value
// gives def; every "<?>" is replaced by the argument.
std::string ResolveIniLangText(const std::string& rawValue, const std::string& def, const std::string& argument);
