#include "media/Opening.h"

#include <limits>

namespace qov {

namespace {

struct Step {
  std::int16_t second;
  std::u32string_view picture;  // empty: the picture stays
  int lyric;                    // index into kLyrics; -1 for the first step
};

// Step n of the opening is kSchedule[n - 1].
constexpr std::array<Step, 11> kSchedule{{
    {1, U"OP1", -1},
    {9, U"OP2", 0},
    {15, U"", 1},
    {21, U"OP3", 2},
    {26, U"", 3},
    {32, U"OP4", 4},
    {37, U"", 5},
    {43, U"OP5", 6},
    {49, U"OP6", 7},
    {55, U"OP7", 8},
    {60, U"OP8", 9},
}};

// No delay between characters, black text: each lyric line then appears whole at once.
constexpr std::u32string_view kFirstMessage = U"＃００＠００";

}  // namespace

const std::array<std::u32string_view, 10> Opening::kLyrics{
    U"あの夏の灯りをともしにゆこう　海辺の町へ",
    U"あの夏の灯りをともしにゆこう　君の待つ町へ",
    U"あの夏の灯りをともしにゆこう　星の降る道",
    U"あの夏の灯りをともしにゆこう　小さな鈴をさがして",
    U"波のおと　胸にひびく",
    U"屋台のあかり　ゆれる横顔",
    U"夜空にひらく花火の下で　言えなかったこと",
    U"ひとつずつ灯籠に乗せて　そっと沖へ流そうよ",
    U"月がみちびく光の道を　ふたりで見送っていた",
    U"また来る夏もこの場所で　同じ灯りをともしていよう",
};

Opening::Opening(Platform& platform, OpeningStage& stage, SoundEffects& sound)
    : platform_(platform),
      stage_(stage),
      sound_(sound),
      timerOP_(platform.createTimer(1000, [this] { TimerOP_Timer(); })) {
  platform_.setTimerEnabled(timerOP_, false);
}

Opening::~Opening() {
  platform_.setTimerEnabled(timerOP_, false);
}

void Opening::TimerOP_Timer() {
  if (opTick_ < std::numeric_limits<std::int16_t>::max()) ++opTick_;
}

void Opening::runStep(int step) {
  const Step& s = kSchedule[static_cast<std::size_t>(step - 1)];
  if (s.lyric < 0) {
    sound_.sndPlaySoundA(U"Tv2b.wav", SoundEffects::kAsync);
    stage_.GHG(s.picture);
    stage_.MESHG(kFirstMessage);
    return;
  }
  if (!s.picture.empty()) stage_.GHG(s.picture);
  stage_.MESHG(kLyrics[static_cast<std::size_t>(s.lyric)]);
}

void Opening::OP() {
  platform_.doEvents();
  opTick_ = 0;
  int step = 0;
  platform_.setTimerEnabled(timerOP_, true);
  running_ = true;
  // Also when the program ends from inside the opening, its clock stops with it.
  struct ClockOff {
    Opening& opening;
    ~ClockOff() {
      opening.platform_.setTimerEnabled(opening.timerOP_, false);
      opening.opTick_ = 0;
      opening.running_ = false;
    }
  } clockOff{*this};

  for (;;) {
    // A step runs only on its own second and after the step before it: a second that passes
    // unseen leaves its step and all later ones out, while the end still comes.
    if (step < static_cast<int>(kSchedule.size()) &&
        kSchedule[static_cast<std::size_t>(step)].second == opTick_) {
      ++step;
      runStep(step);
      platform_.doEvents();
      continue;
    }
    if (opTick_ >= kEndTick) return;
    platform_.waitEvents();
  }
}

}  // namespace qov
