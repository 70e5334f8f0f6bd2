#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include <poll.h>
#include <time.h>

#include "platform/UserDirectories.h"
#include "platform/UserFolders.h"
#include "platform/audio/SdlAudio.h"
#include "platform/render/Render.h"
#include "platform/render/SdlHandles.h"
#include "platform/sdl/SdlInput.h"
#include "platform/sdl/SdlMessageBox.h"
#include "platform/sdl/SdlPads.h"
#include "platform/sdl/XErrors.h"

namespace qov {
namespace {

constexpr int kFrameWidth = 506;
constexpr int kFrameHeight = 384;
// The longest a wait sleeps under a video driver that cannot wait for events, before it looks
// for a quit signal that reached another thread.
constexpr int kLongestBlindSleepMs = 1000;

// SDL's video subsystem, started and stopped with the platform.
struct SdlVideo {
  SdlVideo() {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // On an X display, X alone: left to itself SDL now and then settled on another video
    // driver and the window never appeared on the X screen. SDL_VIDEODRIVER still wins.
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && *display != '\0' && std::getenv("WAYLAND_DISPLAY") == nullptr) {
      SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_DEFAULT);
    }
    // A 506 x 384 frame needs no GPU: the software renderer starts in half the time and
    // without the tens of megabytes of a GL driver. SDL_RENDER_DRIVER still wins when set.
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_DEFAULT);
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    // A click that brings the window to the front also counts, as it does on the original
    // system.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A small windowed game should not switch the desktop's compositor off.
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Before SDL starts: SDL chains to the handler it finds, and puts it back at the end.
    tolerateXErrors();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
      throw std::runtime_error(std::string("Cannot open the display: ") + SDL_GetError());
    }
  }
  ~SdlVideo() { SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS); }
  SdlVideo(const SdlVideo&) = delete;
  SdlVideo& operator=(const SdlVideo&) = delete;
};

// A surface that shares the image's ARGB words; valid while `pixels` lives.
SurfacePtr surfaceOf(std::vector<Argb>& pixels, int w, int h) {
  return SurfacePtr(
      SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), w, h, 32, w * 4, SDL_PIXELFORMAT_ARGB8888));
}

// Sleeps `ms` (-1: until woken), at most kLongestBlindSleepMs. A quit signal ends the sleep:
// it comes to this thread, as SDL's own threads block it.
void sleepAtMost(int ms) {
  const int span = ms < 0 ? kLongestBlindSleepMs : std::min(ms, kLongestBlindSleepMs);
  const timespec wait{span / 1000, static_cast<long>(span % 1000) * 1000000L};
  (void)::nanosleep(&wait, nullptr);
}

struct Timer {
  int interval = 1;
  std::function<void()> handler;
  bool background = false;
  bool enabled = false;
  bool running = false;
  Uint64 due = 0;
};

}  // namespace

struct SdlPlatform::Impl {
  explicit Impl(std::vector<std::filesystem::path> mediaDirs) : audio(std::move(mediaDirs)) {
    const char* name = SDL_GetCurrentVideoDriver();
    driver = name != nullptr ? name : "";
    // No text input: keys arrive as key presses, without an input method in between.
    SDL_StopTextInput();
  }

  SdlVideo video;
  FontLibrary fonts;
  SdlAudio audio;
  std::string driver;
  EventSink* sink = nullptr;
  SdlPads pads{sink};

  WindowPtr window;
  RendererPtr renderer;
  TexturePtr texture;
  CursorPtr waitCursor;
  CursorPtr arrow;
  int scale = 1;
  std::optional<int> wantedScale;  // set before the window opens
  bool wantFullscreen = false;
  bool textureFilled = false;
  int displayFd = -1;  // the X server's connection, when the window is on one

  std::vector<Timer> timers;
  Uint64 lastPresent = 0;
  Uint64 refreshMs = 16;
  // The window's close button sends a window event and then a quit event: one close only.
  bool closeSent = false;
  // Of the names dropped together, only the first counts.
  bool dropTaken = false;
  // QOV_TRACE_FIRST_FRAME set: the wall-clock time of the first frame shown goes to stderr,
  // for measuring start-up (bench/run).
  bool traceFirstFrame = std::getenv("QOV_TRACE_FIRST_FRAME") != nullptr;

  [[nodiscard]] bool headless() const { return driver == "dummy" || driver == "offscreen"; }

