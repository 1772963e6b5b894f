#include <gtest/gtest.h>

#include "ui/LanguageStrings.h"

namespace {

// Builds a language block: entries separated by 0x02, key=value items by 0x01.
std::string Entry(const std::string& name, const std::vector<std::string>& items) {
  std::string e = "\x01" + name + "\x01";
  for (const auto& i : items) e += i + "\x01";
  return e;
}
std::string Block(const std::vector<std::string>& entries) {
  std::string b = "\x02";
  for (const auto& e : entries) b += e + "\x02";
  return b;
}

const std::string kEnglish = Entry("English", {"Charset=0", "s0=English Title"});
const std::string kGerman = Entry("German", {"Charset=0", "s0=Deutscher Titel"});

TEST(SystemLanguageName, TableLookupByDigits) {
  struct Case { unsigned primary; const char* name; } cases[] = {
      {7, "GERMAN"},                 // padded to "07"
      {9, "ENGLISH"},
      {1, "ARABIC"},
      {26, "CROATIAN"},              // Croatian and Serbian share 26; the first item wins
      {52, "CHINESE(SIMPLIFIED)"},   // Xhosa: "52" first occurs inside 2052
      {10, "SPANISH"},               // not "1028" or "1043": the first item containing "10"
      {99, ""},
      {0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LanguageNameFor(c.primary), c.name) << c.primary;
}

TEST(LanguageChoice, PicksTheEntry) {
  const std::string chinese = Entry("Chinese(Simplified)", {"s0=Chinese"});
  const std::string croatian = Entry(" croatian ", {"s0=Hrvatski"});
  const std::string french = Entry("French", {"s0=Titre"});
  const std::string spanish = Entry("Spanish", {"s0=Titulo"});
  struct Case { std::string block; unsigned primary; const char* entry; } cases[] = {
      {Block({kEnglish, kGerman}), 7, "German"},
      {Block({kGerman, kEnglish}), 9, "English"},
      {Block({kEnglish}), 7, "English"},               // the only entry, whatever the system
      {Block({kGerman}), 12, "German"},
      {Block({chinese, kEnglish}), 52, "Chinese(Simplified)"},
      {Block({kGerman, kEnglish}), 52, "English"},
      {Block({croatian, kEnglish}), 26, "croatian"},    // trimmed, case-insensitive
      {Block({french, spanish}), 9, ""},                // neither system language nor English
      {Block({french, spanish}), 10, "Spanish"},
      {"", 9, ""},
      {"garbage", 9, ""},
  };
  for (const auto& c : cases) {
    LanguageStrings s(c.block, c.primary);
    EXPECT_EQ(s.EntryName(), c.entry) << c.primary;
    EXPECT_EQ(s.HasEntry(), std::string(c.entry) != "");
  }
}

TEST(LanguageLookup, KeysBlanksAndDefaults) {
  const std::string block = Block({Entry("English", {
      " s1 =Extracting", "s2  =  two blanks kept", "S3=upper key", "s4=", "s5=first", "s5=second",
      "FontSize=", "Charset=abc", "FontName=Arial"})});
  LanguageStrings s(block, 9);
  struct Case { const char* key; const char* def; const char* want; } cases[] = {
      {"s1", "d", "Extracting"},           // blanks after the separator and before "=" go
      {"s2", "d", "  two blanks kept"},   // blanks after "=" stay
      {"s3", "d", "upper key"},            // case-insensitive
      {"s4", "d", ""},                     // present and empty: empty, not the default
      {"s5", "d", "first"},
      {"s6", "d", "d"},
      {"s5=", "d", "first"},               // a key ending in "=" gets no second one
      {"FontSize", "8", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(s.Text(c.key, c.def), c.want) << c.key;
  EXPECT_EQ(s.FontSize(), 8);   // empty text: the integer default
  EXPECT_EQ(s.Charset(), 0);    // not a number
  EXPECT_EQ(s.FontName(), "Arial");
}

TEST(LanguageLookup, NoEntryGivesBuiltInDefaults) {
  LanguageStrings s(Block({Entry("French", {"s0=Titre", "Charset=177"}), Entry("Spanish", {"s0=Titulo"})}), 9);
  EXPECT_EQ(s.Charset(), 0);
  EXPECT_EQ(s.FontSize(), 8);
  EXPECT_EQ(s.FontName(), "Tahoma");
  EXPECT_EQ(s.Text("s0", LanguageDefault("s0")), "Brisel Installation Suite");
}

TEST(LanguageDefaults, EveryKeyHasItsText) {
  struct Case { const char* key; const char* text; } cases[] = {
      {"Charset", "0"}, {"FontSize", "8"}, {"FontName", "Tahoma"},
      {"s0", "Brisel Installation Suite"}, {"s1", "Extracting Files..."},
      {"s7", "Bad CRC!<P>This indicates that your setup file might be corrupted..."},
      {"s8", "Please insert <B>DISK #<DISK_NUM></B> and press OK to continue"},
      {"s10", "Downloading File..."},
      {"s12", "No valid Internet Connection.<p>Can not Download File!"},
      {"BtnText", "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|"},
      {"Attention", "Attention"}, {"Confirm", "Confirm"}, {"Error", "Error"},
      {"s9", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LanguageDefault(c.key), c.text) << c.key;
}

TEST(ProcessWideLanguage, ChoosesOnceFromTheSources) {
  int blockReads = 0;
  std::string block = Block({kEnglish, Entry("German", {"Charset=178", "FontSize=11", "s0=Titel"})});
  LangSetup([&] { ++blockReads; return block; }, [] { return 7u; });
  EXPECT_EQ(LangText("s0"), "Titel");
  EXPECT_EQ(LangCharset(), 178);
  EXPECT_EQ(LangFontSize(), 11);
  EXPECT_EQ(LangFontName(), "Tahoma");
  EXPECT_EQ(LangText("s1"), "Extracting Files...");
  EXPECT_EQ(SystemLanguageName(), "GERMAN");
  block.clear();                       // later changes of the source do not matter
  EXPECT_EQ(LangText("s0"), "Titel");
  EXPECT_EQ(blockReads, 1);
  LangReset();
  EXPECT_EQ(LangText("s0"), "Brisel Installation Suite");
  LangSetup(nullptr, nullptr);         // nothing set up: English system, no block
  EXPECT_EQ(LangText("s0"), "Brisel Installation Suite");
  EXPECT_EQ(SystemLanguageName(), "ENGLISH");
}

TEST(IniLangText, ValuesAndPlaceholder) {
  const char* def = "RunTimeDir (<?>)<P><P>Not Found!";
  struct Case { const char* raw; const char* want; } cases[] = {
      {"", "RunTimeDir (C:\\X)<P><P>Not Found!"},
      {"Dir <?> missing, <?>", "Dir C:\\X missing, C:\\X"},
      {"|  kept blanks  |", "  kept blanks  "},
      {"|", ""},
      {"|only leading", "|only leading"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolveIniLangText(c.raw, def, "C:\\X"), c.want) << c.raw;
  EXPECT_EQ(ResolveIniLangText("a<?>b", "", "<?>"), "a<?>b");  // an argument holding the marker
}

}  // namespace
