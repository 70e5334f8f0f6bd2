#include "platform/audio/MidiLength.h"

#include <gtest/gtest.h>

#include "tests/media/MediaTestSupport.h"

namespace qov {
namespace {

using std::chrono::microseconds;
using test::midiFile;
using test::MidiTrack;

TEST(MidiLength, FollowsTheTempoMapOfAllTracksUpToTheLastEvent) {
  // Track 0: the tempo map. 480 ticks at 120 bpm (0.5 s), then 60 bpm.
  MidiTrack conductor;
  conductor.tempo(0, 500000).tempo(480, 1000000).end(0);
  // Track 1: notes with running status; the end of track comes 480 ticks after the last note.
  MidiTrack notes;
  notes.event(0, {0x90, 60, 100}).event(240, {60, 0}).event(720, {0xC0, 5}).end(480);
  EXPECT_EQ(midiLength(midiFile({conductor, notes})),
            microseconds(500000 + 1000000 * 2));  // tick 1440: 0.5 s + 960 ticks at 1 s each

  // Without tempo events the file plays at 120 bpm; sysex and meta events count as events.
  MidiTrack plain;
  plain.event(0, {0xF0, 3, 0x7E, 0x7F, 0xF7}).event(960, {0xFF, 0x01, 2, 'h', 'i'}).end(0);
  EXPECT_EQ(midiLength(midiFile({plain}, 96)), microseconds(5000000));  // 960 ticks / 96 * 0.5 s

  // A tempo change after the last event does not matter.
  MidiTrack late;
  late.event(0, {0x90, 60, 100}).event(480, {0x80, 60, 0}).tempo(0, 250000);
  MidiTrack shortTrack;
  shortTrack.end(240);
  EXPECT_EQ(midiLength(midiFile({late, shortTrack})), microseconds(500000));
}

TEST(MidiLength, SmpteTimeIgnoresTempo) {
  MidiTrack track;
  track.tempo(0, 1000000).end(2500);
  // 25 frames a second of 40 ticks: 1000 ticks a second.
  EXPECT_EQ(midiLength(midiFile({track}, static_cast<std::uint16_t>((0x100 - 25) << 8 | 40))),
            microseconds(2500000));
}

TEST(MidiLength, DamagedFilesCountWhatCanBeReadAndGarbageIsNoMidi) {
  MidiTrack track;
  track.event(0, {0x90, 60, 100}).event(480, {0x80, 60, 0}).event(480, {0x90, 62, 100}).end(480);
  std::vector<std::uint8_t> file = midiFile({track});
  // Cut inside the last note event: the track counts up to the note before.
  file.resize(file.size() - 7);
  EXPECT_EQ(midiLength(file), microseconds(500000));

  // Data without any status byte ends the track at once.
  MidiTrack bad;
  bad.event(0, {0x40, 0x40}).end(4800);
  EXPECT_EQ(midiLength(midiFile({bad})), microseconds(0));

  // A length field far beyond the file is clamped to the file.
  std::vector<std::uint8_t> huge = midiFile({track});
  huge[18] = huge[19] = 0x7F;
  EXPECT_EQ(midiLength(huge), microseconds(1500000));

  const std::vector<std::uint8_t> riff{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 0, 0};
  EXPECT_FALSE(midiLength(riff));
  EXPECT_FALSE(midiLength({}));
  std::vector<std::uint8_t> noTracks = midiFile({});
  EXPECT_FALSE(midiLength(noTracks));
  std::vector<std::uint8_t> zeroDivision = midiFile({track}, 0);
  EXPECT_FALSE(midiLength(zeroDivision));
}

}  // namespace
}  // namespace qov