  Timer& timer(TimerId id) {
    if (id < 0 || static_cast<std::size_t>(id) >= timers.size()) {
      throw std::out_of_range("no timer " + std::to_string(id));
    }
    return timers[static_cast<std::size_t>(id)];
  }

  void handle(const SDL_Event& e);
  void runPending();
  void fireDueTimers();
  void fire(TimerId id);
  void presentIfDue();
  void present();
  [[nodiscard]] int largestScale() const;
  void applyScale();
  [[nodiscard]] std::optional<Uint64> nextWake() const;
};

void SdlPlatform::Impl::handle(const SDL_Event& e) {
  if (pads.handle(e)) return;
  switch (e.type) {
    case SDL_QUIT:
      // Also what SDL makes of an interrupt or termination signal.
      if (closeSent) {
        closeSent = false;
        return;
      }
      if (sink != nullptr) sink->closeRequested();
      return;
    case SDL_WINDOWEVENT:
      if (!window || e.window.windowID != SDL_GetWindowID(window.get())) return;
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
        closeSent = true;
        if (sink != nullptr) sink->closeRequested();
      } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                 e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        present();
      }
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (!window || e.button.windowID != SDL_GetWindowID(window.get()) || sink == nullptr) return;
      const int button = mouseButton(e.button.button);
      if (button == 0) return;
      // The renderer has already mapped the position to frame pixels. A press lands only
      // inside the frame; a release may come from outside, as the pressed window keeps the
      // mouse.
      const int x = e.button.x;
      const int y = e.button.y;
      if (e.type == SDL_MOUSEBUTTONDOWN) {
        if (x < 0 || y < 0 || x >= kFrameWidth || y >= kFrameHeight) return;
        sink->mouseDown(x, y, button);
      } else {
        sink->mouseUp(x, y, button);
      }
      return;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      if (sink == nullptr) return;
      const KeyPress press{keyOf(e.key.keysym), modifiersOf(e.key), e.key.repeat != 0};
      if (e.type == SDL_KEYDOWN) {
        sink->keyDown(press);
      } else {
        sink->keyUp(press);
      }
      return;
    }
    case SDL_MOUSEWHEEL: {
      if (!window || e.wheel.windowID != SDL_GetWindowID(window.get()) || sink == nullptr) return;
      const int steps = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
      if (steps != 0) sink->mouseWheel(steps);
      return;
    }
    case SDL_DROPBEGIN:
    case SDL_DROPCOMPLETE:
      dropTaken = false;
      return;
    case SDL_DROPFILE:
    case SDL_DROPTEXT: {
      const std::unique_ptr<char, decltype(&SDL_free)> name(e.drop.file, SDL_free);
      if (sink == nullptr || name == nullptr || dropTaken) return;
      dropTaken = true;
      sink->dropped(std::filesystem::path(name.get()));
      return;
    }
    default:
      return;
  }
}

int SdlPlatform::Impl::largestScale() const {
  const int display = window ? std::max(0, SDL_GetWindowDisplayIndex(window.get())) : 0;
  SDL_Rect usable{0, 0, kFrameWidth, kFrameHeight};
  if (SDL_GetDisplayUsableBounds(display, &usable) != 0) return 1;
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  if (window)
    static_cast<void>(SDL_GetWindowBordersSize(window.get(), &top, &left, &bottom, &right));
  return std::max(1, std::min((usable.w - left - right) / kFrameWidth,
                              (usable.h - top - bottom) / kFrameHeight));
}

// The windowed size for the scale, centred on the window's display.
void SdlPlatform::Impl::applyScale() {
  if (!window || (SDL_GetWindowFlags(window.get()) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return;
  SDL_SetWindowSize(window.get(), kFrameWidth * scale, kFrameHeight * scale);
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window.get()));
  SDL_SetWindowPosition(window.get(), SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                        SDL_WINDOWPOS_CENTERED_DISPLAY(display));
  present();
}

void SdlPlatform::Impl::fire(TimerId id) {
  Timer& t = timer(id);
  const Uint64 scheduled = t.due;
  t.running = true;
  struct Done {
    Impl& impl;
    TimerId id;
    Uint64 scheduled;
    ~Done() {
      Timer& t = impl.timers[static_cast<std::size_t>(id)];
      t.running = false;
      // Unless the handler restarted or delayed it, the next tick keeps the rhythm; ticks missed
      // while the handler ran are not made up.
      if (t.due == scheduled) {
        t.due = std::max(scheduled + static_cast<Uint64>(t.interval), SDL_GetTicks64());
      }
    }
  } done{*this, id, scheduled};
  const std::function<void()> handler = t.handler;  // the handler may add timers
  if (handler) handler();
}

