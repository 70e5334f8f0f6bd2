#include "shell/library/LibraryScreen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <iostream>
#include <system_error>
#include <utility>

#include "platform/Encoding.h"
#include "platform/Files.h"
#include "shell/PlayerSettings.h"
#include "shell/Words.h"
#include "shell/library/FolderBrowser.h"
#include "shell/library/GameFinder.h"
#include "shell/states/States.h"
#include "ui/GameData.h"
#include "ui/WindowImages.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

constexpr Rect kAddButton{372, 3, 128, 24};
constexpr Rect kConfirmBox{53, 112, 400, 160};
constexpr Rect kConfirmRemove{73, 234, 110, 24};
constexpr Rect kConfirmDelete{193, 234, 140, 24};
constexpr Rect kConfirmCancel{343, 234, 90, 24};
constexpr Argb kRule = rgb(40, 40, 80);
// An archive that extracts faster than this shows no bar.
constexpr std::uint32_t kProgressAfterMs = 500;

// "2026-12-07 23:40" in the player's time zone.
std::u32string localTime(UnixTime t) {
  const auto seconds = static_cast<std::time_t>(t);
  std::tm local{};
  localtime_r(&seconds, &local);
  std::array<char, 32> text{};
  const std::size_t n = std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M", &local);
  return fromUtf8(std::string_view(text.data(), n));
}

// Work that the player abandons by closing the window.
struct Abandoned {};

}  // namespace

LibraryScreen::LibraryScreen(Platform& platform, Library& library, Places places)
    : platform_(platform),
      library_(library),
      places_(std::move(places)),
      fonts_(platform),
      addButton_(platform, kAddButton, tr(U"Add games…")),
      removeButton_(platform, Rect{446, 0, 52, 16}, tr(U"Remove")),
      resumeButton_(platform, Rect{306, 0, 64, 16}, tr(U"Continue from the autosave")),
      startButton_(platform, Rect{374, 0, 68, 16}, tr(U"From the start")),
      confirmRemove_(platform, kConfirmRemove, tr(U"Remove")),
      confirmDelete_(platform, kConfirmDelete, tr(U"Delete the copy too")),
      confirmCancel_(platform, kConfirmCancel, tr(U"Cancel")) {
  reload();
}

LibraryScreen::~LibraryScreen() = default;

std::optional<fs::path> LibraryScreen::run() {
  if (const fs::path settings = platform_.settingsFile(); !settings.empty()) {
    const PlayerSettings::Read read = PlayerSettings::read(settings);
    if (read.settings.scale) platform_.setWindowScale(*read.settings.scale);
    platform_.setFullscreen(read.settings.fullscreen);
  }
  platform_.setEventSink(this);
  platform_.openWindow("Qov", windowIcon(), waitCursorImage());
  // The first frame now, not at the first event.
  platform_.doEvents();
  while (!done_) platform_.waitEvents();
  platform_.setEventSink(nullptr);
  return chosen_;
}

void LibraryScreen::reload() {
  library_.load();
  std::optional<fs::path> keep;
  if (selected_ < rows_.size()) keep = rows_[selected_].folder;
  rows_.clear();
  std::error_code ec;
  for (const LibraryEntry& e : library_.entries()) {
    rows_.push_back(Row{e.folder, fromUtf8(e.title), e.icon, e.played, false, e.copy,
                        !fs::is_directory(e.folder, ec), States::hasAutosave(e.folder)});
  }
  if (!places_.demoGame.empty() && library_.find(places_.demoGame) == nullptr) {
    const GameSummary demo = readGameSummary(places_.demoGame);
    rows_.push_back(Row{places_.demoGame, fromUtf8(demo.title), demo.icon, std::nullopt, true,
                        false, false, States::hasAutosave(places_.demoGame)});
  }
  selected_ = 0;
  for (std::size_t i = 0; keep && i < rows_.size(); ++i) {
    if (rows_[i].folder == *keep) selected_ = i;
  }
  top_ = std::min(top_, rows_.size() > kRowsShown ? rows_.size() - kRowsShown : 0);
  select(selected_);
}

// ---- Input ----

