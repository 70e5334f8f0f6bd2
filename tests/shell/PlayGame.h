#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "engine/SaveFile.h"
#include "tests/shell/ShellTestSupport.h"

namespace qov::test {

// Three pages, a menu with a submenu whose last entry uses an item, then the save.
constexpr std::u32string_view kGame =
    U"ITMS,0,1,鍵\n"
    U"ITMS,3,2,地図\n"
    U"MES,一ページ目。￥二ページ目。￥三ページ目。￥\n"
    U"CMST,0,＊調べる１移動・＊北へ＊南へ￥持ち物を使う\n"
    U"CMSL,0,14\n"
    U"CASE,0\n"
    U"LET,9,1\n"
    U"SAVE\n"
    U"EXIT\n"
    U"CASE,102\n"
    U"LET,9,2\n"
    U"SAVE\n"
    U"EXIT\n"
    U"ENDCM\n";

inline std::string fileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Game {
  TempDir dir;
  explicit Game(std::u32string_view script = kGame) { writeScript(dir.path(), "wnatu", script); }
  [[nodiscard]] std::string save() const { return fileBytes(dir.path() / SaveFile::kFileName); }
};

// Queues the clicks of a whole play of kGame that ends at CASE 102 with item 3 used.
inline void clickThrough(ShellWindow& w) {
  const WindowControls& c = w.c;
  for (const Control* target :
       {static_cast<const Control*>(&c.MES), static_cast<const Control*>(&c.MES),
        static_cast<const Control*>(&c.MES),
        static_cast<const Control*>(&c.Label1[1]),  // 移動
        static_cast<const Control*>(&c.LBcm),       // back to the first menu
        static_cast<const Control*>(&c.Label1[1]),
        static_cast<const Control*>(&c.Label1[2]),  // 持ち物を使う
        static_cast<const Control*>(&c.ITMCommand3[1]),
        static_cast<const Control*>(&c.ITMCommand1)}) {
    w.then([&w, target] { w.click(*target); });
  }
}

}  // namespace qov::test
