#include "platform/audio/MidiFile.h"

#include <gtest/gtest.h>

#include "tests/media/MediaTestSupport.h"

namespace qov {
namespace {

using std::chrono::microseconds;
using test::midiFile;
using test::MidiTrack;

TEST(MidiFile, FollowsTheTempoMapOfAllTracksUpToTheLastEvent) {
  // Track 0: 480 ticks at 120 bpm (0.5 s), then 60 bpm. Track 1: notes with running status,
  // its end 480 ticks after the last note, at tick 1440.
  MidiTrack conductor;
  conductor.tempo(0, 500000).tempo(480, 1000000).end(0);
  MidiTrack notes;
  notes.event(0, {0x90, 60, 100}).event(240, {60, 0}).event(720, {0xC0, 5}).end(480);
  EXPECT_EQ(midiLength(midiFile({conductor, notes})), microseconds(2500000));

  // Without tempo events the file plays at 120 bpm; sysex and meta events count as events.
  MidiTrack plain;
  plain.event(0, {0xF0, 3, 0x7E, 0x7F, 0xF7}).event(960, {0xFF, 0x01, 2, 'h', 'i'}).end(0);
  EXPECT_EQ(midiLength(midiFile({plain}, 96)), microseconds(5000000));

  // A tempo change after the last event does not matter.
  MidiTrack late;
  late.event(0, {0x90, 60, 100}).event(480, {0x80, 60, 0}).tempo(0, 250000);
  EXPECT_EQ(midiLength(midiFile({late, MidiTrack().end(240)})), microseconds(500000));

  // SMPTE time, 25 frames a second of 40 ticks, ignores tempo.
  MidiTrack smpte;
  smpte.tempo(0, 1000000).end(2500);
  EXPECT_EQ(midiLength(midiFile({smpte}, static_cast<std::uint16_t>((0x100 - 25) << 8 | 40))),
            microseconds(2500000));
}

TEST(MidiFile, DamagedFilesCountWhatCanBeReadAndGarbageIsNoMidi) {
  MidiTrack track;
  track.event(0, {0x90, 60, 100}).event(480, {0x80, 60, 0}).event(480, {0x90, 62, 100}).end(480);
  test::Bytes cut = midiFile({track});
  cut.resize(cut.size() - 7);  // inside the last note event
  EXPECT_EQ(midiLength(cut), microseconds(500000));
  test::Bytes huge = midiFile({track});
  huge[18] = huge[19] = 0x7F;  // a track length far beyond the file
  EXPECT_EQ(midiLength(huge), microseconds(1500000));
  MidiTrack noStatus;
  noStatus.event(0, {0x40, 0x40}).end(4800);
  EXPECT_EQ(midiLength(midiFile({noStatus})), microseconds(0));

  EXPECT_FALSE(midiLength(test::Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0}));
  EXPECT_FALSE(midiLength({}));
  EXPECT_FALSE(midiLength(midiFile({})));
  EXPECT_FALSE(midiLength(midiFile({track}, 0)));
}

// The same piece as old game folders hold it: the synthesizer gets one clean file of each, with
// the length our tempo map gives.
TEST(MidiFile, ReadableVariantsBecomeCleanFilesAndTheRestIsRefusedWithAReason) {
  MidiTrack notes;
  notes.event(0, {0x90, 60, 100}).tempo(240, 1000000).event(0, {0x80, 60, 0}).end(480);
  const test::Bytes plain = midiFile({notes});  // 0.25 s at 120 bpm, then 1 s at 60 bpm
  test::Bytes rmid{'R', 'I', 'F', 'F'};
  test::put(rmid, static_cast<std::uint32_t>(plain.size() + 12), 4, false);
  rmid.insert(rmid.end(), {'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'});
  test::put(rmid, static_cast<std::uint32_t>(plain.size()), 4, false);
  rmid.insert(rmid.end(), plain.begin(), plain.end());
  test::Bytes header8 = plain;
  header8[7] = 8;
  header8.insert(header8.begin() + 14, {0, 0});
  MidiTrack framed;  // 30 frames a second of 10 ticks: 600 ticks are 2 s, whatever the tempo
  framed.tempo(0, 250000).event(0, {0x90, 60, 100}).event(600, {0x80, 60, 0}).end(0);
  test::Bytes format2 = midiFile({notes, notes});
  format2[9] = 2;
  MidiTrack odd;  // meta events of lengths the synthesizer refuses, and an escaped sysex
  odd.event(0, {0xFF, 0x51, 2, 1, 2}).event(0, {0xFF, 0x58, 1, 4}).event(0, {0xF7, 1, 0x7F});
  odd.event(0, {0x90, 60, 100}).event(960, {0x80, 60, 0}).end(0);

  const std::pair<const char*, test::Bytes> playable[] = {
      {"plain", plain},
      {"RMID", rmid},
      {"header of 8 bytes", header8},
      {"SMPTE", midiFile({framed}, static_cast<std::uint16_t>((0x100 - 30) << 8 | 10))},
      {"format 2: patterns in turn", format2},
      {"odd meta events", midiFile({odd})},
  };
  const microseconds lengths[] = {microseconds(1250000), microseconds(1250000),
                                  microseconds(1250000), microseconds(2000000),
                                  microseconds(2500000), microseconds(1000000)};
  for (std::size_t i = 0; i < std::size(playable); ++i) {
    const MidiPreparation prepared = prepareMidi(playable[i].second);
    ASSERT_TRUE(prepared.piece) << playable[i].first << ": " << prepared.problem;
    EXPECT_EQ(prepared.piece->length, lengths[i]) << playable[i].first;
    const test::Bytes& smf = prepared.piece->smf;
    ASSERT_GE(smf.size(), 14u);
    EXPECT_EQ(test::Bytes(smf.begin(), smf.begin() + 8),
              (test::Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6}));
    EXPECT_LT(smf[12], 0x80) << "ticks a quarter note";
    // The synthesizer's player runs on past the end, where the device stops it.
    EXPECT_GT(midiLength(smf), lengths[i]);
  }

