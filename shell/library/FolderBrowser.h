#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/library/ScreenParts.h"

namespace qov {

// The folder browser of "ゲームを追加…", inside the window: the folders of one folder and the
// archives and CD images in it, those that hold a game marked. A click selects a line and a
// second click (or Enter) opens it: a folder is entered, a game or an archive is added. "追加"
// adds the line selected, or else the folder shown; a folder whose subfolders hold games
// adds each of them.
class FolderBrowser {
 public:
  struct Line {
    enum Kind { Parent, Folder, Game, Games, Archive, DiscImage };
    std::filesystem::path path;
    std::u32string name;
    Kind kind = Folder;
    std::size_t games = 0;  // Games: how many subfolders hold one
  };
  // What the browser asks of the library screen.
  struct Actions {
    std::function<void(const std::filesystem::path&)> add;
    std::function<void()> close;
  };

  static constexpr int kLineHeight = 24;
  static constexpr int kLinesShown = 12;
  static constexpr int kListTop = 30;

  FolderBrowser(Platform& platform, const screen::Fonts& fonts, std::filesystem::path home,
                Actions actions);

  // Shows the folder; one that cannot be read keeps the one shown, with a notice.
  void open(const std::filesystem::path& folder);

  void mouseDown(int x, int y);
  void mouseUp(int x, int y);
  void keyDown(const KeyPress& key);
  void mouseWheel(int steps);
  void draw(Image& frame) const;

  [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }
  [[nodiscard]] const std::vector<Line>& lines() const { return lines_; }
  [[nodiscard]] std::size_t selected() const { return selected_; }
  [[nodiscard]] const std::u32string& notice() const { return notice_; }
  // Every change that shows counts, so that the screen knows to draw again.
  [[nodiscard]] std::uint64_t changes() const { return changes_; }

 private:
  enum class Press { None, Line, Up, Add, Cancel };
  [[nodiscard]] Press pressAt(int x, int y, std::size_t& line) const;
  void openLine(std::size_t line);
  void addSelected();
  void select(std::size_t line);
  void drawLine(Image& frame, std::size_t line, int y) const;

  const screen::Fonts& fonts_;
  std::filesystem::path home_;
  Actions actions_;
  screen::PushButton upButton_;
  screen::PushButton addButton_;
  screen::PushButton cancelButton_;
  std::filesystem::path folder_;
  std::vector<Line> lines_;
  std::size_t selected_ = 0;
  std::size_t top_ = 0;
  Press pressed_ = Press::None;
  std::size_t pressedLine_ = 0;
  std::u32string notice_;
  std::uint64_t changes_ = 0;
};

}  // namespace qov
