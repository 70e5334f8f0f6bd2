#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "ui/HostedGame.h"

namespace qov {

// The messages a player has seen of one game: a bit for each script line, by script file.
// Kept in one small file of the player's own, read at the start and written atomically once a
// change has settled (at most every kSettleMs) and at the end.
class SeenPages {
 public:
  static constexpr int kSettleMs = 2000;

  explicit SeenPages(Platform& platform);
  ~SeenPages();
  SeenPages(const SeenPages&) = delete;
  SeenPages& operator=(const SeenPages&) = delete;

  // `<data folder>/seen/<the game's name among the player's files>.bin`; empty without a
  // data folder.
  [[nodiscard]] static std::filesystem::path fileFor(const std::filesystem::path& dataFolder,
                                                     const std::filesystem::path& gameFolder);

  // Reads what `file` keeps, in place of all seen so far; empty: they are kept in memory only.
  // A damaged file is one line on standard error naming it and counts as nothing seen.
  void open(std::filesystem::path file);
  [[nodiscard]] bool seen(const MessagePlace& place) const;
  void mark(const MessagePlace& place);
  // Writes the file now if a change waits to be written.
  void settle();

  // The file's bytes, and back; nullopt with the reason for bytes that are not such a file.
  using Lines = std::map<std::string, std::vector<bool>>;
  [[nodiscard]] static std::string encode(const Lines& lines);
  struct Decoded {
    std::optional<Lines> lines;
    std::string problem;
  };
  [[nodiscard]] static Decoded decode(std::string_view bytes);

 private:
  Platform& platform_;
  std::filesystem::path file_;
  TimerId settleTimer_;
  Lines lines_;
  bool writeFailed_ = false;  // said once
};

}  // namespace qov
