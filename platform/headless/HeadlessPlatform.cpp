#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "platform/render/Render.h"

namespace qov {
namespace {

// doEvents() calls in a row that deliver, fire and present nothing: a loop that polls without
// ever waiting, which would spin forever on a clock that only waits move.
constexpr long kIdleDoEventsLimit = 10'000'000;

}  // namespace

HeadlessPlatform::HeadlessPlatform(std::vector<std::filesystem::path> mediaDirs)
    : fonts_(std::make_unique<FontLibrary>()),
      music_(mediaDirs, [this] { return now_; }),
      sound_(mediaDirs, [this] { return now_; }) {}

HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::openWindow(const std::string& caption, const Image& icon,
                                  const Image& waitCursor) {
  caption_ = caption;
  icon_ = icon;
  waitCursor_ = waitCursor;
}

TimerId HeadlessPlatform::createTimer(int intervalMs, std::function<void()> handler,
                                      bool background) {
  Timer t;
  t.interval = std::max(1, intervalMs);
  t.handler = std::move(handler);
  t.background = background;
  timers_.push_back(std::move(t));
  return static_cast<TimerId>(timers_.size() - 1);
}

HeadlessPlatform::Timer& HeadlessPlatform::timer(TimerId id) {
  if (id < 0 || static_cast<std::size_t>(id) >= timers_.size()) {
    throw std::out_of_range("no timer " + std::to_string(id));
  }
  return timers_[static_cast<std::size_t>(id)];
}

const HeadlessPlatform::Timer& HeadlessPlatform::timer(TimerId id) const {
  if (id < 0 || static_cast<std::size_t>(id) >= timers_.size()) {
    throw std::out_of_range("no timer " + std::to_string(id));
  }
  return timers_[static_cast<std::size_t>(id)];
}

void HeadlessPlatform::setTimerEnabled(TimerId id, bool enabled) {
  Timer& t = timer(id);
  t.enabled = enabled;
  if (enabled) t.due = now_ + static_cast<std::uint64_t>(t.interval);
}

bool HeadlessPlatform::timerEnabled(TimerId id) const {
  return timer(id).enabled;
}

void HeadlessPlatform::delayNextTick(TimerId id, std::uint32_t ms) {
  Timer& t = timer(id);
  if (t.enabled) t.due = now_ + ms;
}

void HeadlessPlatform::setCursor(Cursor cursor) {
  cursor_ = cursor;
  cursorLog_.push_back(cursor);
}

void HeadlessPlatform::messageBox(const std::string& title, const std::string& textUtf8,
                                  MessageIcon icon) {
  boxes_.push_back(MessageBoxEntry{title, textUtf8, icon});
}

std::shared_ptr<const Font> HeadlessPlatform::font(const FontRequest& wanted) {
  return fonts_->font(wanted);
}

std::optional<Image> HeadlessPlatform::decodeImage(std::span<const std::uint8_t> bytes) {
  return qov::decodeImage(bytes);
}

bool HeadlessPlatform::saveFrame(const std::filesystem::path& png) const {
  return savePng(frame_, png);
}

void HeadlessPlatform::queue(Input input) {
  input_.push_back(input);
}

void HeadlessPlatform::click(int x, int y, int button, std::optional<std::uint64_t> notBeforeMs) {
  queue(Input{InputKind::Click, x, y, button, Key::Other, 0, notBeforeMs});
}

void HeadlessPlatform::mouseDown(int x, int y, int button,
                                 std::optional<std::uint64_t> notBeforeMs) {
  queue(Input{InputKind::MouseDown, x, y, button, Key::Other, 0, notBeforeMs});
}

void HeadlessPlatform::mouseUp(int x, int y, int button, std::optional<std::uint64_t> notBeforeMs) {
  queue(Input{InputKind::MouseUp, x, y, button, Key::Other, 0, notBeforeMs});
}

void HeadlessPlatform::key(Key key, std::optional<std::uint64_t> notBeforeMs, int modifiers) {
  queue(Input{InputKind::Key, 0, 0, 0, key, modifiers, notBeforeMs});
}

void HeadlessPlatform::keyDown(Key key, std::optional<std::uint64_t> notBeforeMs, int modifiers) {
  queue(Input{InputKind::KeyDown, 0, 0, 0, key, modifiers, notBeforeMs});
}

void HeadlessPlatform::keyUp(Key key, std::optional<std::uint64_t> notBeforeMs, int modifiers) {
  queue(Input{InputKind::KeyUp, 0, 0, 0, key, modifiers, notBeforeMs});
}

void HeadlessPlatform::wheel(int steps, std::optional<std::uint64_t> notBeforeMs) {
  queue(Input{InputKind::Wheel, 0, 0, 0, Key::Other, steps, notBeforeMs});
}

void HeadlessPlatform::closeWindow(std::optional<std::uint64_t> notBeforeMs) {
  queue(Input{InputKind::Close, 0, 0, 0, Key::Other, 0, notBeforeMs});
}

int HeadlessPlatform::setWindowScale(int scale) {
  const int fits = std::max(1, std::min(screenWidth_ / 506, screenHeight_ / 384));
  scale_ = std::clamp(scale, 1, fits);
  return scale_;
}

std::error_code HeadlessPlatform::writePngFile(const Image& image,
                                               const std::filesystem::path& file) {
  return qov::writePngFile(image, file);
}

void HeadlessPlatform::drop(std::filesystem::path path, std::optional<std::uint64_t> notBeforeMs) {
  drops_.push_back(std::move(path));
  queue(Input{InputKind::Drop, 0, 0, 0, Key::Other, 0, notBeforeMs});
}

void HeadlessPlatform::plugPad(int pad, std::optional<std::uint64_t> notBeforeMs) {
  queue(Input{InputKind::PadPlug, 0, 0, 0, Key::Other, 0, notBeforeMs, pad});
}

void HeadlessPlatform::unplugPad(int pad, std::optional<std::uint64_t> notBeforeMs) {
  queue(Input{InputKind::PadUnplug, 0, 0, 0, Key::Other, 0, notBeforeMs, pad});
}

void HeadlessPlatform::pad(PadButton button, std::optional<std::uint64_t> notBeforeMs, int pad) {
  queue(Input{InputKind::Pad, 0, 0, 0, Key::Other, 0, notBeforeMs, pad, button});
}

void HeadlessPlatform::padDown(PadButton button, std::optional<std::uint64_t> notBeforeMs,
                               int pad) {
  queue(Input{InputKind::PadDown, 0, 0, 0, Key::Other, 0, notBeforeMs, pad, button});
}

void HeadlessPlatform::padUp(PadButton button, std::optional<std::uint64_t> notBeforeMs, int pad) {
  queue(Input{InputKind::PadUp, 0, 0, 0, Key::Other, 0, notBeforeMs, pad, button});
}

void HeadlessPlatform::padStick(Pads::Axis axis, int value,
                                std::optional<std::uint64_t> notBeforeMs, int pad) {
  queue(
      Input{InputKind::PadStick, value, 0, 0, Key::Other, 0, notBeforeMs, pad, PadButton::A, axis});
}

void HeadlessPlatform::deliverFront() {
  // Taken off the queue first: a handler may end the program by throwing.
  const Input in = input_.front();
  input_.pop_front();
  std::filesystem::path dropped;
  if (in.kind == InputKind::Drop) {
    dropped = std::move(drops_.front());
    drops_.pop_front();
  }
  lastInputAt_ = now_;
  if (sink_ == nullptr) return;
  switch (in.kind) {
    case InputKind::MouseDown:
      sink_->mouseDown(in.x, in.y, in.button);
      break;
    case InputKind::MouseUp:
      sink_->mouseUp(in.x, in.y, in.button);
      break;
    case InputKind::Click:
      sink_->mouseDown(in.x, in.y, in.button);
      sink_->mouseUp(in.x, in.y, in.button);
      break;
    case InputKind::Key:
      // The extra modifiers are let go with the key.
      sink_->keyDown(KeyPress{in.key, heldModifiers_ | in.modifiers, false});
      sink_->keyUp(KeyPress{in.key, heldModifiers_, false});
      break;
    case InputKind::KeyDown:
      if (in.key == Key::Control) heldModifiers_ |= kCtrlKey;
      sink_->keyDown(KeyPress{in.key, heldModifiers_ | in.modifiers, false});
      break;
    case InputKind::KeyUp:
      if (in.key == Key::Control) heldModifiers_ &= ~kCtrlKey;
      sink_->keyUp(KeyPress{in.key, heldModifiers_ | in.modifiers, false});
      break;
    case InputKind::Wheel:
      sink_->mouseWheel(in.modifiers);
      break;
    case InputKind::Close:
      sink_->closeRequested();
      break;
    case InputKind::Drop:
      sink_->dropped(dropped);
      break;
    case InputKind::PadPlug:
      pads_.added(in.pad);
      break;
    case InputKind::PadUnplug:
      pads_.removed(in.pad);
      break;
    case InputKind::Pad:
      pads_.button(in.pad, in.padButton, true);
      pads_.button(in.pad, in.padButton, false);
      break;
    case InputKind::PadDown:
    case InputKind::PadUp:
      pads_.button(in.pad, in.padButton, in.kind == InputKind::PadDown);
      break;
    case InputKind::PadStick:
      pads_.stick(in.pad, in.axis, in.x);
      break;
  }
}

bool HeadlessPlatform::foregroundTimerWaiting() const {
  return std::any_of(timers_.begin(), timers_.end(),
                     [](const Timer& t) { return t.enabled && !t.running && !t.background; });
}

std::optional<std::uint64_t> HeadlessPlatform::nextDue(bool background) const {
  std::optional<std::uint64_t> next;
  for (const Timer& t : timers_) {
    if (t.enabled && !t.running && t.background == background && (!next || t.due < *next)) {
      next = t.due;
    }
  }
  return next;
}

void HeadlessPlatform::fire(TimerId id) {
  Timer& t = timer(id);
  const std::uint64_t scheduled = t.due;
  t.running = true;
  struct Done {
    HeadlessPlatform& p;
    TimerId id;
    std::uint64_t scheduled;
    ~Done() {
      Timer& t = p.timers_[static_cast<std::size_t>(id)];
      t.running = false;
      // Unless the handler re-enabled or delayed it, the next tick keeps
      // the rhythm; ticks missed while the handler waited are not made up.
      if (t.due == scheduled) {
        t.due = std::max(scheduled + static_cast<std::uint64_t>(t.interval), p.now_);
      }
    }
  } done{*this, id, scheduled};
  // A copy: the handler may create timers, which moves the vector.
  const std::function<void()> handler = t.handler;
  if (handler) handler();
}

void HeadlessPlatform::fireDueTimers() {
  // Each due timer fires once per call, earliest first.
  std::vector<std::pair<std::uint64_t, TimerId>> due;
  for (std::size_t i = 0; i < timers_.size(); ++i) {
    const Timer& t = timers_[i];
    if (t.enabled && !t.running && t.due <= now_) due.emplace_back(t.due, static_cast<TimerId>(i));
  }
  std::sort(due.begin(), due.end());
  for (const auto& [when, id] : due) {
    const Timer& t = timer(id);
    // An earlier handler may have disabled or restarted it.
    if (!t.enabled || t.running || t.due != when) continue;
    idleDoEvents_ = 0;
    fire(id);
  }
}

void HeadlessPlatform::presentIfChanged() {
  if (!framesComposed_ || sink_ == nullptr || !sink_->frameChanged()) return;
  frame_ = sink_->composeFrame();
  ++presents_;
  idleDoEvents_ = 0;
}

void HeadlessPlatform::doEvents() {
  if (++idleDoEvents_ > kIdleDoEventsLimit) {
    idleDoEvents_ = 0;
    throw HeadlessStall(
        "the program polls doEvents() in a loop that never waits; on the virtual clock time "
        "only passes in waitEvents()");
  }
  fireDueTimers();
  presentIfChanged();
}

void HeadlessPlatform::advanceTo(std::uint64_t t) {
  if (t <= now_) return;
  now_ = t;
  if (now_ - lastInputAt_ > stallLimit_) {
    throw HeadlessStall("the virtual clock ran " + std::to_string(now_ - lastInputAt_) +
                        " ms without taking any input (" + std::to_string(input_.size()) +
                        " input items queued): the program never waits for the player");
  }
}

void HeadlessPlatform::waitEvents(std::optional<std::uint32_t> timeoutMs) {
  idleDoEvents_ = 0;
  const std::optional<std::uint64_t> deadline =
      timeoutMs ? std::optional<std::uint64_t>(now_ + *timeoutMs) : std::nullopt;
  for (;;) {
    if (!input_.empty()) {
      const Input& front = input_.front();
      const bool due =
          front.notBefore ? *front.notBefore <= now_ : !deadline && !foregroundTimerWaiting();
      if (due) {
        deliverFront();
        doEvents();
        return;
      }
    }

    // The next moment at which something can happen.
    std::optional<std::uint64_t> target = nextDue(false);
    const auto consider = [&target](std::optional<std::uint64_t> t) {
      if (t && (!target || *t < *target)) target = t;
    };
    consider(deadline);
    if (!input_.empty()) consider(input_.front().notBefore);
    // The end of a sound effect wakes a wait, as its end notice would.
    consider(sound_.endTime());

    if (!target) {
      // The program now waits for the player, who sees the window as it is.
      presentIfChanged();
      if (stallHandler_ && stallHandler_() && !input_.empty()) continue;
      throw HeadlessStall(
          "waitEvents() with no timeout can never return: no input is queued and no timer "
          "that could end the wait is enabled");
    }

    // Background timers tick on as the clock passes them.
    const std::optional<std::uint64_t> background = nextDue(true);
    if (background && *background < *target) {
      advanceTo(*background);
      fireDueTimers();
      presentIfChanged();
      continue;
    }

    advanceTo(*target);
    if (!input_.empty() && input_.front().notBefore && *input_.front().notBefore <= now_) {
      deliverFront();
    }
    doEvents();
    return;
  }
}

void HeadlessPlatform::loadSoundFont(const std::filesystem::path& file) {
  bool loads = file.empty();
  if (!loads) {
    const std::optional<std::vector<std::uint8_t>> bytes = readFile(file);
    const auto at = [&](std::size_t from, std::string_view word) {
      return bytes && bytes->size() >= from + word.size() &&
             std::equal(word.begin(), word.end(), bytes->begin() + static_cast<long>(from));
    };
    loads = at(0, "RIFF") && at(8, "sfbk");
  }
  if (loads) soundFont_ = file;
  soundFontLoaded_ = loads;
}

}  // namespace qov