void SdlPlatform::Impl::fireDueTimers() {
  const Uint64 now = SDL_GetTicks64();
  std::vector<std::pair<Uint64, TimerId>> due;
  for (std::size_t i = 0; i < timers.size(); ++i) {
    const Timer& t = timers[i];
    if (t.enabled && !t.running && t.due <= now) due.emplace_back(t.due, static_cast<TimerId>(i));
  }
  std::sort(due.begin(), due.end());
  for (const auto& [when, id] : due) {
    const Timer& t = timer(id);
    if (!t.enabled || t.running || t.due != when) continue;
    fire(id);
  }
}

void SdlPlatform::Impl::present() {
  if (!renderer || !texture) return;
  if (!textureFilled) {
    if (sink == nullptr) return;
    const Image& frame = sink->composeFrame();
    SDL_UpdateTexture(texture.get(), nullptr, frame.pixels().data(), frame.width() * 4);
    textureFilled = true;
  }
  SDL_SetRenderDrawColor(renderer.get(), 0, 0, 0, 255);
  SDL_RenderClear(renderer.get());
  SDL_RenderCopy(renderer.get(), texture.get(), nullptr, nullptr);
  SDL_RenderPresent(renderer.get());
  lastPresent = SDL_GetTicks64();
  if (traceFirstFrame) {
    traceFirstFrame = false;
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    std::fprintf(stderr, "qov: first frame at %lld us\n", static_cast<long long>(us.count()));
  }
}

void SdlPlatform::Impl::presentIfDue() {
  if (!renderer || sink == nullptr || !sink->frameChanged()) return;
  if (SDL_GetTicks64() < lastPresent + refreshMs) return;  // the next wait wakes for it
  const Image& frame = sink->composeFrame();
  if (frame.width() != kFrameWidth || frame.height() != kFrameHeight) return;
  SDL_UpdateTexture(texture.get(), nullptr, frame.pixels().data(), frame.width() * 4);
  textureFilled = true;
  present();
}

std::optional<Uint64> SdlPlatform::Impl::nextWake() const {
  std::optional<Uint64> wake;
  for (const Timer& t : timers) {
    if (t.enabled && !t.running && (!wake || t.due < *wake)) wake = t.due;
  }
  if (renderer && sink != nullptr && sink->frameChanged()) {
    const Uint64 slot = lastPresent + refreshMs;
    if (!wake || slot < *wake) wake = slot;
  }
  return wake;
}

SdlPlatform::SdlPlatform(std::vector<std::filesystem::path> mediaDirs)
    : impl_(std::make_unique<Impl>(std::move(mediaDirs))) {}

SdlPlatform::~SdlPlatform() = default;

void SdlPlatform::openWindow(const std::string& caption, const Image& icon,
                             const Image& waitCursor) {
  Impl& m = *impl_;
  // The player's scale, or a whole factor that keeps the window within half of a large
  // screen: 1 on a normal one.
  SDL_Rect usable{0, 0, kFrameWidth, kFrameHeight};
  if (m.wantedScale) {
    m.scale = std::clamp(*m.wantedScale, 1, m.largestScale());
  } else if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
    m.scale = std::max(1, std::min(usable.w / kFrameWidth, usable.h / kFrameHeight) / 2);
  }
  m.window.reset(SDL_CreateWindow(
      caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kFrameWidth * m.scale,
      kFrameHeight * m.scale,
      SDL_WINDOW_ALLOW_HIGHDPI | (m.wantFullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0)));
  if (!m.window) throw std::runtime_error(std::string("Cannot open the window: ") + SDL_GetError());
  m.renderer.reset(SDL_CreateRenderer(m.window.get(), -1, SDL_RENDERER_ACCELERATED));
  if (!m.renderer) m.renderer.reset(SDL_CreateRenderer(m.window.get(), -1, SDL_RENDERER_SOFTWARE));
  if (!m.renderer) {
    throw std::runtime_error(std::string("Cannot draw in the window: ") + SDL_GetError());
  }
  // The frame is scaled by whole factors only, letterboxed in fullscreen; SDL maps mouse
  // positions back to frame pixels.
  SDL_RenderSetLogicalSize(m.renderer.get(), kFrameWidth, kFrameHeight);
  SDL_RenderSetIntegerScale(m.renderer.get(), SDL_TRUE);
  m.texture.reset(SDL_CreateTexture(m.renderer.get(), SDL_PIXELFORMAT_ARGB8888,
                                    SDL_TEXTUREACCESS_STREAMING, kFrameWidth, kFrameHeight));
  if (!m.texture) {
    throw std::runtime_error(std::string("Cannot draw in the window: ") + SDL_GetError());
  }
  m.textureFilled = false;

  SDL_DisplayMode mode;
  const int display = SDL_GetWindowDisplayIndex(m.window.get());
  if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0) {
    m.refreshMs = static_cast<Uint64>(std::max(1, 1000 / mode.refresh_rate));
  }

  if (!icon.empty()) {
    std::vector<Argb> pixels = icon.pixels();
    if (auto surface = surfaceOf(pixels, icon.width(), icon.height())) {
      SDL_SetWindowIcon(m.window.get(), surface.get());
    }
  }
  if (!waitCursor.empty()) {
    std::vector<Argb> pixels = waitCursor.pixels();
    if (auto surface = surfaceOf(pixels, waitCursor.width(), waitCursor.height())) {
      m.waitCursor.reset(
          SDL_CreateColorCursor(surface.get(), waitCursor.width() / 2, waitCursor.height() / 2));
    }
  }
  m.arrow.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
  m.displayFd = xConnection(m.window.get());
  SDL_ShowWindow(m.window.get());
  m.present();
}

