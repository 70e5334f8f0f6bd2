#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <variant>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/Actions.h"
#include "shell/Screens.h"
#include "shell/states/StateFile.h"
#include "ui/HostedGame.h"

namespace qov {

class SlotScreen;

// The player's own save states of one game: the quick state (F5, F9), twenty slots (F6, the
// player's menu) and the autosave taken when the window is closed. Each is one file of the
// game's place for states, written whole or not at all; the game's own save file is another
// thing, which no state ever touches.
class States {
 public:
  static constexpr int kSlotCount = 20;
  // Lines of a notice that waits for the player (a state that cannot be used).
  using Notify = std::function<void(const std::vector<std::u32string>&)>;

  States(Platform& platform, HostedGame& game, ScreenStack& screens, Notify notify);
  ~States();
  States(const States&) = delete;
  States& operator=(const States&) = delete;

  // The game's folder and where its states go; until then there is no place for them.
  void open(std::filesystem::path gameDir, std::filesystem::path folder);
  [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }
  // What tells the first characters of the page shown.
  void setPageText(std::function<std::u32string()> page) { pageText_ = std::move(page); }
  // What tells the time a state is taken (seconds since 1970); unset, the system's clock.
  void setClock(std::function<std::int64_t()> now) { now_ = std::move(now); }

  // Told at each wait for the player: it keeps the state for the autosave, and takes the quick
  // state that F5 asked for away from a wait.
  void waitBegun();

  // F5, F9 and F6; true when the action was one of them.
  [[nodiscard]] bool perform(const Asked& asked);
  // The slot screen over the held game, to save into a slot or to load one.
  void showSlots(bool saving);
  [[nodiscard]] SlotScreen& slotScreen() { return *slotScreen_; }

  // The file of a state: "quick", "auto", slotName(i).
  [[nodiscard]] std::filesystem::path fileOf(std::string_view name) const;
  [[nodiscard]] static std::string slotName(int index);  // slot01 to slot20
  // Whether the game in `gameDir` has an autosave to go on from.
  [[nodiscard]] static bool hasAutosave(const std::filesystem::path& gameDir);

  // Takes the state of the game's wait into `name`; why it could not, else nullopt.
  [[nodiscard]] std::optional<std::u32string> save(std::string_view name);
  // Goes on from the state in `name` (and never returns), or says in a notice why it cannot.
  void load(std::string_view name);
  // Deletes the state in `name`; why it could not, else nullopt.
  [[nodiscard]] std::optional<std::u32string> remove(std::string_view name);
  // The state in `name` as a list shows it: nothing, the state, or why it cannot be read.
  [[nodiscard]] std::variant<std::monostate, SavedState, std::string> peek(std::string_view name);

  // Waits until every state asked for is on the disk (they are written off the window's
  // thread), and tells the player of any that could not be written.
  void finishWrites();

  // Writes the autosave from the game's last wait (once: closing the window).
  void autosave();
  // The autosave when the game can start from it; nullopt, after a line on standard error,
  // when it is missing or refused.
  [[nodiscard]] std::optional<GameSnapshot> resumeState();

  // A short notice that closes by itself, drawn over everything.
  void toast(std::u32string_view text);
  [[nodiscard]] const std::u32string& toastText() const { return toast_; }
  // The last one shown, gone or not.
  [[nodiscard]] const std::u32string& lastToast() const { return lastToast_; }
  void drawToast(Image& frame) const;
  [[nodiscard]] std::uint64_t toastSignature() const { return toastSerial_; }

 private:
  // Why `state` cannot be gone on from in this game, else nullopt.
  [[nodiscard]] std::optional<std::u32string> refusal(const SavedState& state);
  [[nodiscard]] const std::string& hash();
  // Asks for the state to be written; why it cannot be, else nullopt (a failure of the disk
  // is told later).
  [[nodiscard]] std::optional<std::u32string> write(std::string_view name,
                                                    const GameSnapshot& snapshot);
  struct Job {
    std::filesystem::path file;
    SavedState state;
    Image thumbnail;
  };
  void writeJobs(const std::stop_token& stop);
  void reportFailures();

  Platform& platform_;
  HostedGame& game_;
  ScreenStack& screens_;
  Notify notify_;
  std::filesystem::path gameDir_;
  std::filesystem::path folder_;
  std::function<std::u32string()> pageText_;
  std::function<std::int64_t()> now_;
  std::optional<std::string> hash_;
  std::optional<GameSnapshot> last_;  // at the game's last wait
  bool quickPending_ = false;         // F5 away from a wait: at the next one
  bool autosaved_ = false;
  std::unique_ptr<SlotScreen> slotScreen_;
  std::shared_ptr<const Font> font_;
  std::u32string toast_;
  std::u32string lastToast_;
  std::uint64_t toastSerial_ = 0;
  TimerId toastTimer_ = 0;

  // The writer: encodes the thumbnail and the JSON and writes the file atomically.
  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::condition_variable idle_;
  std::deque<Job> jobs_;
  bool writing_ = false;
  std::vector<std::u32string> failures_;
  std::jthread writer_;  // last: it goes first
};

// The frame at a quarter of its size (126 x 96, the last two columns left out).
[[nodiscard]] Image thumbnailOf(const Image& frame);

}  // namespace qov
