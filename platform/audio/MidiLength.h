#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

namespace qov {

// The playing time of a standard MIDI file up to its last event (the end of track included),
// from its own tempo map. The synthesizer reports the end of a piece seconds late, which would
// put a gap into every loop, so the music device keeps its own time. Empty when the bytes are
// not a standard MIDI file; a track cut short counts up to its last complete event.
[[nodiscard]] std::optional<std::chrono::microseconds> midiLength(
    std::span<const std::uint8_t> bytes);

}  // namespace qov