  const std::pair<test::Bytes, const char*> refused[] = {
      {{}, "empty"},
      {{'h', 'e', 'l', 'l', 'o'}, "not a standard MIDI file"},
      {{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'R', 'M', 'I', 'D'}, "without MIDI data"},
      {test::Bytes(plain.begin(), plain.begin() + 12), "cut short"},
      {midiFile({}), "no track"},
      {midiFile({notes}, 0), "division is 0"},
      {midiFile({notes}, 0xE700), "SMPTE"},
  };
  for (const auto& [bytes, why] : refused) {
    const MidiPreparation prepared = prepareMidi(bytes);
    EXPECT_FALSE(prepared.piece) << why;
    EXPECT_NE(prepared.problem.find(why), std::string::npos) << prepared.problem;
  }
}

// Damaged files of every kind never read outside the bytes, and what is accepted gives the
// synthesizer a file that reads again without fault.
TEST(MidiFile, DamagedFilesAreReadSafely) {
  MidiTrack track;
  track.tempo(0, 400000).event(0, {0xC0, 19}).event(0, {0x90, 60, 100});
  track.event(10, {0xF0, 3, 0x7E, 0x7F, 0xF7}).event(470, {0x80, 60, 0}).end(0);
  const test::Bytes good = midiFile({track, track}, 96);
  std::uint32_t seed = 12345;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 3000; ++round) {
    test::Bytes bytes = good;
    for (int n = 1 + static_cast<int>(next() % 4); n > 0; --n) {
      bytes[next() % bytes.size()] = static_cast<std::uint8_t>(next() >> 24);
    }
    bytes.resize(bytes.size() - next() % 8);
    const MidiPreparation prepared = prepareMidi(bytes);
    if (!prepared.piece) {
      EXPECT_FALSE(prepared.problem.empty());
      continue;
    }
    const MidiPreparation again = prepareMidi(prepared.piece->smf);
    ASSERT_TRUE(again.piece) << "round " << round << ": " << again.problem;
    EXPECT_GE(again.piece->length, prepared.piece->length) << "round " << round;
  }
}

}  // namespace
}  // namespace qov
