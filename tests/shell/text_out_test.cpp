// Every page's text for those who cannot read it in the window: the text hook, the clipboard
// and speech. None of them may change what the game does.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/SaveFile.h"
#include "shell/Notice.h"
#include "tests/shell/FakeSpeechServer.h"
#include "tests/shell/ShellTestSupport.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

// A full page: three lines of 32 characters after the indent, and four more on the next.
const std::u32string kLongText = [] {
  std::u32string text;
  for (int i = 0; i < 100; ++i) text += U"一二三四五六七八九十"[i % 10];
  return text;
}();

// A speaker line, a variable's value and a line break, page breaks by "￥", a full page; a menu
// whose item entry opens the item window; an item shown by the message; the save.
const std::u32string kGame =
    U"ITMS,0,1,鍵\n"
    U"ITMS,3,1,ランプ\n"
    U"LET,5,42\n"
    U"MES,＆0アキラ：0やあ、ここだ。￥所持金は＄05円。＾次の行。￥" +
    kLongText +
    U"￥\n"
    U"CMST,0,＊見る￥使う\n"
    U"CMSL,0,10\n"
    U"CASE,1\n"
    U"MES,ランプを使った。＊03\n"
    U"ENDCM\n"
    U"SAVE\n"
    U"EXIT";

const std::vector<std::string> kHookLines = {
    "「アキラ」やあ、ここだ。",   "所持金は42円。次の行。", toUtf8(kLongText.substr(0, 96)),
    toUtf8(kLongText.substr(96)), "コマンド\t見る\t使う",   "アイテム\t鍵",
    "アイテム\tランプ",           "ランプを使った。",       "アイテム\tランプ",
};

std::string fileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string drain(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(n));
  }
  return text;
}

// The game played to its end by clicks; `atFirstWait` runs before the first of them.
struct Play {
  TempDir dir;
  ShellWindow w;
  std::vector<std::string> clipboard;  // what the clipboard held at each wait
  std::function<void()> atFirstWait;
  std::function<void()> atEachWait;

  explicit Play(const std::function<void(Play&)>& before = nullptr) : w(makeDir()) {
    if (before) before(*this);
    const auto wait = [this](const Control& next) {
      return [this, &next] {
        if (clipboard.empty() && atFirstWait) atFirstWait();
        if (atEachWait) atEachWait();
        clipboard.push_back(w.platform.clipboardText());
        w.shell.textOut().speech().flush();
        w.click(next);
      };
    };
    for (int i = 0; i < 4; ++i) w.then(wait(w.c.MES));
    w.then(wait(w.c.Label1[1]));       // 使う: the item window
    w.then(wait(w.c.ITMCommand3[1]));  // ＞: the lamp
    w.then(wait(w.c.ITMCommand1));     // 使う
    w.then(wait(w.c.MES));             // the lamp's picture
  }
  const fs::path& makeDir() {
    writeScript(dir.path(), "wnatu", kGame);
    return dir.path();
  }
};

TEST(TextOut, TheHookWritesEachPageMenuAndItemAsShownAndTheGamePlaysAsBefore) {
  int hook[2];
  ASSERT_EQ(::pipe2(hook, O_NONBLOCK), 0);
  Play with([&](Play& p) {
    p.w.shell.textOut().hookTo(hook[1]);
    p.w.platform.key(Key::C);  // each page on the clipboard
  });
  std::string err;
  EXPECT_EQ(with.w.run(&err), 0) << err;
  EXPECT_EQ(linesOf(drain(hook[0])), kHookLines);
  // At each page wait the clipboard holds that page; menus and items do not go there.
  EXPECT_EQ(with.clipboard,
            (std::vector<std::string>{kHookLines[0], kHookLines[1], kHookLines[2], kHookLines[3],
                                      kHookLines[3], kHookLines[3], kHookLines[3], kHookLines[7]}));

  Play without;
  EXPECT_EQ(without.w.run(), 0);
  EXPECT_EQ(without.w.stalls, with.w.stalls);
  EXPECT_EQ(without.w.platform.now(), with.w.platform.now());
  EXPECT_EQ(fileBytes(without.dir.path() / SaveFile::kFileName),
            fileBytes(with.dir.path() / SaveFile::kFileName));
  EXPECT_EQ(with.w.window.variables().var(0), 3);
  for (const int fd : hook) ::close(fd);
}

TEST(TextOut, AClosedPipeEndsTheHookAndNotTheGame) {
  int hook[2];
  ASSERT_EQ(::pipe(hook), 0);
  ::close(hook[0]);
  Play play([&](Play& p) { p.w.shell.textOut().hookTo(hook[1]); });
  std::string err;
  EXPECT_EQ(play.w.run(&err), 0);
  EXPECT_EQ(play.w.stalls, 8u);
  EXPECT_NE(err.find("the text hook stops"), std::string::npos) << err;
  ::close(hook[1]);
}

