// How the names inside archives become paths inside the extraction folder.
#include <gtest/gtest.h>

#include <string>

#include "shell/archive/EntryName.h"

namespace qov {
namespace {

TEST(EntryName, ReadsCp932AndUtf8AsTheLookupDoesAndSplitsOnlyAtSeparators) {
  struct Case {
    std::string bytes;
    std::string relative;
    bool renamed;
  };
  const Case cases[] = {
      // "ソフト/表示/ソース" in CP932: each 0x5C ends a character and separates nothing.
      {"\x83\x5C\x83t\x83g/\x95\x5C\x8E\xA6/\x83\x5C\x81[\x83X.QOV", "ソフト/表示/ソース.QOV",
       false},
      {"\x94\x5C\x97\xCD\\\x83\x5C", "能力/ソ", false},                 // a lone "\" separates
      {"\x83\x5C\xFF\x95\x5C\xFFwnatu.QOV", "ソ/表/wnatu.QOV", false},  // LZH's 0xFF
      {"\xE8\xA1\xA8\xE7\xA4\xBA/a", "表示/a", false},                  // UTF-8
      {"\xE3\x81\x8B\xE3\x82\x99", "\xE3\x81\x8C", false},              // NFD becomes NFC
      {"./game//wnatu.QOV", "game/wnatu.QOV", false},
      {"game/", "game", false},
      {"a\x81/b", "a\xEF\xBF\xBD/b", true},  // no character: U+FFFD, and said so
  };
  Cp932Decoder cp932;
  for (const Case& c : cases) {
    const EntryName name = readEntryName(c.bytes, cp932);
    EXPECT_EQ(name.refusal, "") << c.relative;
    EXPECT_EQ(name.relative.native(), c.relative);
    EXPECT_EQ(name.renamed, c.renamed) << c.relative;
  }
  EXPECT_EQ(readEntryName(".", cp932).relative, "");  // the folder itself
}

TEST(EntryName, RefusesNamesThatLeaveTheFolder) {
  const std::string refused[] = {
      "/etc/passwd",         "\\windows\\win.ini", "C:\\autoexec.bat",    "../x",
      "game/../../x",        "a\\..\\..\\x",       "\x83\x5C\xFF..\xFFx", "",
      std::string(256, 'a'),
  };
  Cp932Decoder cp932;
  for (const std::string& bytes : refused) {
    const EntryName name = readEntryName(bytes, cp932);
    EXPECT_NE(name.refusal, "") << bytes;
    EXPECT_EQ(name.relative, "") << bytes;
  }
}

}  // namespace
}  // namespace qov