LibraryScreen::Target LibraryScreen::targetAt(int x, int y) const {
  if (confirm_) {
    if (confirmRemove_.hit(x, y)) return {Target::ConfirmRemove};
    if (rows_[confirm_->row].copy && confirmDelete_.hit(x, y)) return {Target::ConfirmDelete};
    if (confirmCancel_.hit(x, y)) return {Target::ConfirmCancel};
    return {};
  }
  if (addButton_.hit(x, y)) return {Target::AddButton};
  if (y < kListTop || y >= kListTop + kRowsShown * kRowHeight) return {};
  const std::size_t row = top_ + static_cast<std::size_t>((y - kListTop) / kRowHeight);
  if (row >= rows_.size()) return {};
  const int rowTop = kListTop + static_cast<int>(row - top_) * kRowHeight;
  const Rect remove{removeButton_.look.rect.x, rowTop + 21, removeButton_.look.rect.w,
                    removeButton_.look.rect.h};
  if (!rows_[row].demo && remove.contains(x, y)) return {Target::RemoveButton, row};
  if (rows_[row].resumable) {
    const auto on = [&](const screen::PushButton& b) {
      return Rect{b.look.rect.x, rowTop + 21, b.look.rect.w, b.look.rect.h}.contains(x, y);
    };
    if (on(resumeButton_)) return {Target::ResumeButton, row};
    if (on(startButton_)) return {Target::StartButton, row};
  }
  return {Target::Row, row};
}

void LibraryScreen::mouseDown(int x, int y, int button) {
  if (progress_) return;
  if (browser_) {
    if (button == kLeftButton) browser_->mouseDown(x, y);
    touch();
    return;
  }
  if (button != kLeftButton) return;
  pressed_ = targetAt(x, y);
  addButton_.look.pressed = pressed_.kind == Target::AddButton;
  confirmRemove_.look.pressed = pressed_.kind == Target::ConfirmRemove;
  confirmDelete_.look.pressed = pressed_.kind == Target::ConfirmDelete;
  confirmCancel_.look.pressed = pressed_.kind == Target::ConfirmCancel;
  touch();
}

void LibraryScreen::mouseUp(int x, int y, int button) {
  if (progress_) return;
  if (browser_) {
    if (button == kLeftButton) browser_->mouseUp(x, y);
    touch();
    return;
  }
  if (button != kLeftButton) return;
  const Target began = std::exchange(pressed_, Target{});
  addButton_.look.pressed = confirmRemove_.look.pressed = confirmDelete_.look.pressed =
      confirmCancel_.look.pressed = false;
  touch();
  if (began.kind != Target::None && targetAt(x, y) == began) act(began);
}

void LibraryScreen::act(const Target& target) {
  switch (target.kind) {
    case Target::Row:
      play(target.row);
      break;
    case Target::RemoveButton:
      askRemove(target.row);
      break;
    case Target::ResumeButton:
      play(target.row, true);
      break;
    case Target::StartButton:
      play(target.row);
      break;
    case Target::AddButton:
      openBrowser();
      break;
    case Target::ConfirmRemove:
      remove(false);
      break;
    case Target::ConfirmDelete:
      remove(true);
      break;
    case Target::ConfirmCancel:
      confirm_.reset();
      break;
    case Target::None:
      break;
  }
  touch();
}

void LibraryScreen::keyDown(const KeyPress& key) {
  if (progress_) return;
  if (browser_) {
    browser_->keyDown(key);
    touch();
    return;
  }
  touch();
  if (confirm_) {
    if (key.key == Key::Enter && !key.repeat) remove(false);
    if (key.key == Key::Escape) confirm_.reset();
    return;
  }
  if (const auto row = screen::moveInList(key.key, selected_, rows_.size(), kRowsShown)) {
    select(*row);
    return;
  }
  switch (key.key) {
    case Key::Enter:
      if (!key.repeat) play(selected_, rows_[selected_].resumable && resumeMarked_);
      break;
    case Key::Left:
    case Key::Right:
      resumeMarked_ = !resumeMarked_;
      break;
    case Key::Delete:
      if (!key.repeat) askRemove(selected_);
      break;
    default:
      break;
  }
}

void LibraryScreen::mouseWheel(int steps) {
  if (progress_ || confirm_) return;
  if (browser_) {
    browser_->mouseWheel(steps);
  } else {
    scroll(-steps);
  }
  touch();
}

void LibraryScreen::closeRequested() {
  done_ = true;
  chosen_.reset();
  // An archive being extracted is given up; its half is cleared away by the extraction.
  if (progress_) throw Abandoned{};
}

void LibraryScreen::dropped(const fs::path& path) {
  if (progress_) return;
  add(path);
}

// ---- What the player does ----

void LibraryScreen::select(std::size_t row) {
  if (rows_.empty()) return;
  selected_ = std::min(row, rows_.size() - 1);
  if (selected_ < top_) top_ = selected_;
  if (selected_ >= top_ + kRowsShown) top_ = selected_ + 1 - kRowsShown;
  touch();
}

void LibraryScreen::scroll(long rows) {
  const long last = std::max(0L, static_cast<long>(rows_.size()) - kRowsShown);
  top_ = static_cast<std::size_t>(std::clamp(static_cast<long>(top_) + rows, 0L, last));
  touch();
}