// SPEECHD_ADDRESS, set for one test.
struct SpeechAddress {
  explicit SpeechAddress(const std::string& address) {
    ::setenv("SPEECHD_ADDRESS", address.c_str(), 1);
  }
  ~SpeechAddress() { ::unsetenv("SPEECHD_ADDRESS"); }
};

TEST(TextOut, SpeechSpeaksEachPageCutsItAtTheNextAndSpeaksTheMenu) {
  TempDir sockets;
  std::vector<std::string> record;
  std::vector<std::string> settings;
  std::string saved;
  std::uint64_t ended = 0;
  {
    FakeSpeechServer server(sockets.path() / "speechd.sock");
    const SpeechAddress address(server.address());
    {
      Play play([&](Play& p) {
        std::ofstream(sockets.path() / "qov.ini") << "[speech]\nrate = 30\nvolume = 50\n";
        p.w.platform.setSettingsFile(sockets.path() / "qov.ini");
        p.w.platform.key(Key::V);
        p.atFirstWait = [&p] {  // the player's menu, its focus moved down and up by keys
          p.w.shell.textOut().speech().flush();
          p.w.platform.key(Key::Escape);
          p.w.shell.textOut().speech().flush();
          p.w.platform.key(Key::Down);
          p.w.shell.textOut().speech().flush();
          p.w.platform.key(Key::Up);
          p.w.shell.textOut().speech().flush();
          p.w.platform.key(Key::Escape);
        };
      });
      std::string err;
      EXPECT_EQ(play.w.run(&err), 0) << err;
      EXPECT_EQ(play.w.platform.messageBoxes().size(), 0u) << err;
      saved = fileBytes(play.dir.path() / SaveFile::kFileName);
      ended = play.w.platform.now();
    }  // the window closes
    record = server.record();
    settings = server.settings();
    EXPECT_EQ(server.connections(), 1);
  }
  const std::vector<std::string> expected = {
      "SPEAK 読み上げを始めます",
      "SPEAK " + kHookLines[0],
      "SPEAK メニュー、続ける、セーブ、ロード、設定、キー操作、ゲーム一覧、終了",  // the player's menu opens
      "CANCEL",  // the focus moves
      "SPEAK セーブ",
      "CANCEL",
      "SPEAK 続ける",
      "CANCEL",  // the next page
      "SPEAK " + kHookLines[1],
      "CANCEL",
      "SPEAK " + kHookLines[2],
      "CANCEL",
      "SPEAK " + kHookLines[3],
      "CANCEL",
      "SPEAK コマンド、見る、使う",
      "SPEAK 鍵",  // the item window, by the items' names
      "SPEAK ランプ",
      "SPEAK ランプを使った。",
      "SPEAK ランプ",
      "CANCEL",  // closing the window cuts off the last words
  };
  EXPECT_EQ(record, expected);
  EXPECT_EQ(settings, (std::vector<std::string>{"SET SELF RATE 30", "SET SELF VOLUME 0",
                                                "SET SELF LANGUAGE JA"}));

  Play silent;
  EXPECT_EQ(silent.w.run(), 0);
  EXPECT_EQ(silent.w.platform.now(), ended);
  EXPECT_EQ(fileBytes(silent.dir.path() / SaveFile::kFileName), saved);
}

TEST(TextOut, WithoutASpeechServerOneNoticeSaysSoAndTheGameGoesOnSilent) {
  TempDir nowhere;
  const SpeechAddress address("unix_socket:" + (nowhere.path() / "none.sock").string());
  std::vector<std::u32string> notice;
  Play play([&notice](Play& p) {
    p.w.platform.key(Key::V);
    p.atEachWait = [&p, &notice] {  // the notice comes over a page; Enter closes it
      const auto* shown = dynamic_cast<const NoticeScreen*>(p.w.shell.screens().top());
      if (shown == nullptr) return;
      notice = shown->lines();
      p.w.platform.key(Key::Enter);
    };
  });
  std::string err;
  EXPECT_EQ(play.w.run(&err), 0);
  EXPECT_EQ(play.w.stalls, 8u);
  EXPECT_EQ(play.w.platform.messageBoxes().size(), 0u);
  ASSERT_FALSE(notice.empty());
  EXPECT_EQ(notice.back(), U"音声なしで続けます。");
  EXPECT_NE(notice.front().find(U"読み上げができません"), std::u32string::npos);
  EXPECT_NE(err.find("speech-dispatcher cannot speak"), std::string::npos) << err;
}

}  // namespace
}  // namespace qov::test
