// The routes of the story, each played from the title to its ending.

#include <gtest/gtest.h>

#include "tests/game/GamePlay.h"

namespace qov::test {
namespace {

TEST(GameRoutes, SeaRouteSavedThenContinuedFindsTheBell) {
  GameCopy game;
  {
    GamePlay play(game, {"つづきから", "はじめから", "移動…", "屋台通り", "調べる", "ラムネ屋",
                         "持ち物", "ラムネ", "持ち物", "マッチ", "その他…", "セーブ", "閉じる"});
    EXPECT_EQ(play.run(), 0);
    play.expectTranscript("sea_route_saved");
  }
  expectFile("sea_route.DAT", readBytes(game.saveFile()));
  GamePlay play(game, {"つづきから", "移動…", "浜辺", "調べる", "その他…", "灯籠流しへ", "おわる"});
  EXPECT_EQ(play.run(), 0);
  play.expectTranscript("sea_route_continued");
  expectFile("sea_route.DAT", readBytes(game.saveFile()));  // continuing does not save
}

TEST(GameRoutes, ShrineRouteFindsTheLetterThenReturnsToTheTitle) {
  GameCopy game;
  GamePlay play(game,
                {"はじめから", "移動…",   "港",   "話す",       "移動…",       "神社",   "持ち物",
                 "お守り",     "移動…",   "港",   "持ち物",     "鍵",         "調べる", "移動…",
                 "神社",       "持ち物", "手紙", "タイトルへ", "あそびかた", "おわる"});
  EXPECT_EQ(play.run(), 0);
  play.expectTranscript("shrine_route");
  EXPECT_FALSE(std::filesystem::exists(game.saveFile()));
}

TEST(GameRoutes, BellAndLetterBothFoundBeforeMidnight) {
  GameCopy game;
  GamePlay play(game,
                {"はじめから", "移動…",   "港",       "話す",   "移動…",       "神社",   "持ち物",
                 "お守り",     "移動…",   "港",       "持ち物", "鍵",         "調べる", "移動…",
                 "屋台通り",   "調べる", "ラムネ屋", "持ち物", "ラムネ",     "持ち物", "マッチ",
                 "移動…",       "浜辺",   "調べる",   "その他…", "灯籠流しへ", "おわる"});
  EXPECT_EQ(play.run(), 0);
  play.expectTranscript("both_treasures");
}

TEST(GameRoutes, TimeRunsOutWithNothingFound) {
  GameCopy game;
  GamePlay play(game,
                {"はじめから", "持ち物",   "地図",     "持ち物",   "やめる",   "その他…",   "見出し",
                 "その他…",     "ひと休み", "その他…",   "ひと休み", "その他…",   "ひと休み", "その他…",
                 "ひと休み",   "その他…",   "ひと休み", "その他…",   "ひと休み", "おわる"});
  EXPECT_EQ(play.run(), 0);
  play.expectTranscript("time_runs_out");
}

}  // namespace
}  // namespace qov::test
