// The command line: modes, options and the game directory, and the mistakes it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace qov::test {
namespace {

std::variant<CommandLine, UsageError> parse(std::vector<std::string_view> args) {
  return parseCommandLine(args);
}

TEST(CommandLine, ModesAndTheGameDirectory) {
  const struct {
    std::vector<std::string_view> args;
    Mode mode;
    std::string dir;
  } cases[] = {
      {{}, Mode::play, ""},
      {{"game"}, Mode::play, "game"},
      {{"--help"}, Mode::help, ""},
      {{"-h"}, Mode::help, ""},
      {{"--version"}, Mode::version, ""},
      {{"--", "-odd name"}, Mode::play, "-odd name"},
      {{"-"}, Mode::play, "-"},
      {{"--check"}, Mode::check, ""},
      {{"game", "--trace"}, Mode::trace, "game"},
      {{"--autoplay", "200", "--seed", "7", "game"}, Mode::autoplay, "game"},
      {{"--library"}, Mode::library, ""},
      {{"--add", "夏.lzh"}, Mode::add, "夏.lzh"},
      {{"--list"}, Mode::list, ""},
      {{"--from-library", "--", "game"}, Mode::play, "game"},
  };
  for (const auto& c : cases) {
    const auto parsed = parse(c.args);
    ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed))
        << std::get<UsageError>(parsed).message;
    const CommandLine& line = std::get<CommandLine>(parsed);
    EXPECT_EQ(line.mode, c.mode);
    EXPECT_EQ(line.gameDir.value_or("").string(), c.dir);
  }
  const auto autoplay = std::get<CommandLine>(parse({"--seed", "0", "--autoplay", "3"}));
  EXPECT_EQ(autoplay.runs, 3);
  EXPECT_EQ(autoplay.seed, 0u);
  EXPECT_EQ(std::get<CommandLine>(parse({"--autoplay", "1"})).seed, 1u);
  // The text hook goes with a play, traced or not.
  for (const std::vector<std::string_view>& args :
       {std::vector<std::string_view>{"--texthook", "game"}, {"--trace", "--texthook"}}) {
    EXPECT_TRUE(std::get<CommandLine>(parse(args)).textHook);
  }
  EXPECT_FALSE(std::get<CommandLine>(parse({"game"})).textHook);
  EXPECT_TRUE(std::get<CommandLine>(parse({"--resume", "--from-library", "--", "game"})).resume);
  EXPECT_FALSE(std::get<CommandLine>(parse({"game"})).resume);
}

TEST(CommandLine, ADroppedGameStartsInTheModeOfTheOneBefore) {
  for (const Mode mode : {Mode::play, Mode::trace}) {
    const CommandLine before{.mode = mode, .gameDir = std::filesystem::path("old")};
    const std::vector<std::string> args = argumentsAnew(before, "/games/-next game");
    const std::vector<std::string_view> views(args.begin(), args.end());
    const auto parsed = parse(views);
    ASSERT_TRUE(std::holds_alternative<CommandLine>(parsed));
    EXPECT_EQ(std::get<CommandLine>(parsed).mode, mode);
    EXPECT_EQ(std::get<CommandLine>(parsed).gameDir, std::filesystem::path("/games/-next game"));
  }
}

TEST(CommandLine, MistakesAreUsageErrors) {
  const struct {
    std::vector<std::string_view> args;
    std::string message;
  } cases[] = {
      {{"--fullscreen"}, "unknown option '--fullscreen'"},
      {{"-x", "game"}, "unknown option '-x'"},
      {{"a", "b"}, "only one game directory can be given"},
      {{"--help", "--version"}, "'--version' cannot be combined with another mode"},
      {{"--check", "--trace"}, "'--trace' cannot be combined with another mode"},
      {{"--autoplay"}, "--autoplay needs a number of runs (1 or more)"},
      {{"--autoplay", "0"}, "--autoplay needs a number of runs (1 or more)"},
      {{"--autoplay", "game"}, "--autoplay needs a number of runs (1 or more)"},
      {{"--autoplay", "2", "--seed", "-1"}, "--seed needs a number (0 or more)"},
      {{"--seed", "3"}, "--seed belongs to --autoplay"},
      {{"--library", "game"}, "--library takes no game"},
      {{"--list", "game"}, "--list takes no game"},
      {{"--add"}, "--add needs a game to add"},
      {{"--add", "--list"}, "'--list' cannot be combined with another mode"},
      {{"--from-library"}, "--from-library needs a game to play"},
      {{"--check", "--from-library", "game"}, "--from-library needs a game to play"},
      {{"--texthook", "--check"}, "--texthook belongs to a play of the game"},
      {{"--autoplay", "2", "--texthook"}, "--texthook belongs to a play of the game"},
      {{"--resume", "--check"}, "--resume belongs to a play of the game"},
  };
  for (const auto& c : cases) {
    const auto parsed = parse(c.args);
    ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << c.message;
    EXPECT_EQ(std::get<UsageError>(parsed).message, c.message);
  }
}

TEST(CommandLine, AGameDirectoryMustBeOne) {
  const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "qov-cli-test";
  std::filesystem::create_directories(dir / "game");
  std::ofstream(dir / "file") << "x";
  const struct {
    std::filesystem::path path;
    std::string message;  // "" for a good one
  } cases[] = {
      {dir / "game", ""},
      {"", "the game directory named is empty"},
      {dir / "none", "no game directory '" + (dir / "none").string() + "': it does not exist"},
      {dir / "file", "'" + (dir / "file").string() + "' is a file, not a game directory"},
  };
  for (const auto& c : cases) {
    const auto error = checkGameDirectory(c.path);
    EXPECT_EQ(error ? error->message : "", c.message);
  }
  // To play or add, a file may be named too (an archive, or a file in a game folder).
  const struct {
    std::filesystem::path path;
    std::string message;
  } games[] = {
      {dir / "game", ""},
      {dir / "file", ""},
      {"", "the game named is empty"},
      {dir / "none", "no game '" + (dir / "none").string() + "': it does not exist"},
  };
  for (const auto& c : games) {
    const auto error = checkGamePath(c.path);
    EXPECT_EQ(error ? error->message : "", c.message);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qov::test
