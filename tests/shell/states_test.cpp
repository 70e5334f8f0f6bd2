// The player's save states: their files (nothing of one trusted), quick save and load, the
// slots, the autosave at closing and the resume from it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "shell/states/SlotScreen.h"
#include "tests/shell/StatesTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

constexpr std::u32string_view kGame =
    U"LET,3,7\n"
    U"MES,一ページ目の文です。￥\n"
    U"MES,二ページ目の文です。￥\n"
    U"MES,三ページ目。￥\n"
    U"EXIT\n";

struct Game {
  TempDir dir;
  Game() { writeScript(dir.path(), "wnatu", kGame); }
};

SavedState fullState() {
  SavedState s;
  s.title = "夏灯り";
  s.scriptsHash = "0123456789abcdef";
  s.takenAt = 1'700'000'000;
  s.pageStart = U"一ページ目";
  s.thumbnailPng = std::string("\x89PNG\r\n\x1a\n\0\xff", 10);
  GameSnapshot& g = s.snapshot;
  auto lines = std::make_shared<std::vector<std::u32string>>(2001);
  (*lines)[0] = U"MES,「名前」ＡＢＣ￥";
  (*lines)[2000] = U"EXIT";
  g.lines = lines;
  g.scriptFile = "sub/natu1.QOV";
  g.lineNo = 2000;
  g.caseEndLine = -1;
  g.returnLine = 12;
  g.memory.vars[30] = -32768;
  g.memory.itemCounts[16] = 32767;
  g.memory.itemNames[5] = U"古い鍵";
  g.menuText[9][4] = U"＊帰る";
  g.menuShown = 1;
  g.header = U"コマンド";
  g.entries[2] = U"調べる";
  g.writing.speakerNames[15] = U"ナツ";
  g.writing.foreColor = 0xFFFF00FFu;
  auto message = std::make_shared<GameSnapshot::Message>();
  message->text = U"＃５あいう";
  message->memory.vars[0] = 4;
  message->itemWait = 1;
  g.message = message;
  g.picture = U"海.SZG";
  g.pictureHash = 0xFEDCBA9876543210ull;
  g.musicPiece = U"祭";
  g.musicMode = 1;
  g.loopingSound = U"波.wav";
  g.loopingSoundFlags = 9;
  g.wait = GameSnapshot::Wait::Items;
  g.page = 4'000'000'000u;
  g.menu = 3;
  g.menuPage = 1;
  g.menuLabel = 2;
  return s;
}

TEST(StateFile, KeepsEveryFieldOfTheState) {
  const SavedState s = fullState();
  const std::string bytes = encodeState(s);
  ASSERT_FALSE(bytes.empty());
  const auto read = decodeState(bytes);
  ASSERT_TRUE(std::holds_alternative<SavedState>(read)) << std::get<std::string>(read);
  const SavedState& r = std::get<SavedState>(read);
  EXPECT_EQ(r.title, s.title);
  EXPECT_EQ(r.scriptsHash, s.scriptsHash);
  EXPECT_EQ(r.takenAt, s.takenAt);
  EXPECT_EQ(r.pageStart, s.pageStart);
  EXPECT_EQ(r.thumbnailPng, s.thumbnailPng);
  const GameSnapshot& a = r.snapshot;
  const GameSnapshot& b = s.snapshot;
  EXPECT_EQ(*a.lines, *b.lines);
  EXPECT_EQ(std::tie(a.scriptFile, a.lineNo, a.caseEndLine, a.returnLine, a.memory, a.menuText,
                     a.menuShown, a.header, a.entries, a.writing, a.itemSel, a.itemWait),
            std::tie(b.scriptFile, b.lineNo, b.caseEndLine, b.returnLine, b.memory, b.menuText,
                     b.menuShown, b.header, b.entries, b.writing, b.itemSel, b.itemWait));
  ASSERT_TRUE(a.message);
  EXPECT_EQ(*a.message, *b.message);
  EXPECT_EQ(std::tie(a.picture, a.pictureHash, a.musicPiece, a.musicMode, a.loopingSound,
                     a.loopingSoundFlags, a.wait, a.page, a.menu, a.menuPage, a.menuLabel),
            std::tie(b.picture, b.pictureHash, b.musicPiece, b.musicMode, b.loopingSound,
                     b.loopingSoundFlags, b.wait, b.page, b.menu, b.menuPage, b.menuLabel));
}