void LibraryScreen::play(std::size_t row, bool resume) {
  if (row >= rows_.size()) return;
  select(row);
  std::error_code ec;
  if (!fs::is_directory(rows_[row].folder, ec)) {
    rows_[row].missing = true;
    say(fill(tr(U"Folder not found: {}"), {screen::readable(rows_[row].folder, places_.home)}));
    return;
  }
  chosen_ = rows_[row].folder;
  resumeChosen_ = resume;
  done_ = true;
}

void LibraryScreen::askRemove(std::size_t row) {
  if (row >= rows_.size() || rows_[row].demo) return;
  select(row);
  confirm_ = Confirm{row};
  confirmDelete_.look.visible = rows_[row].copy;
}

void LibraryScreen::remove(bool deleteCopy) {
  if (!confirm_) return;
  const Row row = rows_[confirm_->row];
  confirm_.reset();
  if (const auto problem = library_.remove(row.folder, deleteCopy && row.copy)) {
    std::cerr << "qov: " << *problem << '\n' << std::flush;
    say(fromUtf8(*problem));
  } else {
    say(fill(tr(U"Removed: {}"), {row.title}));
  }
  reload();
}

void LibraryScreen::openBrowser() {
  browser_ = std::make_unique<FolderBrowser>(
      platform_, fonts_, places_.home,
      FolderBrowser::Actions{.add = [this](const fs::path& path) { add(path); },
                             .close = [this] { closeBrowser(); }});
  browser_->open(places_.home);
}

void LibraryScreen::closeBrowser() {
  // Not destroyed here: the browser may be the caller.
  closedBrowser_ = std::move(browser_);
  touch();
}

void LibraryScreen::add(const fs::path& path) {
  workStart_.reset();
  work_ = fill(tr(U"Extracting: {}"), {screen::readable(path.filename())});
  AddedGames added;
  try {
    added = addGames(library_, path, [this](double fraction) { onProgress(fraction); });
  } catch (const Abandoned&) {
    progress_.reset();
    return;
  }
  progress_.reset();
  if (!added.problem.empty()) {
    std::cerr << "qov: " << added.problem << '\n' << std::flush;
    say(fromUtf8(added.problem));
  }
  if (added.games.empty()) return;
  if (browser_) closeBrowser();
  selected_ = rows_.size();
  reload();
  select(0);
  const LibraryEntry* first = library_.find(added.games.front());
  if (added.problem.empty()) {
    const std::u32string title = first ? fromUtf8(first->title) : U"";
    say(added.games.size() == 1
            ? fill(tr(U"Added: {}"), {title})
            : fill(tr(U"Added: {} games"), {fromUtf8(std::to_string(added.games.size()))}));
  }
}

void LibraryScreen::onProgress(double fraction) {
  const std::uint32_t now = platform_.tickCount();
  if (!workStart_) workStart_ = now;
  if (!progress_ && now - *workStart_ < kProgressAfterMs) return;
  // A new frame for each visible step of the bar, not for each call.
  if (!progress_ || std::floor(fraction * 200) != std::floor(*progress_ * 200)) touch();
  progress_ = fraction;
  platform_.doEvents();
}

void LibraryScreen::say(std::u32string notice) {
  notice_ = std::move(notice);
  touch();
}

// ---- Drawing ----

const Image& LibraryScreen::iconOf(const Row& row) {
  auto it = icons_.find(row.folder);
  if (it != icons_.end()) return it->second;
  Image icon = windowIcon();
  if (!row.icon.empty() && !row.missing) {
    if (const auto file = findFile(row.folder, row.icon)) {
      if (const auto bytes = readFile(*file)) {
        std::optional<Image> decoded = platform_.decodeImage(*bytes);
        if (decoded && decoded->width() == 32 && decoded->height() == 32) icon = *decoded;
      }
    }
  }
  return icons_.emplace(row.folder, std::move(icon)).first->second;
}

void LibraryScreen::drawRow(std::size_t index, int y) {
  const Row& row = rows_[index];
  const Rect area{0, y, screen::kWidth - 6, kRowHeight};
  if (index == selected_) frame_.fill(area, screen::kSelected);
  frame_.fill(Rect{0, y + kRowHeight - 1, screen::kWidth - 6, 1}, kRule);
  const Image& icon = iconOf(row);
  frame_.copyOver(icon, icon.bounds(), 8, y + 4,
                  index == selected_ ? screen::kSelected : screen::kBack);

  const std::u32string when =
      row.demo ? tr(U"Demo game")
               : (row.played ? fill(tr(U"Last played {}"), {localTime(*row.played)})
                             : tr(U"Not played yet"));
  const int whenWidth = fonts_.small->measure(when);
  screen::text(frame_, *fonts_.small, when, area.w - 8 - whenWidth, y + 6, screen::kDimText, area);
  screen::text(frame_, *fonts_.bold, screen::fit(*fonts_.bold, row.title, area.w - 70 - whenWidth),
               48, y + 4, row.missing ? screen::kDimText : screen::kText, area);
  std::u32string where = screen::readable(row.folder, places_.home);
  if (row.copy) where = fill(tr(U"Extracted from an archive: {}"), {where});
  if (row.missing) where = fill(tr(U"Not found: {}"), {where});
  const int whereWidth = row.resumable
                             ? resumeButton_.look.rect.x - 56
                             : area.w - 56 - (row.demo ? 0 : removeButton_.look.rect.w + 8);
  screen::text(frame_, *fonts_.small, screen::fit(*fonts_.small, where, whereWidth), 48, y + 23,
               row.missing ? screen::kWarning : screen::kDimText, area);
  if (!row.demo) {
    removeButton_.look.rect.y = y + 21;
    removeButton_.look.draw(frame_);
  }
  if (row.resumable) {
    const bool marked = index == selected_;
    for (screen::PushButton* b : {&resumeButton_, &startButton_}) {
      b->look.rect.y = y + 21;
      b->look.pressed = marked && (b == &resumeButton_) == resumeMarked_;
      b->look.draw(frame_);
      b->look.pressed = false;
    }
  }
}

