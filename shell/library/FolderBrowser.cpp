#include "shell/library/FolderBrowser.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <system_error>
#include <utility>

#include "engine/ScriptStore.h"
#include "platform/Encoding.h"
#include "shell/Words.h"
#include "shell/archive/Archive.h"
#include "shell/library/GameFinder.h"

namespace qov {
namespace {

namespace fs = std::filesystem;

// The names that archives and images of the games' time carry; the content decides.
constexpr std::string_view kArchiveEndings[] = {".zip",     ".lzh", ".lha",   ".7z",     ".rar",
                                                ".cab",     ".tar", ".tgz",   ".tar.gz", ".tbz2",
                                                ".tar.bz2", ".txz", ".tar.xz"};
constexpr std::string_view kImageEndings[] = {".iso"};
// Marking a line means looking into its subfolders; so many lines are looked into, no more.
constexpr std::size_t kMostLines = 2000;
constexpr std::size_t kMostMarked = 300;

bool endsWithAny(const std::string& name, std::span<const std::string_view> endings) {
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return std::any_of(endings.begin(), endings.end(),
                     [&](std::string_view e) { return lower.ends_with(e); });
}

constexpr Rect kUpButton{8, 355, 120, 24};
constexpr Rect kAddButton{290, 355, 100, 24};
constexpr Rect kCancelButton{398, 355, 100, 24};
constexpr Argb kFolderColour = rgb(224, 192, 96);
constexpr Argb kArchiveColour = rgb(160, 200, 255);

}  // namespace

FolderBrowser::FolderBrowser(Platform& platform, const screen::Fonts& fonts, fs::path home,
                             Actions actions)
    : fonts_(fonts),
      home_(std::move(home)),
      actions_(std::move(actions)),
      upButton_(platform, kUpButton, tr(U"Up a folder")),
      addButton_(platform, kAddButton, tr(U"Add")),
      cancelButton_(platform, kCancelButton, tr(U"Cancel")) {}

void FolderBrowser::open(const fs::path& folder) {
  std::error_code ec;
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  if (ec) {
    notice_ = fill(tr(U"Cannot open: {} ({})"),
                   {screen::readable(folder, home_), fromUtf8(ec.message())});
    ++changes_;
    return;
  }
  std::vector<Line> folders;
  std::vector<Line> files;
  for (const fs::directory_iterator end; it != end && folders.size() + files.size() < kMostLines;
       it.increment(ec)) {
    if (ec) break;
    const std::string name = it->path().filename().string();
    if (name.starts_with('.')) continue;
    std::error_code type;
    Line line{it->path(), screen::readable(it->path().filename())};
    if (it->is_directory(type)) {
      folders.push_back(std::move(line));
    } else if (it->is_regular_file(type)) {
      const bool image = endsWithAny(name, kImageEndings);
      if (!image && !endsWithAny(name, kArchiveEndings)) continue;
      line.kind = image ? Line::DiscImage : Line::Archive;
      files.push_back(std::move(line));
    }
  }
  const auto byName = [](const Line& a, const Line& b) { return a.name < b.name; };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  for (std::size_t i = 0; i < folders.size() && i < kMostMarked; ++i) {
    if (holdsGame(folders[i].path)) {
      folders[i].kind = Line::Game;
    } else if (const std::size_t n = gamesInside(folders[i].path, kMostMarked).size(); n > 0) {
      folders[i].kind = Line::Games;
      folders[i].games = n;
    }
  }
  std::erase_if(files, [](const Line& line) { return !isArchive(line.path); });

  folder_ = folder;
  lines_.clear();
  if (folder.has_relative_path()) {
    lines_.push_back(Line{folder.parent_path(), tr(U".. (the folder above)"), Line::Parent});
  }
  lines_.insert(lines_.end(), std::make_move_iterator(folders.begin()),
                std::make_move_iterator(folders.end()));
  lines_.insert(lines_.end(), std::make_move_iterator(files.begin()),
                std::make_move_iterator(files.end()));
  selected_ = 0;
  top_ = 0;
  notice_.clear();
  ++changes_;
}

FolderBrowser::Press FolderBrowser::pressAt(int x, int y, std::size_t& line) const {
  if (upButton_.hit(x, y)) return Press::Up;
  if (addButton_.hit(x, y)) return Press::Add;
  if (cancelButton_.hit(x, y)) return Press::Cancel;
  if (y < kListTop || y >= kListTop + kLinesShown * kLineHeight) return Press::None;
  line = top_ + static_cast<std::size_t>((y - kListTop) / kLineHeight);
  return line < lines_.size() ? Press::Line : Press::None;
}

void FolderBrowser::mouseDown(int x, int y) {
  pressed_ = pressAt(x, y, pressedLine_);
  upButton_.look.pressed = pressed_ == Press::Up;
  addButton_.look.pressed = pressed_ == Press::Add;
  cancelButton_.look.pressed = pressed_ == Press::Cancel;
  ++changes_;
}

void FolderBrowser::mouseUp(int x, int y) {
  std::size_t line = 0;
  const Press press = pressAt(x, y, line);
  const Press began = std::exchange(pressed_, Press::None);
  upButton_.look.pressed = addButton_.look.pressed = cancelButton_.look.pressed = false;
  ++changes_;
  if (press != began || (press == Press::Line && line != pressedLine_)) return;
  switch (press) {
    case Press::Line:
      if (line == selected_) {
        openLine(line);
      } else {
        select(line);
      }
      break;
    case Press::Up:
      if (folder_.has_relative_path()) open(folder_.parent_path());
      break;
    case Press::Add:
      addSelected();
      break;
    case Press::Cancel:
      actions_.close();
      break;
    case Press::None:
      break;
  }
}

void FolderBrowser::keyDown(const KeyPress& key) {
  if (const auto line = screen::moveInList(key.key, selected_, lines_.size(), kLinesShown)) {
    select(*line);
    return;
  }
  switch (key.key) {
    case Key::Enter:
      if (selected_ < lines_.size()) openLine(selected_);
      break;
    case Key::Backspace:
      if (folder_.has_relative_path()) open(folder_.parent_path());
      break;
    case Key::Escape:
      actions_.close();
      break;
    default:
      break;
  }
}

void FolderBrowser::mouseWheel(int steps) {
  const long last = std::max(0L, static_cast<long>(lines_.size()) - kLinesShown);
  top_ = static_cast<std::size_t>(std::clamp(static_cast<long>(top_) - steps, 0L, last));
  ++changes_;
}

void FolderBrowser::select(std::size_t line) {
  selected_ = line;
  if (selected_ < top_) top_ = selected_;
  if (selected_ >= top_ + kLinesShown) top_ = selected_ + 1 - kLinesShown;
  ++changes_;
}

void FolderBrowser::openLine(std::size_t line) {
  const Line& chosen = lines_[line];
  switch (chosen.kind) {
    case Line::Parent:
    case Line::Folder:
    case Line::Games:
      open(fs::path(chosen.path));
      break;
    case Line::Game:
    case Line::Archive:
    case Line::DiscImage:
      actions_.add(chosen.path);
      break;
  }
}

void FolderBrowser::addSelected() {
  if (selected_ < lines_.size() && lines_[selected_].kind != Line::Parent &&
      lines_[selected_].kind != Line::Folder) {
    actions_.add(lines_[selected_].path);
    return;
  }
  if (holdsGame(folder_) || !gamesInside(folder_, kMostMarked).empty()) {
    actions_.add(folder_);
    return;
  }
  notice_ = tr(U"There is no game here. Choose a marked folder or archive.");
  ++changes_;
}

void FolderBrowser::drawLine(Image& frame, std::size_t line, int y) const {
  const Line& l = lines_[line];
  const Rect row{0, y, screen::kWidth, kLineHeight};
  if (line == selected_) frame.fill(row, screen::kSelected);
  const bool isFile = l.kind == Line::Archive || l.kind == Line::DiscImage;
  // A small folder, or a box for an archive.
  frame.fill(Rect{10, y + 7, 16, 11}, isFile ? kArchiveColour : kFolderColour);
  if (!isFile) frame.fill(Rect{10, y + 5, 7, 2}, kFolderColour);
  std::u32string mark;
  switch (l.kind) {
    case Line::Game:
      mark = tr(U"Game");
      break;
    case Line::Games:
      mark = fill(tr(U"{} games"), {fromUtf8(std::to_string(l.games))});
      break;
    case Line::Archive:
      mark = tr(U"Archive");
      break;
    case Line::DiscImage:
      mark = tr(U"CD image");
      break;
    case Line::Parent:
    case Line::Folder:
      break;
  }
  const int markWidth = mark.empty() ? 0 : fonts_.small->measure(mark);
  screen::text(frame, *fonts_.small, mark, screen::kWidth - 10 - markWidth, y + 6, screen::kMark,
               row);
  const int nameWidth = screen::kWidth - 36 - markWidth - 20;
  const Argb colour =
      l.kind == Line::Folder || l.kind == Line::Parent ? screen::kDimText : screen::kText;
  screen::text(frame, *fonts_.normal, screen::fit(*fonts_.normal, l.name, nameWidth), 34, y + 5,
               colour, row);
}

void FolderBrowser::draw(Image& frame) const {
  frame.fill(frame.bounds(), screen::kBack);
  frame.fill(screen::kHeading, screen::kBand);
  const std::u32string heading = tr(U"Add games:");
  screen::text(frame, *fonts_.bold, heading, 10, 8, screen::kHeadingText, screen::kHeading);
  const int at = 10 + fonts_.bold->measure(heading);
  screen::text(
      frame, *fonts_.normal,
      screen::fit(*fonts_.normal, screen::readable(folder_, home_), screen::kWidth - at - 10), at,
      8, screen::kText, screen::kHeading);
  for (std::size_t i = top_; i < lines_.size() && i < top_ + kLinesShown; ++i) {
    drawLine(frame, i, kListTop + static_cast<int>(i - top_) * kLineHeight);
  }
  if (lines_.size() > kLinesShown) {
    const int height = kLinesShown * kLineHeight;
    const auto n = static_cast<int>(lines_.size());
    frame.fill(Rect{502, kListTop + static_cast<int>(top_) * height / n, 3,
                    std::max(8, kLinesShown * height / n)},
               screen::kBorder);
  }
  frame.fill(screen::kFooter, screen::kBand);
  if (!notice_.empty()) {
    const Rect line{0, kListTop + kLinesShown * kLineHeight, screen::kWidth,
                    screen::kFooter.y - kListTop - kLinesShown * kLineHeight};
    screen::text(frame, *fonts_.small, screen::fit(*fonts_.small, notice_, line.w - 20), 10,
                 line.y + 9, screen::kWarning, line);
  }
  upButton_.look.draw(frame);
  addButton_.look.draw(frame);
  cancelButton_.look.draw(frame);
}

}  // namespace qov