TEST(StateFile, RefusesWhatIsDamagedOrForeignAndSaysWhy) {
  const std::string good = encodeState(fullState());
  const auto edited = [&](const std::string& from, const std::string& to) {
    std::string s = good;
    const std::size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? s : s.replace(at, from.size(), to);
  };
  const struct {
    std::string bytes;
    std::string why;
  } cases[] = {
      {good.substr(0, good.size() / 2), "not JSON"},
      {"{\"format\":\"other\",\"version\":1}", "not a save state of qov"},
      {edited("\"version\":1", "\"version\":2"), "version 2"},
      {edited("\"lines\":[\"", "\"lines\":[\"\",\""), "game.lines: not 2001 entries"},
      {edited("\"lineNo\":2000", "\"lineNo\":2001"), "game.lineNo: not from 0 to 2000"},
      {edited("-32768", "-32769"), "game.memory.vars[30]"},
      {edited("\"menuShown\":1", "\"menuShown\":\"1\""), "game.menuShown: not a whole number"},
      {edited("\"wait\":\"items\"", "\"wait\":\"sleep\""), "game.wait"},
      {edited("sub/natu1.QOV", "../natu1.QOV"), "game.scriptFile"},
      {edited("古い鍵", "\xff\xfe"), "not JSON"},
      {edited("\"thumbnail\":\"", "\"thumbnail\":\"*"), "thumbnail: not base64"},
      {edited("\"pictureHash\":\"fedc", "\"pictureHash\":\"xedc"), "game.pictureHash"},
      {good + std::string(kMostStateBytes, ' '), "larger than 200 KB"},
  };
  for (const auto& c : cases) {
    const auto read = decodeState(c.bytes);
    ASSERT_TRUE(std::holds_alternative<std::string>(read)) << c.why;
    EXPECT_NE(std::get<std::string>(read).find(c.why), std::string::npos)
        << std::get<std::string>(read);
  }
  TempDir dir;
  std::ofstream(dir.path() / "slot01.json") << "{";
  const auto read = readStateFile(dir.path() / "slot01.json");
  ASSERT_TRUE(std::holds_alternative<std::string>(read));
  EXPECT_EQ(std::get<std::string>(read).rfind((dir.path() / "slot01.json").string() + ": ", 0), 0u);
}

TEST(StateFile, ScriptsHashFollowsTheScriptsOnly) {
  Game a;
  const std::string first = scriptsHash(a.dir.path());
  std::ofstream(a.dir.path() / "notes.txt") << "not a script";
  EXPECT_EQ(scriptsHash(a.dir.path()), first);
  writeScript(a.dir.path(), "natu1", U"EXIT");
  const std::string second = scriptsHash(a.dir.path());
  EXPECT_NE(second, first);
  writeScript(a.dir.path(), "natu1", U"EXIT ");
  EXPECT_NE(scriptsHash(a.dir.path()), second);
  EXPECT_EQ(second.size(), 16u);
}

TEST(StateFile, ABase64TextGoesBothWays) {
  for (const std::string bytes : {"", "a", "ab", "abc", "\xff\x00\x10\x80"}) {
    std::string back;
    ASSERT_TRUE(fromBase64(toBase64(bytes), back));
    EXPECT_EQ(back, bytes);
  }
  std::string out;
  for (const char* bad : {"abc", "a=bc", "ab=c", "====", "ab\ncd"})
    EXPECT_FALSE(fromBase64(bad, out));
}

