#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "shell/Actions.h"
#include "shell/Comforts.h"
#include "shell/Speech.h"
#include "shell/TextHook.h"
#include "ui/HostedGame.h"
#include "ui/ShownText.h"

namespace qov {

// Every page's text for those who cannot read it in the window: the text hook on standard
// output, the clipboard and self-voicing. It only reads what the window shows; the game
// never learns of it.
class TextOut final : public ShownTextObserver {
 public:
  static constexpr int kStandardOutput = 1;

  // Shows a notice of ours in the window while the game goes on, a line each.
  using Notify = std::function<void(const std::vector<std::u32string>&)>;
  TextOut(Platform& platform, HostedGame& game, Comforts& comforts, Notify notify);
  ~TextOut() override;
  TextOut(const TextOut&) = delete;
  TextOut& operator=(const TextOut&) = delete;

  // The text hook writes to `fd` whatever the settings say (qov --texthook).
  void hookTo(int fd) { hookFd_ = fd; }
  // The page in the window, once completely shown; empty when there is none.
  [[nodiscard]] const std::u32string& page() const { return page_; }
  // Applies the player's settings, once they are read.
  void start();

  // C and V; true when the action was this one's.
  [[nodiscard]] bool perform(const Asked& asked);
  // Skipping cuts off what is being spoken.
  void skip(bool on);
  // Speaks a notice of the player's own, when speech is on.
  void announce(std::u32string_view text);
  // Speaks a menu of the player's own as it opens, as the game's menu is spoken.
  void announceMenu(std::u32string_view header, std::span<const std::u32string> entries);

  [[nodiscard]] Speech& speech() { return *speech_; }
  [[nodiscard]] bool speaking() const { return speaking_; }
  [[nodiscard]] bool copying() const { return copying_; }

  // ShownTextObserver
  void pageShown(std::u32string_view text) override;
  void pageGone() override;
  void menuShown(std::u32string_view header, std::span<const std::u32string> entries) override;
  void menuFocused(std::u32string_view entry) override;
  void itemShown(std::u32string_view name) override;

 private:
  void toggleClipboard();
  void toggleSpeech();
  void copy(std::u32string_view text);
  void speak(std::u32string_view text);
  // The notice, once, that speech-dispatcher cannot speak.
  void checkSpeech();

  Platform& platform_;
  HostedGame& game_;
  Comforts& comforts_;
  Notify notify_;
  std::optional<int> hookFd_;
  std::optional<TextHook> hook_;
  std::unique_ptr<Speech> speech_;
  bool copying_ = false;
  bool speaking_ = false;
  bool skipping_ = false;
  bool clipboardRefused_ = false;  // said once
  std::u32string page_;            // the page in the window, once completely shown
};

}  // namespace qov
