// INI files as the game's qov.ini and the user's settings are read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/IniFile.h"

namespace qov {
namespace {

TEST(IniFile, ReadsSectionsKeysAndTheirLines) {
  const IniFile ini = IniFile::parse(
      "\xEF\xBB\xBF; a comment\r\n"
      "top = before any section\r\n"
      "[Game]\r\n"
      "Title = \xE5\xA4\x8F\xE7\x81\xAF\xE3\x82\x8A  \r\n"
      "# another comment\n"
      "icon: icon.png\n"
      "icon = second.png\n"
      "items = sheet.gif ; inline comment\n"
      "notes = one\n"
      "  two\n"
      "[window]\n"
      "scale=2");
  ASSERT_TRUE(ini.ok()) << ini.error();
  EXPECT_EQ(ini.get("", "top"), "before any section");
  const IniFile::Value* title = ini.find("game", "TITLE");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text, "\xE5\xA4\x8F\xE7\x81\xAF\xE3\x82\x8A");
  EXPECT_EQ(title->line, 4);
  EXPECT_EQ(ini.get("game", "icon"), "second.png");
  EXPECT_EQ(ini.find("game", "icon")->line, 7);
  EXPECT_EQ(ini.get("game", "items"), "sheet.gif");
  EXPECT_EQ(ini.get("game", "notes"), "one\ntwo");
  EXPECT_EQ(ini.get("window", "scale"), "2");
  EXPECT_EQ(ini.get("window", "title"), std::nullopt);
  EXPECT_EQ(ini.get("nowhere", "scale"), std::nullopt);
  ASSERT_NE(ini.section("GAME"), nullptr);
  EXPECT_EQ(ini.section("game")->size(), 4u);
}

TEST(IniFile, NamesTheLineOfAFault) {
  const struct {
    std::string text;
    int line;
    const char* why;
  } cases[] = {
      {std::string("[game]\ntitle = x\njust words\ncursor = c.png\n"), 3, "key = value"},
      {std::string("[game\ntitle = x\n"), 1, "closing \"]\""},
      {"[game]\r\n\r\ntitle = " + std::string(300, 'x') + "\r\n", 3, "longer than"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const IniFile ini = IniFile::parse(c.text);
    EXPECT_EQ(ini.status(), IniFile::Status::SyntaxError);
    EXPECT_EQ(ini.errorLine(), c.line);
    EXPECT_NE(ini.error().find(c.why), std::string::npos) << ini.error();
  }
  // The good lines around a fault are still read.
  EXPECT_EQ(IniFile::parse(cases[0].text).get("game", "cursor"), "c.png");
}

// An indented line before any key continues nothing: it is a value of its own, on its line.
TEST(IniFile, AnIndentedLineBeforeAnyKeyIsItsOwn) {
  const IniFile ini = IniFile::parse("; settings\n = 9\n[game]\n  = x\n");
  const IniFile::Value* top = ini.find("", "");
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->text, "9");
  EXPECT_EQ(top->line, 2);
  const IniFile::Value* game = ini.find("game", "");
  ASSERT_NE(game, nullptr);
  EXPECT_EQ(game->text, "x");
  EXPECT_EQ(game->line, 4);
}

TEST(IniFile, TellsAMissingFileFromAnUnreadableOne) {
  const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "qov-ini-test";
  std::filesystem::create_directories(dir / "folder.ini");
  std::ofstream(dir / "good.ini") << "[game]\ntitle=t\n";

  EXPECT_EQ(IniFile::read(dir / "absent.ini").status(), IniFile::Status::Missing);
  const IniFile folder = IniFile::read(dir / "folder.ini");
  EXPECT_EQ(folder.status(), IniFile::Status::Unreadable);
  EXPECT_FALSE(folder.error().empty());
  EXPECT_EQ(IniFile::read(dir / "good.ini").get("game", "title"), "t");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qov