TEST(States, F5KeepsTheWaitAndF9GoesBackToIt) {
  Game game;
  StatesWindow w(game.dir.path());
  std::uint32_t firstPage = 0;
  w.then([&] {
    w.game.opening = true;  // as in the opening: refused in a short notice
    w.platform.key(Key::F5);
    w.platform.key(Key::F9);
  });
  w.then([&] {
    EXPECT_NE(w.states.lastToast().find(U"オープニング"), std::u32string::npos);
    EXPECT_FALSE(fs::exists(w.states.fileOf("quick")));
    w.game.opening = false;
    w.platform.key(Key::F9);
  });
  w.then([&] {
    EXPECT_EQ(w.states.lastToast(), U"クイックセーブがありません");
    firstPage = static_cast<std::uint32_t>(w.game.waitsTold);
    w.platform.key(Key::F5);
  });
  w.then([&] {
    EXPECT_EQ(w.states.lastToast(), U"クイックセーブしました");
    w.states.finishWrites();
    const auto read = readStateFile(w.states.fileOf("quick"));
    ASSERT_TRUE(std::holds_alternative<SavedState>(read));
    const SavedState& s = std::get<SavedState>(read);
    EXPECT_EQ(s.pageStart, U"一ページ目の文です。");
    EXPECT_EQ(s.snapshot.memory.vars[3], 7);
    EXPECT_EQ(s.scriptsHash, scriptsHash(game.dir.path()));
    EXPECT_FALSE(s.thumbnailPng.empty());
    w.click(w.c.MES);
  });
  w.then([&] {
    // The notice closes by itself on the timer.
    EXPECT_TRUE(w.states.toastText().empty());
    w.platform.key(Key::F9);
  });
  EXPECT_EQ(w.run(), 0);
  ASSERT_TRUE(w.game.restored);
  EXPECT_EQ(w.game.restored->page, firstPage);
  for (const auto& entry : fs::directory_iterator(game.dir.path())) {
    EXPECT_NE(entry.path().extension(), ".json");  // nothing in the game's folder
  }
}

TEST(States, AStateOfOtherScriptsOrDamagedIsNamedInANoticeAndTheGameGoesOn) {
  Game game;
  TempDir states;
  {
    StatesWindow w(game.dir.path());
    w.states.open(game.dir.path(), states.path());
    w.then([&] { w.platform.key(Key::F5); });
    w.then([&] { w.platform.closeWindow(); });
    w.run();
  }
  writeScript(game.dir.path(), "wnatu", std::u32string(kGame) + U"REM\n");
  std::ofstream(states.path() / "slot02.json") << "{\"format\": \"qov-state\"";
  StatesWindow w(game.dir.path());
  w.states.open(game.dir.path(), states.path());
  const auto noticeSays = [&](std::u32string_view words) {
    const auto* notice = dynamic_cast<const NoticeScreen*>(w.shell.screens().top());
    ASSERT_NE(notice, nullptr);
    std::u32string all;
    for (const auto& line : notice->lines()) all += line;
    EXPECT_NE(all.find(words), std::u32string::npos) << toUtf8(all);
  };
  w.then([&] { w.platform.key(Key::F9); });
  w.then([&] {
    noticeSays(U"スクリプトが変わる前");
    w.platform.key(Key::Enter);
  });
  w.then([&] {
    w.states.load("slot02");
    noticeSays(fromUtf8((states.path() / "slot02.json").string()));
    w.platform.key(Key::Enter);
    w.platform.key(Key::F5);  // with these scripts
  });
  w.then([&] {
    w.game.refuse = "the picture 海.SZG is gone";
    w.platform.key(Key::F9);
  });
  w.then([&] {
    noticeSays(U"海.SZG");
    w.platform.key(Key::Enter);
    w.click(w.c.MES);
  });
  w.then([&] { w.click(w.c.MES); });
  w.then([&] { w.click(w.c.MES); });
  EXPECT_EQ(w.run(), 0);
  EXPECT_FALSE(w.game.restored);
  EXPECT_TRUE(w.window.endedByScript());
}

