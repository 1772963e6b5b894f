#include "ui/LanguageStrings.h"

#include <cstdlib>
#include <map>
#include <memory>

#include "util/SelfDelimitedList.h"

namespace {

const char* const kLanguageTable =
    "|AFRIKAANS    = 54|ALBANIAN     = 28|ARABIC       = 01|BASQUE       = 45|BELARUSIAN   = 35"
    "|BULGARIAN    = 02|CATALAN      = 03|CHINESE      = 04|CROATIAN     = 26|CZECH        = 05"
    "|DANISH       = 06|DUTCH        = 19|ENGLISH      = 09|ESTONIAN     = 37|FAEROESE     = 56"
    "|FARSI        = 41|FINNISH      = 11|FRENCH       = 12|GERMAN       = 07|GREEK        = 08"
    "|HEBREW       = 13|HUNGARIAN    = 14|ICELANDIC    = 15|INDONESIAN   = 33|ITALIAN      = 16"
    "|JAPANESE     = 17|KOREAN       = 18|LATVIAN      = 38|LITHUANIAN   = 39|NORWEGIAN    = 20"
    "|POLISH       = 21|PORTUGUESE   = 22|ROMANIAN     = 24|RUSSIAN      = 25|SERBIAN      = 26"
    "|SLOVAK       = 27|SLOVENIAN    = 36|SPANISH      = 10|SWEDISH      = 29|THAI         = 30"
    "|TURKISH      = 31|UKRAINIAN    = 34|VIETNAMESE   = 42|CHINESE(SIMPLIFIED)  = 2052"
    "|CHINESE(TRADITIONAL) = 1028|DUTCH(FLEMISH)       = 2067|DUTCH(STANDARD)      = 1043"
    "|PORTUGUESE(PORTUGAL) = 2070|PORTUGUESE(BRAZIL)   = 1046|SERBIAN(LATIN)       = 2074"
    "|SERBIAN(CYRILIC)     = 3098|";

const std::map<std::string, std::string>& Defaults() {
  static const std::map<std::string, std::string> d = {
      {"CHARSET", "0"},
      {"FONTSIZE", "8"},
      {"FONTNAME", "Tahoma"},
      {"S0", "Brisel Installation Suite"},
      {"S1", "Extracting Files..."},
      {"S2", "Brisel will extract files to your Temp Drive (<DRIVE>)<P>"},
      {"S3", "Limited Free Space on your Temp Drive! (<DRIVE>)<P>"},
      {"S4", "<P>Estimated space required on your Temp drive is: <T>  <SPACE_REQ> MB<P>"},
      {"S5", "Free space available on your Temp drive is: <T>  <SPACE_AVAIL> MB<P>"},
      {"S6", "<P>Continue with Setup?<P>"},
      {"S7", "Bad CRC!<P>This indicates that your setup file might be corrupted..."},
      {"S8", "Please insert <B>DISK #<DISK_NUM></B> and press OK to continue"},
      {"S10", "Downloading File..."},
      {"S11",
       "<b>INTERNET DOWNLOAD</b><p><p>Brisel will download the Setup File from the Internet...<p>"
       "Please make sure your Internet connection is properly set.<p><p>Continue with Setup?<p><P>"
       "Size: <SIZE> MB<P>"},
      {"S12", "No valid Internet Connection.<p>Can not Download File!"},
      {"BTNTEXT", "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|"},
      {"ATTENTION", "Attention"},
      {"CONFIRM", "Confirm"},
      {"ERROR", "Error"},
  };
  return d;
}

// Integer of a whole decimal text (optional sign and surrounding blanks); def otherwise.
int ToInt(const std::string& text, int def) {
  const std::string t = SelfDelimitedList::Trim(text);
  if (t.empty()) return def;
  char* end = nullptr;
  long v = std::strtol(t.c_str(), &end, 10);
  if (*end != '\0' || v < -2147483647L || v > 2147483647L) return def;
  return static_cast<int>(v);
}

std::string Upper(const std::string& s) { return SelfDelimitedList::Upper(s); }

}  // namespace

