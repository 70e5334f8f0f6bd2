#include "shell/states/States.h"

#include <ctime>
#include <iostream>
#include <system_error>
#include <utility>

#include "platform/AtomicFile.h"
#include "platform/Encoding.h"
#include "platform/UserDirectories.h"
#include "platform/render/Render.h"
#include "shell/Panel.h"
#include "shell/Words.h"
#include "shell/states/SlotScreen.h"

namespace qov {

namespace fs = std::filesystem;

namespace {

constexpr int kToastMs = 1200;
constexpr int kThumbWidth = 126;
constexpr int kThumbHeight = 96;
constexpr int kThumbStep = 4;

std::u32string why(const std::string& text) {
  return fromUtf8(text);
}

}  // namespace

Image thumbnailOf(const Image& frame) {
  Image out(kThumbWidth, kThumbHeight);
  if (frame.width() < kThumbWidth * kThumbStep || frame.height() < kThumbHeight * kThumbStep) {
    return out;
  }
  constexpr std::uint32_t kCount = kThumbStep * kThumbStep;
  for (int y = 0; y < kThumbHeight; ++y) {
    for (int x = 0; x < kThumbWidth; ++x) {
      std::uint32_t r = 0, g = 0, b = 0;
      for (int dy = 0; dy < kThumbStep; ++dy) {
        for (int dx = 0; dx < kThumbStep; ++dx) {
          const Argb c = frame.pixel(x * kThumbStep + dx, y * kThumbStep + dy);
          r += c >> 16 & 0xFF;
          g += c >> 8 & 0xFF;
          b += c & 0xFF;
        }
      }
      out.setPixel(x, y,
                   rgb(static_cast<int>((r + kCount / 2) / kCount),
                       static_cast<int>((g + kCount / 2) / kCount),
                       static_cast<int>((b + kCount / 2) / kCount)));
    }
  }
  return out;
}

States::States(Platform& platform, HostedGame& game, ScreenStack& screens, Notify notify)
    : platform_(platform),
      game_(game),
      screens_(screens),
      notify_(std::move(notify)),
      slotScreen_(std::make_unique<SlotScreen>(platform, screens, *this)),
      font_(platform.font(FontRequest{FontFace::Gothic, 10.0, false})) {
  toastTimer_ = platform_.createTimer(kToastMs, [this] {
    platform_.setTimerEnabled(toastTimer_, false);
    toast_.clear();
    ++toastSerial_;
    reportFailures();
  });
  writer_ = std::jthread([this](const std::stop_token& stop) { writeJobs(stop); });
}

States::~States() {
  platform_.setTimerEnabled(toastTimer_, false);
  {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !writing_; });
  }
  writer_.request_stop();
  wake_.notify_all();
}

void States::writeJobs(const std::stop_token& stop) {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      if (!wake_.wait(lock, stop, [this] { return !jobs_.empty(); })) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
      writing_ = true;
    }
    job.state.thumbnailPng = encodePng(job.thumbnail).value_or(std::string());
    const std::string bytes = encodeState(job.state);
    std::optional<std::u32string> failed;
    if (bytes.empty()) {
      failed = fill(tr(U"Cannot save (over 200 KB): {}"), {fromUtf8(job.file.string())});
    } else {
      std::error_code ec;
      fs::create_directories(job.file.parent_path(), ec);
      ec = replaceFile(job.file, bytes);
      if (ec) {
        std::cerr << "qov: cannot write " << job.file.string() << ": " << ec.message() << '\n';
        failed = fill(tr(U"Cannot save: {}: {}"), {fromUtf8(job.file.string()), why(ec.message())});
      }
    }
    std::lock_guard lock(mutex_);
    if (failed) failures_.push_back(std::move(*failed));
    writing_ = false;
    idle_.notify_all();
  }
}

void States::finishWrites() {
  {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !writing_; });
  }
  reportFailures();
}

void States::reportFailures() {
  std::vector<std::u32string> failures;
  {
    std::lock_guard lock(mutex_);
    failures.swap(failures_);
  }
  for (const std::u32string& failure : failures) notify_({failure});
}

void States::open(fs::path gameDir, fs::path folder) {
  gameDir_ = std::move(gameDir);
  folder_ = std::move(folder);
}

fs::path States::fileOf(std::string_view name) const {
  return folder_ / (std::string(name) + ".json");
}

std::string States::slotName(int index) {
  const std::string number = std::to_string(index + 1);
  return "slot" + std::string(number.size() < 2 ? 1 : 0, '0') + number;
}

bool States::hasAutosave(const fs::path& gameDir) {
  const std::optional<fs::path> folder = userGameDirectory(gameDir, "states");
  std::error_code ec;
  return folder && fs::is_regular_file(*folder / "auto.json", ec);
}

const std::string& States::hash() {
  if (!hash_) hash_ = scriptsHash(gameDir_);
  return *hash_;
}

void States::waitBegun() {
  last_ = game_.snapshot();
  reportFailures();
  if (quickPending_ && last_) {
    quickPending_ = false;
    const std::optional<std::u32string> failed = write("quick", *last_);
    toast(failed ? *failed : tr(U"Quick saved"));
  }
}

