// The routes of the story, each played from the title to its ending: what the player sees and
// hears (the transcript), a few frames, and the save file.

#include <gtest/gtest.h>

#include "tests/game/GamePlay.h"

namespace qov::testing {
namespace {

constexpr Argb kSpeakerRed = rgb(255, 0, 0);
const Rect kMessageArea{0, 336, 504, 45};

// The window ended as EXIT and EOF end it: the music closed, one beep.
void expectUnloaded(GamePlay& play) {
  EXPECT_EQ(play.platform.beeps(), 1);
  ASSERT_FALSE(play.platform.headlessMusic().commands().empty());
  EXPECT_EQ(play.platform.headlessMusic().commands().back(), "close bg");
}

// Sea route, saved at the stalls and continued in a new window: the bell, ending 1.
TEST(GameRoutes, SeaRouteSavedThenContinuedFindsTheBell) {
  GameCopy game;
  {
    GamePlay play(game.path());
    play.choose({"つづきから"});  // nothing saved yet: the title comes back
    play.choose({"はじめから"});
    play.at(Wait::Message, [&] {
      play.expectScene("HOME");
      EXPECT_FALSE(play.window.controls().LBcm.shown());
    });
    play.atMessage("湊、今夜は夏祭りだよ", [&] {
      EXPECT_GT(play.count(Rect{0, 336, 80, 15}, kSpeakerRed), 0) << "the speaker's name";
    });
    play.atMessage("＊01＊02", [&] {
      const WindowControls& c = play.window.controls();
      EXPECT_TRUE(c.ITEM.shown());
      EXPECT_EQ(c.ITEM.rect.w, 120);  // display mode: the picture alone
      play.expectItemPicture(1);
    });
    play.choose({"移動", "屋台通り", "調べる", "ラムネ屋", "持ち物"});
    play.at(Wait::Items, [&] {
      const WindowControls& c = play.window.controls();
      EXPECT_EQ(c.ITEM.rect.w, 169);
      EXPECT_TRUE(c.ITMCommand1.shown());
      EXPECT_EQ(c.ITMLabel1.caption, U"お守り");
      play.expectItemPicture(0);
    });
    play.choose({"ラムネ", "持ち物", "マッチ", "その他", "セーブ"});
    play.atMessage("セーブしました", [&] { GamePlay::expectSaveFile(game, "sea_route"); });
    play.closeWindow();
    EXPECT_EQ(play.run(), 0);
    play.expectTranscript("sea_route_saved");
  }
  {
    GamePlay play(game.path());
    play.choose({"つづきから"});
    play.at(Wait::Menu, [&] {
      const Variables& v = play.window.variables();
      EXPECT_EQ(v.var(2), 2);   // 午後八時
      EXPECT_EQ(v.var(15), 2);  // 屋台通り
      EXPECT_EQ(v.var(30), 1);
      EXPECT_EQ(v.itemCount(6), 1);  // the fan that came with the lemonade
      EXPECT_EQ(v.itemName(8), U"ラムネ");
      play.expectScene("STALLS");
      play.expectMenuDrawn();
    });
    play.choose({"移動", "浜辺", "調べる"});
    play.at(Wait::Menu, [&] {
      EXPECT_EQ(play.window.variables().itemCount(9), 1);
      play.expectScene("BEACH");  // larger than the scene: cut at its edges
    });
    play.choose({"その他", "灯籠流しへ"});
    play.atMessage("小さな鈴を結んだ", [&] { play.expectScene("END1"); });
    play.choose({"おわる"});
    EXPECT_EQ(play.run(), 0);
    play.expectTranscript("sea_route_continued");
    expectUnloaded(play);
  }
  GamePlay::expectSaveFile(game, "sea_route");  // continuing does not save
}

// Shrine route: the key from the priest, the letter from the workshop, ending 2; then back to
// the title, which shows how to play and ends the program.
TEST(GameRoutes, ShrineRouteFindsTheLetterThenReturnsToTheTitle) {
  GameCopy game;
  GamePlay play(game.path());
  play.choose({"はじめから", "移動", "港"});
  play.at(Wait::Menu, [&] { play.expectScene("HARBOR"); });  // smaller: grey beyond it
  play.choose({"話す", "移動", "神社", "持ち物", "お守り", "移動", "港", "持ち物", "鍵"});
  play.at(Wait::Menu, [&] {
    EXPECT_EQ(play.window.variables().var(15), 5);
    play.expectScene("WORKSHOP");
  });
  play.choose({"調べる", "移動", "神社", "持ち物", "手紙"});
  play.atMessage("鈴は、とうとう見つからなかった", [&] { play.expectScene("END2"); });
  play.choose({"タイトルへ", "あそびかた", "おわる"});
  EXPECT_EQ(play.run(), 0);
  play.expectTranscript("shrine_route");
  expectUnloaded(play);
  EXPECT_EQ(play.window.variables().var(5), 2);
  EXPECT_FALSE(std::filesystem::exists(game.saveFile()));
}

// Both treasures with no hour to spare: ending 1 with the letter scene and the sparkler.
TEST(GameRoutes, BellAndLetterBothFoundBeforeMidnight) {
  GameCopy game;
  GamePlay play(game.path());
  play.choose({"はじめから", "移動",   "港",     "話す",   "移動",   "神社", "持ち物",   "お守り",
               "移動",       "港",     "持ち物", "鍵",     "調べる", "移動", "屋台通り", "調べる",
               "ラムネ屋",   "持ち物", "ラムネ", "持ち物", "マッチ", "移動", "浜辺",     "調べる"});
  play.at(Wait::Menu, [&] {
    const Variables& v = play.window.variables();
    EXPECT_EQ(v.var(2), 6);  // 午後十一時半
    EXPECT_EQ(v.itemCount(5), 1);
    EXPECT_EQ(v.itemCount(9), 1);
  });
  play.choose({"その他", "灯籠流しへ", "おわる"});
  EXPECT_EQ(play.run(), 0);
  play.expectTranscript("both_treasures");
  EXPECT_EQ(play.window.variables().var(5), 1);
}

// Nothing found: an item looked at, a cancelled item window, the header, six rests, then
// midnight and ending 3.
TEST(GameRoutes, TimeRunsOutWithNothingFound) {
  GameCopy game;
  GamePlay play(game.path());
  play.choose({"はじめから", "持ち物", "地図", "持ち物", "やめる", "その他", "見出し"});
  play.at(Wait::Menu, [&] { EXPECT_EQ(play.window.controls().LBcm.caption, U"コマンド"); });
  for (int hour = 0; hour < 6; ++hour) play.choose({"その他", "ひと休み"});
  play.atMessage("ひとつだけ遅れて", [&] {
    play.expectScene("END3");
    EXPECT_GT(play.count(kMessageArea, rgb(0, 0, 0)), 0);
  });
  play.choose({"おわる"});
  EXPECT_EQ(play.run(), 0);
  play.expectTranscript("time_runs_out");
  EXPECT_EQ(play.window.variables().var(2), 7);
  EXPECT_EQ(play.window.variables().var(5), 3);
}

}  // namespace
}  // namespace qov::testing