void LibraryScreen::drawList() {
  frame_.fill(frame_.bounds(), screen::kBack);
  frame_.fill(screen::kHeading, screen::kBand);
  screen::text(frame_, *fonts_.bold, tr(U"Game Library"), 10, 8, screen::kHeadingText,
               screen::kHeading);
  addButton_.look.draw(frame_);
  for (std::size_t i = top_; i < rows_.size() && i < top_ + kRowsShown; ++i) {
    drawRow(i, kListTop + static_cast<int>(i - top_) * kRowHeight);
  }
  if (rows_.size() > kRowsShown) {
    const int height = kRowsShown * kRowHeight;
    const auto n = static_cast<int>(rows_.size());
    frame_.fill(Rect{502, kListTop + static_cast<int>(top_) * height / n, 3,
                     std::max(8, kRowsShown * height / n)},
                screen::kBorder);
  } else if (rows_.size() < kRowsShown) {
    const int y = kListTop + static_cast<int>(rows_.size()) * kRowHeight + 12;
    screen::text(frame_, *fonts_.small,
                 tr(U"\"Add games…\" chooses game folders, archives and CD images."), 48, y,
                 screen::kDimText, frame_.bounds());
    screen::text(frame_, *fonts_.small,
                 tr(U"Folders and archives dropped onto this window are added too."), 48, y + 16,
                 screen::kDimText, frame_.bounds());
  }
  frame_.fill(screen::kFooter, screen::kBand);
  const bool hint = notice_.empty();
  const std::u32string footer =
      hint ? tr(U"Click, Enter: play  ↑↓, wheel: choose  Delete: remove from the list") : notice_;
  screen::text(frame_, *fonts_.small, screen::fit(*fonts_.small, footer, screen::kWidth - 20), 10,
               screen::kFooter.y + 11, hint ? screen::kDimText : screen::kWarning, screen::kFooter);
}

void LibraryScreen::drawConfirm() {
  const Row& row = rows_[confirm_->row];
  frame_.fill(kConfirmBox, screen::kBand);
  screen::border(frame_, kConfirmBox, screen::kBorder);
  const int x = kConfirmBox.x + 20;
  const int width = kConfirmBox.w - 40;
  screen::text(frame_, *fonts_.bold, tr(U"Remove from the library?"), x, kConfirmBox.y + 14,
               screen::kHeadingText, kConfirmBox);
  screen::text(frame_, *fonts_.normal,
               screen::fit(*fonts_.normal, fill(tr(U"“{}”"), {row.title}), width), x,
               kConfirmBox.y + 40, screen::kText, kConfirmBox);
  const std::u32string note =
      row.copy ? tr(U"A copy from an archive: \"Delete the copy too\" deletes it and its saves.")
               : tr(U"The folder and the files in it stay as they are.");
  screen::text(frame_, *fonts_.small, screen::fit(*fonts_.small, note, width), x,
               kConfirmBox.y + 70, screen::kDimText, kConfirmBox);
  screen::text(frame_, *fonts_.small, tr(U"Enter: remove  Esc: cancel"), x, kConfirmBox.y + 90,
               screen::kDimText, kConfirmBox);
  confirmRemove_.look.draw(frame_);
  if (row.copy) confirmDelete_.look.draw(frame_);
  confirmCancel_.look.draw(frame_);
}

const Image& LibraryScreen::composeFrame() {
  if (frame_.empty()) frame_ = Image(screen::kWidth, screen::kHeight);
  closedBrowser_.reset();
  if (browser_) {
    browser_->draw(frame_);
  } else {
    drawList();
    if (confirm_) drawConfirm();
  }
  if (progress_) screen::progress(frame_, fonts_, work_, *progress_);
  changed_ = false;
  return frame_;
}

}  // namespace qov