bool States::perform(const Asked& asked) {
  if (asked.action != Action::QuickSave && asked.action != Action::QuickLoad &&
      asked.action != Action::Slots) {
    return false;
  }
  if (asked.again) return true;
  if (game_.openingRuns()) {
    toast(tr(U"No saving or loading during the opening"));
    return true;
  }
  switch (asked.action) {
    case Action::QuickSave:
      if (const std::optional<std::u32string> failed = save("quick")) {
        toast(*failed);
      } else if (!quickPending_) {
        toast(tr(U"Quick saved"));
      }
      break;
    case Action::QuickLoad:
      load("quick");
      break;
    default:
      showSlots(true);
      break;
  }
  return true;
}

void States::showSlots(bool saving) {
  slotScreen_->show(saving);
}

std::optional<std::u32string> States::save(std::string_view name) {
  if (folder_.empty())
    return tr(U"No place for save states (neither $XDG_DATA_HOME nor $HOME is set)");
  const std::optional<GameSnapshot> now = game_.snapshot();
  if (!now) {
    // Between two waits: the quick state is taken at the next one.
    if (name != "quick") return tr(U"Cannot save now: try again where the game waits");
    quickPending_ = true;
    toast(tr(U"Quick save at the next wait"));
    return std::nullopt;
  }
  return write(name, *now);
}

std::optional<std::u32string> States::write(std::string_view name, const GameSnapshot& snapshot) {
  SavedState state;
  state.snapshot = snapshot;
  state.title = game_.caption();
  state.scriptsHash = hash();
  state.takenAt = now_ ? now_() : static_cast<std::int64_t>(std::time(nullptr));
  if (pageText_) state.pageStart = pageText_().substr(0, kPageStartLength);
  Image frame(506, 384);
  game_.drawFrame(frame);
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(Job{fileOf(name), std::move(state), thumbnailOf(frame)});
  }
  wake_.notify_all();
  return std::nullopt;
}

std::optional<std::u32string> States::refusal(const SavedState& state) {
  if (state.scriptsHash != hash()) {
    return tr(U"This state was taken before the game's scripts changed and cannot be used");
  }
  if (const std::optional<std::string> reason = game_.refusal(state.snapshot)) {
    return fill(tr(U"This state cannot be used: {}"), {fromUtf8(*reason)});
  }
  return std::nullopt;
}

void States::load(std::string_view name) {
  finishWrites();
  const fs::path file = fileOf(name);
  std::error_code ec;
  if (folder_.empty() || !fs::exists(file, ec)) {
    toast(name == "quick" ? tr(U"No quick save") : tr(U"This slot is empty"));
    return;
  }
  std::variant<SavedState, std::string> read = readStateFile(file);
  if (const std::string* problem = std::get_if<std::string>(&read)) {
    std::cerr << "qov: " << *problem << '\n';
    notify_({tr(U"Cannot read the saved state"), fromUtf8(*problem)});
    return;
  }
  SavedState& state = std::get<SavedState>(read);
  if (const std::optional<std::u32string> refused = refusal(state)) {
    notify_({*refused, fromUtf8(file.string())});
    return;
  }
  quickPending_ = false;
  toast(name == "quick" ? tr(U"Quick loaded") : tr(U"Loaded"));
  game_.restore(std::move(state.snapshot));
}

std::optional<std::u32string> States::remove(std::string_view name) {
  finishWrites();
  std::error_code ec;
  fs::remove(fileOf(name), ec);
  if (ec)
    return fill(tr(U"Cannot delete: {}: {}"), {fromUtf8(fileOf(name).string()), why(ec.message())});
  return std::nullopt;
}

std::variant<std::monostate, SavedState, std::string> States::peek(std::string_view name) {
  finishWrites();
  std::error_code ec;
  if (folder_.empty() || !fs::exists(fileOf(name), ec)) return std::monostate{};
  std::variant<SavedState, std::string> read = readStateFile(fileOf(name));
  if (std::string* problem = std::get_if<std::string>(&read)) return std::move(*problem);
  return std::move(std::get<SavedState>(read));
}

void States::autosave() {
  if (autosaved_ || !last_ || folder_.empty()) return;
  autosaved_ = true;
  if (const std::optional<std::u32string> failed = write("auto", *last_)) {
    std::cerr << "qov: no autosave: " << toUtf8(*failed) << '\n';
  }
  // The program ends next: the file is on the disk before it does.
  finishWrites();
}

std::optional<GameSnapshot> States::resumeState() {
  const fs::path file = fileOf("auto");
  std::variant<SavedState, std::string> read = readStateFile(file);
  if (const std::string* problem = std::get_if<std::string>(&read)) {
    std::cerr << "qov: cannot resume: " << *problem << "; the game starts from the beginning\n";
    return std::nullopt;
  }
  SavedState& state = std::get<SavedState>(read);
  if (const std::optional<std::u32string> refused = refusal(state)) {
    std::cerr << "qov: cannot resume from " << file.string() << ": " << toUtf8(*refused)
              << "; the game starts from the beginning\n";
    return std::nullopt;
  }
  return std::move(state.snapshot);
}

void States::toast(std::u32string_view text) {
  toast_ = text;
  lastToast_ = text;
  ++toastSerial_;
  platform_.setTimerEnabled(toastTimer_, true);
}

void States::drawToast(Image& frame) const {
  if (toast_.empty()) return;
  const int width = font_->measure(toast_) + 2 * panel::kPadding;
  const int height = font_->lineHeight() + panel::kPadding;
  const Rect box{(506 - width) / 2, 8, width, height};
  panel::box(frame, box);
  frame.drawMask(font_->render(toast_), box.x + panel::kPadding, box.y + panel::kPadding / 2,
                 panel::kText, box.intersect(frame.bounds()));
}

}  // namespace qov
