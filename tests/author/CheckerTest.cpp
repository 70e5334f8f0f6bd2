// The checker: each kind of fault in a small script gives its one finding at the line where
// it is written; scripts the player runs without fault give none.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "author/Checker.h"
#include "platform/Encoding.h"

namespace qov::test {
namespace {

namespace fs = std::filesystem;

class CheckerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("qov-check-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::ofstream(dir_ / "pic.SZG") << "a picture";
    std::ofstream(dir_ / "song.MID") << "a song";
    std::ofstream(dir_ / "bell.wav") << "an effect";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes NAME.QOV from UTF-8 lines, in CP932 with CR LF.
  void write(const std::string& name, const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const std::string& line : lines) bytes += encodeCp932(fromUtf8(line)) + "\r\n";
    writeBytes(name, bytes);
  }
  void writeBytes(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ / (name + ".QOV"), std::ios::binary) << bytes;
  }

  // Each finding as "FILE:LINE: error: TEXT".
  [[nodiscard]] std::vector<std::string> findings() const {
    std::vector<std::string> out;
    for (const author::Finding& f : author::checkGame(dir_).findings) {
      out.push_back(f.file + ":" + std::to_string(f.line) +
                    (f.error ? ": error: " : ": warning: ") + f.text);
    }
    return out;
  }

  fs::path dir_;
};

TEST_F(CheckerTest, EachFaultIsFoundAtItsLine) {
  const struct {
    std::vector<std::string> script;
    std::string finding;
  } cases[] = {
      {{"MSE,a"}, "wnatu.QOV:1: error: 命令無し"},
      {{"DO", "MES "}, "wnatu.QOV:2: error: 命令無し"},
      {{"DO", ""}, "wnatu.QOV:2: error: 命令無し"},
      {{"LET,1"}, "wnatu.QOV:1: error: 引数無し"},
      {{"ITMS,1,2"}, "wnatu.QOV:1: error: 引数無し"},
      {{"CASE"}, "wnatu.QOV:1: error: 引数無し"},
      {{"LET,1,abc"}, "wnatu.QOV:1: error: 数値が不正"},
      {{"ITMS,F01,1,-"}, "wnatu.QOV:1: error: 数値が不正"},
      {{"LET,1,40000"}, "wnatu.QOV:1: error: 桁あふれ"},
      {{"LET,31,1"}, "wnatu.QOV:1: error: 範囲外"},
      {{"LET,1,F31"}, "wnatu.QOV:1: error: 範囲外"},
      {{"ITMS,17,1,-"}, "wnatu.QOV:1: error: 範囲外"},
      {{"DELCM,10,0"}, "wnatu.QOV:1: error: 範囲外"},
      {{"ADDCM,0,5,＊a"}, "wnatu.QOV:1: error: 範囲外"},
      {{"DO", "GOTO,3"}, "wnatu.QOV:2: error: 行番号が不正 (3行目はスクリプトの外、全2行)"},
      {{"GOSUB,0"}, "wnatu.QOV:1: error: 行番号が不正 (0行目はスクリプトの外、全1行)"},
      {{"IF,F01=01,5"}, "wnatu.QOV:1: error: 行番号が不正 (5行目はスクリプトの外、全1行)"},
      {{"EVA,,-1"}, "wnatu.QOV:1: error: 行番号が不正 (-1行目はスクリプトの外、全1行)"},
      {{"ELSE,2"}, "wnatu.QOV:1: error: 行番号が不正 (2行目はスクリプトの外、全1行)"},
      {{"DORT,2"}, "wnatu.QOV:1: error: 行番号が不正 (2行目はスクリプトの外、全1行)"},
      {{"DOEX,2"}, "wnatu.QOV:1: error: 行番号が不正 (2行目はスクリプトの外、全1行)"},
      {{"LOOP,2"}, "wnatu.QOV:1: error: 行番号が不正 (2行目はスクリプトの外、全1行)"},
      {{"FJ,1,4", "1", "ENDFJ"}, "wnatu.QOV:1: error: FJ (終わりの行4はスクリプトの外、全3行)"},
      {{"FJ,1,3", "9", "ENDFJ"}, "wnatu.QOV:2: error: 行番号が不正 (9行目はスクリプトの外、全3行)"},
      {{"FP,1,4", "あ", "ENDFP"}, "wnatu.QOV:1: error: FP (終わりの行4はスクリプトの外、全3行)"},
      {{"FP,1,1"}, "wnatu.QOV:1: error: FP (選べる行が無い)"},
      {{"CMST,0,＊a", "CMSL,0,4", "CASE,0", "DO"}, "wnatu.QOV:2: error: ENDCM無し"},
      {{"CMST,0,＊a", "CMSL,0,5", "CASE,1", "EXIT", "ENDCM"},
       "wnatu.QOV:3: warning: CASE 1を返すメニュー無し"},
      {{"CMST,0,a＊b"}, "wnatu.QOV:1: error: メニュー定義が不正"},
      {{"CMST,8,＊a・＊b・＊c"}, "wnatu.QOV:1: error: メニュー定義が不正"},
      {{"MES,＠99"}, "wnatu.QOV:1: error: ＠の引数が不正"},
      {{"FP,1,3", "＄99", "ENDFP"}, "wnatu.QOV:1: error: ＄の引数が不正"},
      {{"IF,F01=0a,1"}, "wnatu.QOV:1: error: 比較式"},
      {{"ACMLD,other"}, "wnatu.QOV:1: error: ファイルが読込めません (other.QOV が無い)"},
      {{"GHG,nopic"}, "wnatu.QOV:1: error: ファイルが読込めません (nopic.SZG が無い)"},
      {{"MUSPL,nosong,1"}, "wnatu.QOV:1: warning: nosong.MID が無い"},
      {{"SOUND,nobell,1"}, "wnatu.QOV:1: warning: nobell.wav が無い"},
      {std::vector<std::string>(2001, "DO"),
       "wnatu.QOV:2001: error: ファイルが読込めません (2000行を超える)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.finding);
    write("wnatu", c.script);
    EXPECT_EQ(findings(), std::vector<std::string>{c.finding});
  }

  writeBytes("wnatu", "DO\r\nMES,\x85\x40\r\n");
  EXPECT_EQ(findings(), std::vector<std::string>{
                            "wnatu.QOV:2: error: ファイルが読込めません (CP932でない文字)"});
}

TEST_F(CheckerTest, ScriptsReachedByACMLDComeFirstThenTheRestOfTheFolder) {
  write("wnatu", {"ACMLD,Second"});
  write("SECOND", {"LET,99,1"});
  write("aside", {"MSE"});
  EXPECT_EQ(findings(), (std::vector<std::string>{"SECOND.QOV:1: error: 範囲外",
                                                  "aside.QOV:1: error: 命令無し"}));
  fs::remove(dir_ / "wnatu.QOV");
  EXPECT_EQ(findings(), std::vector<std::string>{"wnatu.QOV:0: error: ファイルが読込めません"});
}

TEST_F(CheckerTest, WhatThePlayerRunsWithoutFaultIsClean) {
  for (const auto& entry : fs::directory_iterator(QOV_CLEAN_GAME)) {
    if (!entry.is_regular_file()) continue;
    fs::copy_file(entry.path(), dir_ / entry.path().filename(),
                  fs::copy_options::overwrite_existing);
  }
  EXPECT_EQ(findings(), std::vector<std::string>{});
}

}  // namespace
}  // namespace qov::test
