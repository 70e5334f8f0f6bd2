// The shell's action table: which press asks for what.
#include <gtest/gtest.h>

#include <optional>

#include "shell/Actions.h"

namespace qov::test {
namespace {

TEST(Actions, APressAsksForTheActionItsModifiersBindItTo) {
  const ActionTable table(shellActions());
  struct Case {
    Press press;
    std::optional<Action> action;
    int argument;
    bool again;
  };
  const auto key = [](Key k, int modifiers = 0, bool repeat = false) {
    return Press::ofKey(KeyPress{k, modifiers, repeat});
  };
  const Case cases[] = {
      {key(Key::Up), Action::HistoryBack, 0, false},
      {key(Key::Up, kShiftKey), Action::HistoryBack, 0, false},  // Shift is never looked at
      {key(Key::Up, kCtrlKey), Action::Volume, 1, false},
      {key(Key::Down, kCtrlKey, true), Action::Volume, -1, false},  // held: again and again
      {key(Key::Up, kAltKey), std::nullopt, 0, false},
      {key(Key::Digit3, kCtrlKey), Action::Scale, 3, false},
      {key(Key::Digit3), std::nullopt, 0, false},
      {key(Key::Digit3, kCtrlKey | kAltKey), std::nullopt, 0, false},
      {key(Key::Enter), std::nullopt, 0, false},  // the game's
      {key(Key::Enter, kAltKey), Action::Fullscreen, 0, false},
      {key(Key::F12, kCtrlKey), Action::Screenshot, 0, false},
      {key(Key::F1, 0, true), Action::KeysList, 0, true},  // held: not again
      {key(Key::M, kCtrlKey), std::nullopt, 0, false},
      {Press::ofButton(kLeftButton), Action::HistoryClose, 0, false},
      {Press::ofButton(kRightButton), std::nullopt, 0, false},
      {Press::ofWheel(1), Action::HistoryBack, 0, false},
      {Press::ofWheel(-1), Action::HistoryForward, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.press.key) * 100 + c.press.modifiers * 10 + c.press.button);
    const std::optional<Asked> asked = table.match(c.press);
    ASSERT_EQ(asked.has_value(), c.action.has_value());
    if (!asked) continue;
    EXPECT_EQ(asked->action, *c.action);
    EXPECT_EQ(asked->argument, c.argument);
    EXPECT_EQ(asked->again, c.again);
  }
}

}  // namespace
}  // namespace qov::test