TEST(States, ClosingKeepsTheLastWaitForResumeButTheGamesExitDoesNot) {
  Game game;
  TempDir states;
  std::uint32_t secondPage = 0;
  {
    StatesWindow w(game.dir.path());
    w.states.open(game.dir.path(), states.path());
    w.then([&] { w.click(w.c.MES); });
    w.then([&] {
      secondPage = static_cast<std::uint32_t>(w.game.waitsTold);
      w.platform.closeWindow();
    });
    EXPECT_EQ(w.run(), 0);
  }
  {
    StatesWindow w(game.dir.path());
    w.states.open(game.dir.path(), states.path());
    const std::optional<GameSnapshot> from = w.states.resumeState();
    ASSERT_TRUE(from);
    EXPECT_EQ(from->page, secondPage);
    fs::remove(states.path() / "auto.json");
    w.then([&] { w.click(w.c.MES); });
    w.then([&] { w.click(w.c.MES); });
    w.then([&] { w.click(w.c.MES); });
    EXPECT_EQ(w.run(), 0);
    EXPECT_FALSE(fs::exists(states.path() / "auto.json"));  // EXIT
    std::string err;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(w.states.resumeState());
    err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("auto.json: no such file"), std::string::npos) << err;
  }
}

TEST(States, TwentySlotsSaveLoadAndDeleteByKeysMouseAndThePlayersMenu) {
  Game game;
  StatesWindow w(game.dir.path());
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  std::int64_t clock = 1'780'000'000;
  w.states.setClock([&] { return clock += 61; });
  SlotScreen& slots = w.states.slotScreen();
  std::uint32_t secondPage = 0;
  w.then([&] {
    w.platform.key(Key::F6);
    w.platform.key(Key::Enter);  // slot 01
  });
  w.then([&] {
    EXPECT_FALSE(slots.shown());
    w.states.finishWrites();
    EXPECT_TRUE(fs::exists(w.states.fileOf("slot01")));
    w.click(w.c.MES);
  });
  w.then([&] {
    secondPage = static_cast<std::uint32_t>(w.game.waitsTold);
    w.platform.key(Key::F6);
    w.platform.key(Key::Down);
    w.platform.key(Key::Down);
    w.platform.key(Key::Enter);  // slot 03
  });
  w.then([&] {
    w.platform.key(Key::Escape);  // the player's menu: セーブ
    w.platform.key(Key::Down);
    w.platform.key(Key::Enter);
  });
  w.then([&] {
    ASSERT_TRUE(slots.shown());
    EXPECT_TRUE(slots.saving());
    w.platform.wheel(-1);
    w.platform.wheel(-1);
    w.platform.key(Key::PageDown);
    const Rect row = SlotScreen::rowPlace(7);  // slot 08, on the second page
    w.platform.click(row.x + 200, row.y + 20);
  });
  w.then([&] {
    w.states.finishWrites();
    EXPECT_TRUE(fs::exists(w.states.fileOf("slot08")));
    w.platform.key(Key::F6);
    w.platform.key(Key::Right);  // to loading
  });
  w.then([&] {
    EXPECT_FALSE(slots.saving());
    expectGolden(w.platform.frame(), "slot_screen", kShellData);
    w.platform.key(Key::Delete);  // slot 01
  });
  w.then([&] {
    ASSERT_EQ(slots.confirming(), std::optional<std::size_t>(0));
    w.platform.key(Key::Escape);  // no
    const Rect cross = SlotScreen::deletePlace(0);
    w.platform.click(cross.x + 4, cross.y + 4);
  });
  w.then([&] {
    ASSERT_TRUE(slots.confirming());
    const Rect yes = SlotScreen::confirmPlace(true);
    w.platform.click(yes.x + 4, yes.y + 4);
  });
  w.then([&] {
    EXPECT_FALSE(fs::exists(w.states.fileOf("slot01")));
    EXPECT_TRUE(slots.shown());
    w.platform.key(Key::Enter);  // the empty slot 01 stays
  });
  w.then([&] {
    EXPECT_EQ(w.states.lastToast(), U"このスロットは空です");
    w.platform.key(Key::PageDown);
    w.platform.key(Key::Down);
    w.platform.key(Key::Down);  // 08
    w.platform.key(Key::Enter);
  });
  EXPECT_EQ(w.run(), 0);
  ASSERT_TRUE(w.game.restored);
  EXPECT_EQ(w.game.restored->page, secondPage);
  w.states.finishWrites();
  for (int i = 1; i < States::kSlotCount; ++i) {
    EXPECT_EQ(fs::exists(w.states.fileOf(States::slotName(i))), i == 2 || i == 7) << i;
  }
}

}  // namespace
}  // namespace qov::test

