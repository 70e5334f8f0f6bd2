#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/library/Library.h"
#include "shell/library/ScreenParts.h"

namespace qov {

class FolderBrowser;

// The library in the player's window, without a game: the games added, latest first, and the
// demo game after them. A click or Enter plays one; the wheel and the arrow keys move through
// the list; Delete or a row's small button takes a game out of the list after the player
// confirms it ("ゲームを追加…" opens the folder browser). A folder or archive dropped onto the
// window is added.
class LibraryScreen final : public EventSink {
 public:
  struct Places {
    std::filesystem::path demoGame;  // listed after the player's games; empty: none
    std::filesystem::path home;      // where the folder browser starts
  };

  // One line of the list.
  struct Row {
    std::filesystem::path folder;
    std::u32string title;
    std::string icon;  // the game's own, a name in its folder
    std::optional<UnixTime> played;
    bool demo = false;
    bool copy = false;
    bool missing = false;    // the folder is gone (a drive not mounted, a folder moved)
    bool resumable = false;  // an autosave waits: "続きから" beside "はじめから"
  };

  static constexpr int kRowHeight = 40;
  static constexpr int kRowsShown = 8;
  static constexpr int kListTop = 30;

  LibraryScreen(Platform& platform, Library& library, Places places);
  ~LibraryScreen() override;
  LibraryScreen(const LibraryScreen&) = delete;
  LibraryScreen& operator=(const LibraryScreen&) = delete;

  // Opens the window (at the player's scale) and runs until the player picks a game, whose
  // folder it returns, or closes the window (nullopt).
  [[nodiscard]] std::optional<std::filesystem::path> run();
  // The game run() returned goes on from its autosave ("続きから").
  [[nodiscard]] bool resumeChosen() const { return resumeChosen_; }
  // Of a resumable row, the button Enter presses: "続きから" (else "はじめから"); Left and
  // Right move between them.
  [[nodiscard]] bool resumeMarked() const { return resumeMarked_; }

  // EventSink
  void mouseDown(int x, int y, int button) override;
  void mouseUp(int x, int y, int button) override;
  void keyDown(const KeyPress& key) override;
  void keyUp(const KeyPress& /*key*/) override {}
  void mouseWheel(int steps) override;
  void closeRequested() override;
  void dropped(const std::filesystem::path& path) override;
  [[nodiscard]] bool frameChanged() const override { return changed_; }
  const Image& composeFrame() override;

  // What the screen shows, for tests.
  [[nodiscard]] const std::vector<Row>& rows() const { return rows_; }
  [[nodiscard]] std::size_t selected() const { return selected_; }
  [[nodiscard]] std::size_t top() const { return top_; }
  [[nodiscard]] bool confirming() const { return confirm_.has_value(); }
  [[nodiscard]] bool browsing() const { return browser_ != nullptr; }
  [[nodiscard]] const std::u32string& notice() const { return notice_; }

 private:
  // Where a press began: a row, a row's remove button, a button of the screen.
  struct Target {
    enum Kind {
      None,
      Row,
      RemoveButton,
      ResumeButton,
      StartButton,
      AddButton,
      ConfirmRemove,
      ConfirmDelete,
      ConfirmCancel
    };
    Kind kind = None;
    std::size_t row = 0;
    friend bool operator==(const Target&, const Target&) = default;
  };
  // The removal waiting for the player's answer.
  struct Confirm {
    std::size_t row = 0;
  };

  void reload();
  [[nodiscard]] Target targetAt(int x, int y) const;
  void act(const Target& target);
  void select(std::size_t row);
  void scroll(long rows);
  void play(std::size_t row, bool resume = false);
  void askRemove(std::size_t row);
  void remove(bool deleteCopy);
  void openBrowser();
  void closeBrowser();
  // Adds what the path stands for, showing a bar while an archive takes long to extract.
  void add(const std::filesystem::path& path);
  void onProgress(double fraction);
  void say(std::u32string notice);
  void touch() { changed_ = true; }
  [[nodiscard]] const Image& iconOf(const Row& row);
  void drawList();
  void drawRow(std::size_t row, int y);
  void drawConfirm();

  Platform& platform_;
  Library& library_;
  Places places_;
  screen::Fonts fonts_;
  screen::PushButton addButton_;
  screen::PushButton removeButton_;  // drawn on each row
  screen::PushButton resumeButton_;  // on each resumable row
  screen::PushButton startButton_;
  screen::PushButton confirmRemove_;
  screen::PushButton confirmDelete_;
  screen::PushButton confirmCancel_;
  std::unique_ptr<FolderBrowser> browser_;
  std::unique_ptr<FolderBrowser>
      closedBrowser_;  // closed from inside itself; goes at the next frame
  std::vector<Row> rows_;
  std::map<std::filesystem::path, Image> icons_;
  std::size_t selected_ = 0;
  std::size_t top_ = 0;
  std::optional<Confirm> confirm_;
  Target pressed_;
  std::u32string notice_;
  // Extraction of an archive: when it began, and how far it is once it shows.
  std::optional<std::uint32_t> workStart_;
  std::optional<double> progress_;
  std::u32string work_;
  bool done_ = false;
  std::optional<std::filesystem::path> chosen_;
  bool resumeChosen_ = false;
  bool resumeMarked_ = true;
  bool changed_ = true;
  Image frame_;
};

}  // namespace qov
