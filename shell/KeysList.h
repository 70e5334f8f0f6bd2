#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "shell/Screens.h"
#include "ui/Controls.h"

namespace qov {

// The keys list over the picture: a line for each of the shell's actions, and the volume and
// scale in force. Opened from a pad, it lists the pad's buttons instead.
class KeysOverlay final : public Control {
 public:
  explicit KeysOverlay(Platform& platform);
  // `pad`: the lines are the pad's buttons.
  void set(std::vector<std::u32string> lines, std::u32string status, bool pad);

 protected:
  void drawSelf(Image& frame, const Rect& at, const Rect& clip) const override;
  void sign(std::uint64_t& digest) const override;

 private:
  std::shared_ptr<const Font> font_;
  std::vector<std::u32string> lines_;
  std::u32string status_;
  bool pad_ = false;
};

// The keys list as a screen: any key, pad button or click closes it and does nothing else.
class KeysScreen final : public Screen {
 public:
  KeysScreen(Platform& platform, ScreenStack& screens);
  // Shows `lines` (of the keys, or of the pad's buttons) and `status` in the language in use.
  void show(std::vector<std::u32string> lines, std::u32string status, bool pad);
  [[nodiscard]] bool take(const Press& press, const std::optional<Asked>& asked) override;
  void draw(Image& frame) const override { overlay_.draw(frame); }
  [[nodiscard]] std::uint64_t signature() const override { return overlay_.signature(); }

 private:
  ScreenStack& screens_;
  KeysOverlay overlay_;
};

}  // namespace qov