namespace qov::test {
namespace {

// The real window's snapshots: a state taken at the second page of a message, gone on from by
// F9 or by the autosave in a fresh window, shows that page and plays on to the same save file.
constexpr std::u32string_view kTwoPages =
    U"LET,1,5\n"
    U"MES,一ページ目の文。￥二ページ目の文です。￥\n"
    U"LET,2,9\n"
    U"SAVE\n"
    U"MES,おわり。￥\n"
    U"EXIT\n";

struct RealPlay {
  TempDir dir;
  TempDir states;
  RealPlay() { writeScript(dir.path(), "wnatu", kTwoPages); }
  [[nodiscard]] std::string save() const {
    std::ifstream in(dir.path() / "TOVELI2.DAT", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST(States, TheWindowGoesOnFromTheSecondPageToTheSameSaveFile) {
  RealPlay play;
  std::string uninterrupted;
  {
    ShellWindow w(play.dir.path());
    for (int i = 0; i < 3; ++i) w.then([&] { w.click(w.c.MES); });
    ASSERT_EQ(w.run(), 0);
    uninterrupted = play.save();
    ASSERT_FALSE(uninterrupted.empty());
    std::filesystem::remove(play.dir.path() / "TOVELI2.DAT");
  }
  Image secondPage;
  {
    ShellWindow w(play.dir.path());
    w.shell.states().open(play.dir.path(), play.states.path());
    w.then([&] { w.click(w.c.MES); });
    w.then([&] {
      secondPage = w.platform.frame();
      w.platform.key(Key::F5);
    });
    w.then([&] { w.platform.closeWindow(); });
    ASSERT_EQ(w.run(), 0);
    EXPECT_FALSE(std::filesystem::exists(play.dir.path() / "TOVELI2.DAT"));
  }
  for (const bool resume : {true, false}) {
    SCOPED_TRACE(resume ? "from the autosave" : "by F9");
    ShellWindow w(play.dir.path());
    States& states = w.shell.states();
    states.open(play.dir.path(), play.states.path());
    if (resume) {
      std::optional<GameSnapshot> from = states.resumeState();
      ASSERT_TRUE(from);
      w.window.startFrom(std::move(*from));
    } else {
      w.then([&] { w.platform.key(Key::F9); });
    }
    w.then([&] {
      EXPECT_EQ(w.platform.frame(), secondPage);
      w.click(w.c.MES);
    });
    w.then([&] { w.click(w.c.MES); });
    EXPECT_EQ(w.run(), 0);
    EXPECT_EQ(play.save(), uninterrupted);
    std::filesystem::remove(play.dir.path() / "TOVELI2.DAT");
  }
}

// F5 while a page is still being written keeps the state of that page's wait.
TEST(States, F5BetweenWaitsSavesAtTheNextOne) {
  TempDir dir;
  TempDir states;
  writeScript(dir.path(), "wnatu", U"MES,一ページ目。￥\nMES,＃04二ページ目の文です。￥\nEXIT\n");
  ShellWindow w(dir.path());
  States& s = w.shell.states();
  s.open(dir.path(), states.path());
  w.then([&] {
    w.click(w.c.MES);
    w.platform.key(Key::F5, w.platform.now() + 300);  // while the second page is written
  });
  w.then([&] {
    s.finishWrites();
    EXPECT_EQ(s.lastToast(), U"クイックセーブしました");
    const auto read = readStateFile(s.fileOf("quick"));
    ASSERT_TRUE(std::holds_alternative<SavedState>(read));
    const GameSnapshot& state = std::get<SavedState>(read).snapshot;
    ASSERT_TRUE(state.message);
    EXPECT_NE(state.message->text.find(U"二ページ目"), std::u32string::npos);
    EXPECT_EQ(std::get<SavedState>(read).pageStart, U"二ページ目の文です。");
    w.platform.closeWindow();
  });
  EXPECT_EQ(w.run(), 0);
}

}  // namespace
}  // namespace qov::test
