#include "platform/audio/MidiFile.h"

#include <gtest/gtest.h>

#include "tests/media/MediaTestSupport.h"

namespace qov {
namespace {

using std::chrono::microseconds;
using test::midiFile;
using test::MidiTrack;

TEST(MidiLength, FollowsTheTempoMapOfAllTracksUpToTheLastEvent) {
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

TEST(MidiLength, DamagedFilesCountWhatCanBeReadAndGarbageIsNoMidi) {
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

}  // namespace
}  // namespace qov
