#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "platform/Platform.h"

namespace qov {

// The real platform: one SDL window showing the 506 x 384 frame (scaled by a whole factor on
// large screens, at the player's scale and in fullscreen), timers run by our own event loop, fonts
// and pictures from platform/render, sound through SdlAudio. Throws std::runtime_error when SDL's
// video cannot start and FontError when no Japanese font is installed.
class SdlPlatform final : public Platform {
 public:
  // `mediaDirs`: where music and sound files are looked up, in order.
  explicit SdlPlatform(std::vector<std::filesystem::path> mediaDirs);
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  void openWindow(const std::string& caption, const Image& icon, const Image& waitCursor) override;
  void setEventSink(EventSink* sink) override;
  TimerId createTimer(int intervalMs, std::function<void()> handler,
                      bool background = false) override;
  void setTimerEnabled(TimerId timer, bool enabled) override;
  [[nodiscard]] bool timerEnabled(TimerId timer) const override;
  void delayNextTick(TimerId timer, std::uint32_t ms) override;
  [[nodiscard]] std::uint32_t tickCount() override;
  void doEvents() override;
  void waitEvents(std::optional<std::uint32_t> timeoutMs = std::nullopt) override;
  void setCursor(Cursor cursor) override;
  void messageBox(const std::string& title, const std::string& textUtf8, MessageIcon icon) override;
  [[nodiscard]] bool windowSeen() const override;
  void beep() override;
  [[nodiscard]] std::shared_ptr<const Font> font(const FontRequest& wanted) override;
  [[nodiscard]] std::optional<Image> decodeImage(std::span<const std::uint8_t> bytes) override;
  MusicDevice& music() override;
  SoundOutput& sound() override;
  void setVolume(int percent) override;
  void setMixLevels(int musicPercent, int effectsPercent) override;
  void loadSoundFont(const std::filesystem::path& file) override;
  [[nodiscard]] std::optional<bool> soundFontLoaded() override;
  int setWindowScale(int scale) override;
  [[nodiscard]] int windowScale() const override;
  void setFullscreen(bool on) override;
  [[nodiscard]] bool fullscreen() const override;
  [[nodiscard]] std::filesystem::path settingsFile() const override;
  [[nodiscard]] std::filesystem::path picturesFolder() const override;
  [[nodiscard]] std::filesystem::path dataFolder() const override;
  [[nodiscard]] std::error_code writePngFile(const Image& image,
                                             const std::filesystem::path& file) override;
  bool setClipboardText(const std::string& utf8) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qov
