#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qov {

// A piece of music ready for the synthesizer.
struct MidiPiece {
  // A clean standard MIDI file: header length 6, ticks a quarter note, every track cut after
  // its last complete event and ended a little after the piece's end, so that the
  // synthesizer's player never finishes by itself before the music device stops it.
  std::vector<std::uint8_t> smf;
  // The playing time up to the last event (the end of track included), from the tempo map.
  std::chrono::microseconds length{};
};

// A piece, or why it cannot be played.
struct MidiPreparation {
  std::optional<MidiPiece> piece;
  std::string problem;  // empty when `piece` is set
};

// Reads a MIDI file as old game folders hold them: a standard MIDI file of format 0, 1 or 2,
// also wrapped in a RIFF "RMID" container, with a header longer than 6 bytes or SMPTE time,
// and with tracks cut short (what can be read plays). Format 2 patterns play one after the
// other. Events the synthesizer would refuse are left out.
[[nodiscard]] MidiPreparation prepareMidi(std::span<const std::uint8_t> bytes);

// The length of `prepareMidi`'s piece; empty when the bytes cannot be played.
[[nodiscard]] std::optional<std::chrono::microseconds> midiLength(
    std::span<const std::uint8_t> bytes);

}  // namespace qov
