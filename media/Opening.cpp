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
    U"波音にゆれる夏灯りの向こうで　君が笑った",
    U"波音にゆれる夏灯りの向こうで　僕は祈ってた",
    U"波音にゆれる夏灯りの向こうで　夜が始まる",
    U"波音にゆれる夏灯りの向こうで　消えない約束ひとつ",
    U"花火の音　遠く響いて",
    U"浴衣の袖に　夜風がそよぐ",
    U"砂浜に並ぶ赤い提灯　ひとつずつ夜空へ還る",
    U"忘れないでいてね　この夏の夜の小さな明かり",
    U"来年もまたここで会おう　指切りをした海の夜",
    U"夏灯りは今も胸の中　やさしく揺れて消えずにいるよ",
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
  // Also when the program ends from inside the opening, its clock stops with it.
  struct ClockOff {
    Opening& opening;
    ~ClockOff() {
      opening.platform_.setTimerEnabled(opening.timerOP_, false);
      opening.opTick_ = 0;
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
