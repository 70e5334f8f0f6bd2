// The shell's action table: which press asks for what.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

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
      {key(Key::Up), Action::Choose, kChooseUp, false},
      {key(Key::Up, kShiftKey), Action::Choose, kChooseUp, false},    // Shift is never looked at
      {key(Key::Left, 0, true), Action::Choose, kChooseLeft, false},  // held: again and again
      {key(Key::Up, kCtrlKey), Action::Volume, 1, false},
      {key(Key::Down, kCtrlKey, true), Action::Volume, -1, false},  // held: again and again
      {key(Key::Up, kAltKey), std::nullopt, 0, false},
      {key(Key::Digit3, kCtrlKey), Action::Scale, 3, false},
      {key(Key::Digit3), std::nullopt, 0, false},
      {key(Key::Digit3, kCtrlKey | kAltKey), std::nullopt, 0, false},
      {key(Key::Enter), Action::GoOn, 0, false},
      {key(Key::Z, 0, true), Action::GoOn, 0, true},
      {key(Key::Escape), Action::HistoryClose, 0, false},
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

TEST(Actions, AKeyAsksForEveryActionItIsBoundToInTheTablesOrder) {
  const ActionTable table(shellActions());
  const auto actions = [&](Key k) {
    std::vector<Action> found;
    for (const Asked& asked : table.matches(Press::ofKey(KeyPress{k, 0, false}))) {
      found.push_back(asked.action);
    }
    return found;
  };
  // The menu's focus first; elsewhere the history's.
  EXPECT_EQ(actions(Key::Up), (std::vector<Action>{Action::Choose, Action::HistoryBack}));
  EXPECT_EQ(actions(Key::Down), (std::vector<Action>{Action::Choose, Action::HistoryForward}));
  EXPECT_EQ(actions(Key::Other), std::vector<Action>{});
}

}  // namespace
}  // namespace qov::test