void SdlPlatform::setEventSink(EventSink* sink) {
  impl_->sink = sink;
  impl_->textureFilled = false;
}

TimerId SdlPlatform::createTimer(int intervalMs, std::function<void()> handler, bool background) {
  Timer t;
  t.interval = std::max(1, intervalMs);
  t.handler = std::move(handler);
  t.background = background;
  impl_->timers.push_back(std::move(t));
  return static_cast<TimerId>(impl_->timers.size() - 1);
}

void SdlPlatform::setTimerEnabled(TimerId id, bool enabled) {
  Timer& t = impl_->timer(id);
  t.enabled = enabled;
  if (enabled) t.due = SDL_GetTicks64() + static_cast<Uint64>(t.interval);
}

bool SdlPlatform::timerEnabled(TimerId id) const {
  return impl_->timer(id).enabled;
}

void SdlPlatform::delayNextTick(TimerId id, std::uint32_t ms) {
  Timer& t = impl_->timer(id);
  if (t.enabled) t.due = SDL_GetTicks64() + ms;
}

std::uint32_t SdlPlatform::tickCount() {
  return SDL_GetTicks();
}

void SdlPlatform::doEvents() {
  impl_->pads.update(SDL_GetTicks64());
  SDL_PumpEvents();
  impl_->runPending();
}

void SdlPlatform::Impl::runPending() {
  // Without pumping: the caller has just asked the display for news.
  SDL_Event e;
  while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) handle(e);
  fireDueTimers();
  presentIfDue();
}

void SdlPlatform::waitEvents(std::optional<std::uint32_t> timeoutMs) {
  Impl& m = *impl_;
  // At the first wait rather than before the first frame: starting the pads takes a while.
  m.pads.start();
  const Uint64 start = SDL_GetTicks64();
  std::optional<Uint64> wake = m.nextWake();
  if (timeoutMs) {
    const Uint64 deadline = start + *timeoutMs;
    if (!wake || deadline < *wake) wake = deadline;
  }
  bool quiet = false;  // SDL has seen the display, and nothing arrived since
  for (;;) {
    const Uint64 now = SDL_GetTicks64();
    if (wake && *wake <= now) break;
    const int wait = wake ? static_cast<int>(std::min<Uint64>(*wake - now, 1u << 30)) : -1;
    // The pads are ours to read: a wait wakes for them, and goes on waiting when they have
    // nothing to say.
    const std::optional<std::uint32_t> pads = m.pads.nextUpdateIn(now);
    const bool forPads = pads && (wait < 0 || static_cast<int>(*pads) < wait);
    const int span = forPads ? static_cast<int>(*pads) : wait;
    bool woken = false;
    if (span != 0) {
      if (quiet && m.displayFd >= 0) {
        // Asking SDL would ask the X server a dozen times at every look at the pads: the
        // last round left nothing pending, so its connection's news suffice. A signal (SDL
        // makes a quit of it when it pumps) or news go back to SDL.
        pollfd display{m.displayFd, POLLIN, 0};
        if (::poll(&display, 1, span) != 0) {
          quiet = false;
          continue;
        }
      } else if (m.headless()) {
        // SDL would poll its queue every millisecond here: without a display there is nothing
        // to wait on but the clock and signals.
        SDL_PumpEvents();
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_FALSE) {
          sleepAtMost(span);
          SDL_PumpEvents();
        }
      } else {
        SDL_Event e;
        // The wait has asked the display for news; waking for a timer costs no second round.
        if (SDL_WaitEventTimeout(&e, span) != 0) {
          m.handle(e);
          woken = true;
        }
        quiet = !woken;
      }
    }
    m.pads.update(SDL_GetTicks64());
    if (!forPads || woken || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_TRUE) {
      m.runPending();
      return;
    }
  }
  doEvents();
}

