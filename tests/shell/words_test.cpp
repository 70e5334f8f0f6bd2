// The player's own words: the language chosen from the setting or the locale variables, and the
// catalog that turns the English of the sources into Japanese.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/shell/WordsTestSupport.h"

namespace qov::test {
namespace {

// Every test of the shell starts with the Japanese words its goldens show.
class JapaneseWords final : public ::testing::Environment {
 public:
  void SetUp() override {
    useCatalogs(QOV_LOCALE_DIR);
    useLanguage(Language::Japanese);
  }
};
[[maybe_unused]] ::testing::Environment* const kJapanese =
    ::testing::AddGlobalTestEnvironment(new JapaneseWords);

TEST(Words, TheSettingWinsElseTheFirstLocaleVariableSet) {
  using V = std::map<std::string, std::string>;
  const struct {
    Language setting;
    V variables;
    Language expected;
  } cases[] = {
      {Language::Automatic, {}, Language::English},
      {Language::Automatic, {{"LANGUAGE", "ja"}, {"LANG", "en_US.UTF-8"}}, Language::Japanese},
      {Language::Automatic, {{"LANGUAGE", "en"}, {"LC_ALL", "ja_JP.UTF-8"}}, Language::English},
      // Empty is not set: the next one counts.
      {Language::Automatic, {{"LANGUAGE", ""}, {"LC_ALL", "ja_JP.UTF-8"}}, Language::Japanese},
      {Language::Automatic, {{"LC_MESSAGES", "ja_JP.eucJP"}, {"LANG", "C"}}, Language::Japanese},
      {Language::Automatic, {{"LANG", "ja_JP.UTF-8"}}, Language::Japanese},
      {Language::Automatic, {{"LANG", "C"}}, Language::English},
      {Language::Automatic, {{"LC_ALL", "POSIX"}, {"LANG", "ja_JP.UTF-8"}}, Language::English},
      {Language::Automatic, {{"LANGUAGE", "de:ja"}}, Language::English},
      {Language::English, {{"LANGUAGE", "ja"}}, Language::English},
      {Language::Japanese, {{"LANG", "C"}}, Language::Japanese},
  };
  for (const auto& c : cases) {
    const auto lookUp = [&](const char* name) -> const char* {
      const auto at = c.variables.find(name);
      return at == c.variables.end() ? nullptr : at->second.c_str();
    };
    EXPECT_EQ(resolveLanguage(c.setting, lookUp), c.expected)
        << languageWord(c.setting) << " with " << c.variables.size() << " variables";
  }
}

TEST(Words, TheSettingsWordsReadBack) {
  for (const Language each : {Language::Automatic, Language::Japanese, Language::English}) {
    EXPECT_EQ(languageOfWord(languageWord(each)), each);
  }
  EXPECT_EQ(languageOfWord("jp"), std::nullopt);
  EXPECT_EQ(languageOfWord(""), std::nullopt);
}

TEST(Words, JapaneseComesFromTheCatalogEnglishFromTheSources) {
  {
    const WordsIn english(Language::English);
    EXPECT_EQ(tr(U"Continue"), U"Continue");
    EXPECT_EQ(tr8("unknown option '{}'"), "unknown option '{}'");
  }
  const WordsIn japanese(Language::Japanese);
  EXPECT_EQ(tr(U"Continue"), U"続ける");
  EXPECT_EQ(tr8("--seed belongs to --autoplay"), "--seed は --autoplay と一緒に使います");
  EXPECT_EQ(tr(U"No such words in the catalog"), U"No such words in the catalog");
  EXPECT_EQ(tr(U""), U"");  // never the catalog's header
  EXPECT_EQ(fill(tr(U"History {}/{}"), {U"2", U"7"}), U"履歴 2/7");
  EXPECT_EQ(fill8("{} and {} and {}", {"a", "b"}), "a and b and {}");
}

}  // namespace
}  // namespace qov::test