std::string LanguageNameFor(unsigned primaryLanguage) {
  std::string digits = std::to_string(primaryLanguage);
  if (digits.size() < 2) digits.insert(0, 2 - digits.size(), '0');
  for (const std::string& item : SelfDelimitedList::Fields(kLanguageTable)) {
    if (item.find(digits) == std::string::npos) continue;
    return SelfDelimitedList::Trim(item.substr(0, item.find('=')));
  }
  return "";
}

std::string LanguageDefault(const std::string& key) {
  auto it = Defaults().find(Upper(key));
  return it == Defaults().end() ? std::string() : it->second;
}

LanguageStrings::LanguageStrings(const std::string& block, unsigned primaryLanguage) {
  const std::vector<std::string> entries = SelfDelimitedList::Fields(block);
  auto find = [&](const std::string& name) -> int {
    const std::string want = Upper(SelfDelimitedList::Trim(name));
    if (want.empty()) return -1;
    for (size_t i = 0; i < entries.size(); ++i)
      if (Upper(SelfDelimitedList::Trim(SelfDelimitedList::Field(entries[i], 0))) == want)
        return static_cast<int>(i);
    return -1;
  };
  int chosen = find(LanguageNameFor(primaryLanguage));
  if (chosen < 0 && SelfDelimitedList::Count(block) == 1 && !entries.empty()) chosen = 0;
  if (chosen < 0) chosen = find("English");
  if (chosen < 0) return;
  m_entry = entries[chosen];
  m_name = SelfDelimitedList::Trim(SelfDelimitedList::Field(m_entry, 0));
}

std::string LanguageStrings::Text(const std::string& key, const std::string& def) const {
  if (m_entry.empty() || key.empty()) return def;
  return SelfDelimitedList::Value(m_entry, key, def, "");
}

int LanguageStrings::Charset() const { return ToInt(Text("Charset", "0"), 0); }
int LanguageStrings::FontSize() const { return ToInt(Text("FontSize", "8"), 8); }
std::string LanguageStrings::FontName() const { return Text("FontName", "Tahoma"); }

namespace {

std::function<std::string()> g_blockSource;
std::function<unsigned()> g_primarySource;
std::unique_ptr<LanguageStrings> g_chosen;
unsigned g_primary = 9;

const LanguageStrings& Chosen() {
  if (!g_chosen) {
    g_primary = g_primarySource ? g_primarySource() : 9;
    g_chosen = std::make_unique<LanguageStrings>(g_blockSource ? g_blockSource() : std::string(), g_primary);
  }
  return *g_chosen;
}

}  // namespace

void LangSetup(std::function<std::string()> blockSource, std::function<unsigned()> primaryLanguageSource) {
  g_blockSource = std::move(blockSource);
  g_primarySource = std::move(primaryLanguageSource);
  g_chosen.reset();
}

void LangReset() { g_chosen.reset(); }

std::string LangText(const std::string& key, const std::string& def) { return Chosen().Text(key, def); }
std::string LangText(const std::string& key) { return Chosen().Text(key, LanguageDefault(key)); }
int LangCharset() { return Chosen().Charset(); }
int LangFontSize() { return Chosen().FontSize(); }
std::string LangFontName() { return Chosen().FontName(); }

std::string SystemLanguageName() {
  return LanguageNameFor(g_primarySource ? g_primarySource() : 9);
}

std::string ResolveIniLangText(const std::string& rawValue, const std::string& def, const std::string& argument) {
  std::string value = rawValue;
  if (value.empty()) {
    value = def;
  } else if (value == "|") {
    value.clear();
  } else if (value.size() >= 2 && value.front() == '|' && value.back() == '|') {
    value = value.substr(1, value.size() - 2);
  }
  for (size_t pos = value.find("<?>"); pos != std::string::npos; pos = value.find("<?>", pos + argument.size()))
    value.replace(pos, 3, argument);
  return value;
}