void SdlPlatform::setCursor(Cursor cursor) {
  SDL_Cursor* c = cursor == Cursor::Wait ? impl_->waitCursor.get() : impl_->arrow.get();
  if (c != nullptr) SDL_SetCursor(c);
}

void SdlPlatform::messageBox(const std::string& title, const std::string& textUtf8,
                             MessageIcon icon) {
  Impl& m = *impl_;
  if (m.headless()) return;
  if (showOwnMessageBox(m.fonts, m.window.get(), m.scale, title, textUtf8, icon,
                        [&m] { m.present(); })) {
    return;
  }
  // Our own box could not open: SDL's, then at least the terminal.
  const SDL_MessageBoxButtonData ok{
      SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "OK"};
  const SDL_MessageBoxData data{
      icon == MessageIcon::Stop ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION,
      m.window.get(),
      title.c_str(),
      textUtf8.c_str(),
      1,
      &ok,
      nullptr};
  int pressed = 0;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) std::cerr << title << ": " << textUtf8 << '\n';
}

bool SdlPlatform::windowSeen() const {
  return !impl_->headless();
}

void SdlPlatform::beep() {
  impl_->audio.beep();
}

std::shared_ptr<const Font> SdlPlatform::font(const FontRequest& wanted) {
  return impl_->fonts.font(wanted);
}

std::optional<Image> SdlPlatform::decodeImage(std::span<const std::uint8_t> bytes) {
  return qov::decodeImage(bytes);
}

MusicDevice& SdlPlatform::music() {
  return impl_->audio.music();
}

SoundOutput& SdlPlatform::sound() {
  return impl_->audio.sound();
}

void SdlPlatform::setVolume(int percent) {
  impl_->audio.setVolume(percent);
}

void SdlPlatform::setMixLevels(int musicPercent, int effectsPercent) {
  impl_->audio.setMixLevels(musicPercent, effectsPercent);
}

void SdlPlatform::loadSoundFont(const std::filesystem::path& file) {
  impl_->audio.loadSoundFont(file);
}

std::optional<bool> SdlPlatform::soundFontLoaded() {
  return impl_->audio.soundFontLoaded();
}

int SdlPlatform::setWindowScale(int scale) {
  Impl& m = *impl_;
  if (!m.window) {
    m.wantedScale = std::max(1, scale);
    return *m.wantedScale;
  }
  m.scale = std::clamp(scale, 1, m.largestScale());
  m.applyScale();
  return m.scale;
}

int SdlPlatform::windowScale() const {
  return impl_->window ? impl_->scale : impl_->wantedScale.value_or(impl_->scale);
}

void SdlPlatform::setFullscreen(bool on) {
  Impl& m = *impl_;
  m.wantFullscreen = on;
  if (!m.window || on == fullscreen()) return;
  SDL_SetWindowFullscreen(m.window.get(), on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  // Back in a window: the size of the scale chosen meanwhile.
  if (!on) m.applyScale();
  m.present();
}

bool SdlPlatform::fullscreen() const {
  const Impl& m = *impl_;
  if (!m.window) return m.wantFullscreen;
  return (SDL_GetWindowFlags(m.window.get()) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
         SDL_WINDOW_FULLSCREEN_DESKTOP;
}

std::filesystem::path SdlPlatform::settingsFile() const {
  return userSettingsFile();
}

std::filesystem::path SdlPlatform::picturesFolder() const {
  return userPicturesFolder();
}

std::filesystem::path SdlPlatform::dataFolder() const {
  const std::optional<std::filesystem::path> home = userDataHome();
  return home ? *home / "qov" : std::filesystem::path();
}

std::error_code SdlPlatform::writePngFile(const Image& image, const std::filesystem::path& file) {
  return qov::writePngFile(image, file);
}

bool SdlPlatform::setClipboardText(const std::string& utf8) {
  return SDL_SetClipboardText(utf8.c_str()) == 0;
}

}  // namespace qov
