// Figures of the music device through the real audio output (bench/music-figures runs it).
//
//   bench_music changes GAME_DIR PIECE...   how long the window's thread is busy at a MUSPL
//                                           that changes the piece (the first one at start,
//                                           while the soundfont loads)
//   bench_music loop RAW_FILE PIECE.MID     plays the piece into SDL's disk driver at the
//                                           device's pace, looped as TimerMIDI loops it, and
//                                           measures the gap at the restart
//   bench_music gap RAW_FILE PIECE.MID         the same measure on a recording made elsewhere
//                                           (the player itself on the disk driver)
//   bench_music first GAME_DIR PIECE...     how long after a MUSPL that starts a piece in
//                                           silence its first sound leaves the mixer
//   bench_music steady GAME_DIR PIECE S     plays and loops the piece for S seconds and counts
//                                           the blocks the audio thread mixed late (an
//                                           underrun on a device that buffers two blocks)
// Prints one line per figure: name, value, unit.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/Files.h"
#include "platform/audio/MidiFile.h"
#include "platform/audio/SdlAudio.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// What MUSPL sends for a piece change: mode 0, then mode 1.
double changePiece(qov::MusicDevice& music, const std::string& piece) {
  const auto start = Clock::now();
  (void)music.send("stop bg");
  (void)music.send("close bg");
  (void)music.send("open " + piece + ".MID alias bg");
  (void)music.send("play bg");
  return msSince(start);
}

// One tick of TimerMIDI; returns how long it took.
double loopTick(qov::MusicDevice& music) {
  const auto start = Clock::now();
  std::string answer;
  if (music.send("status bg mode", &answer) && answer.starts_with("stopp")) {
    (void)music.send("seek bg to start");
    (void)music.send("play bg");
  }
  return msSince(start);
}

// Watches the mixed output on the audio thread, after everything else of the mix.
struct Listener {
  std::atomic<bool> armed = false;
  std::atomic<std::int64_t> heardAt = 0;  // Clock ticks of the first block that sounded
  std::atomic<long> blocks = 0;
  std::atomic<long> late = 0;
  Clock::time_point last{};
  Clock::duration block{};

  static void listen(int /*channel*/, void* stream, int length, void* data) {
    auto& self = *static_cast<Listener*>(data);
    const auto now = Clock::now();
    if (self.blocks++ > 0 && now - self.last > 2 * self.block) ++self.late;
    self.last = now;
    if (!self.armed) return;
    const auto* samples = static_cast<const std::int16_t*>(stream);
    for (int i = 0; i < length / 2; ++i) {
      if (std::abs(samples[i]) > 64) {
        self.armed = false;
        self.heardAt = now.time_since_epoch().count();
        return;
      }
    }
  }

  void attach() {
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    (void)Mix_QuerySpec(&rate, &format, &channels);
    block = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(rate > 64000   ? 2048
                                                          : rate > 32000 ? 1024
                                                                         : 512) /
                                      rate));
    Mix_RegisterEffect(MIX_CHANNEL_POST, &listen, nullptr, this);
  }
};

int first(const std::filesystem::path& game, const std::vector<std::string>& pieces) {
  std::vector<double> delays;
  {
    qov::SdlAudio audio({game});
    Listener listener;
    std::string answer;
    // The synthesizer loads with the first piece; the delays are of the pieces after it. The
    // mixer is touched only while music plays: the audio thread may rest in silence.
    (void)changePiece(audio.music(), pieces.front());
    listener.attach();
    while (audio.music().send("status bg mode", &answer) && answer == "not ready")
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (int round = 0; round < 3; ++round) {
      for (const std::string& piece : pieces) {
        (void)audio.music().send("stop bg");
        (void)audio.music().send("close bg");
        // The reverb's tail dies away and the output falls silent.
        std::this_thread::sleep_for(std::chrono::milliseconds(4500));
        listener.heardAt = 0;
        listener.armed = true;
        const auto start = Clock::now();
        (void)changePiece(audio.music(), piece);
        while (listener.heardAt == 0 && Clock::now() - start < std::chrono::seconds(2))
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const Clock::time_point heard{Clock::duration(listener.heardAt.load())};
        delays.push_back(listener.heardAt == 0
                             ? 2000.0
                             : std::chrono::duration<double, std::milli>(heard - start).count());
      }
    }
    Mix_UnregisterEffect(MIX_CHANNEL_POST, &Listener::listen);
  }
  std::sort(delays.begin(), delays.end());
  std::printf("first_sound_after_muspl_median %.1f ms\n", delays[delays.size() / 2]);
  std::printf("first_sound_after_muspl_longest %.1f ms (of %zu)\n", delays.back(), delays.size());
  return 0;
}

int steady(const std::filesystem::path& game, const std::string& piece, double seconds) {
  long blocks = 0;
  long late = 0;
  {
    qov::SdlAudio audio({game});
    Listener listener;
    (void)changePiece(audio.music(), piece);
    listener.attach();
    const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(seconds));
    while (Clock::now() < until) {
      (void)loopTick(audio.music());
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Mix_UnregisterEffect(MIX_CHANNEL_POST, &Listener::listen);
    blocks = listener.blocks;
    late = listener.late;
  }
  std::printf("late_blocks %ld of %ld (%.0f s of %s)\n", late, blocks, seconds, piece.c_str());
  return 0;
}

int changes(const std::filesystem::path& game, const std::vector<std::string>& pieces) {
  std::vector<double> times;
  double worstTick = 0;
  {
    qov::SdlAudio audio({game});
    for (int round = 0; round < 3; ++round) {
      for (const std::string& piece : pieces) {
        times.push_back(changePiece(audio.music(), piece));
        const auto until = Clock::now() + std::chrono::milliseconds(1500);
        while (Clock::now() < until) {
          worstTick = std::max(worstTick, loopTick(audio.music()));
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
      }
    }
  }
  std::printf("muspl_change_first_at_start %.2f ms\n", times.front());
  std::printf("muspl_change_longest %.2f ms\n", *std::max_element(times.begin(), times.end()));
  std::sort(times.begin(), times.end());
  std::printf("muspl_change_median %.2f ms\n", times[times.size() / 2]);
  std::printf("timer_midi_tick_longest %.2f ms\n", worstTick);
  return 0;
}

// The offset, in frames, where `pattern` best matches `signal` within [from, to).
std::size_t bestMatch(const std::vector<float>& signal, const std::vector<float>& pattern,
                      std::size_t from, std::size_t to) {
  std::size_t best = from;
  double bestScore = -1e300;
  for (std::size_t at = from; at < to && at + pattern.size() <= signal.size(); ++at) {
    double score = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) score += signal[at + i] * pattern[i];
    if (score > bestScore) {
      bestScore = score;
      best = at;
    }
  }
  return best;
}

// Where the piece's first second is heard again near one length after it was first heard: the
// gap (or overlap) at the restart, from a recording of signed 16-bit stereo at `rate`.
int gap(const std::filesystem::path& raw, const std::filesystem::path& piece,
        std::chrono::microseconds length, int rate) {
  const auto recording = qov::readFile(raw).value_or(std::vector<std::uint8_t>{});
  std::vector<float> mono;
  for (std::size_t i = 0; i + 3 < recording.size(); i += 4) {
    const auto l = static_cast<std::int16_t>(recording[i] | recording[i + 1] << 8);
    const auto r = static_cast<std::int16_t>(recording[i + 2] | recording[i + 3] << 8);
    mono.push_back((static_cast<float>(l) + static_cast<float>(r)) / 65536.0f);
  }
  const auto first =
      std::find_if(mono.begin(), mono.end(), [](float s) { return std::abs(s) > 0.01f; });
  if (first == mono.end()) {
    std::fprintf(stderr, "bench_music: nothing was heard\n");
    return 1;
  }
  // The first second of the piece, found again near its length later.
  const auto start = static_cast<std::size_t>(first - mono.begin());
  const std::vector<float> pattern(
      mono.begin() + static_cast<long>(start),
      mono.begin() + static_cast<long>(std::min(mono.size(), start + rate)));
  const auto lengthFrames = static_cast<std::size_t>(length.count() * rate / 1000000);
  const std::size_t window = rate / 5;  // 200 ms either side
  const std::size_t expected = start + lengthFrames;
  if (expected + window + pattern.size() > mono.size()) {
    std::fprintf(stderr, "bench_music: the recording ends before the restart\n");
    return 1;
  }
  const std::size_t found = bestMatch(mono, pattern, expected - window, expected + window);
  std::printf("loop_gap_%s %.2f ms (length %.3f s, %d Hz)\n", piece.stem().c_str(),
              (static_cast<double>(found) - static_cast<double>(expected)) * 1000.0 / rate,
              length.count() / 1e6, rate);
  return 0;
}

std::optional<std::chrono::microseconds> pieceLength(const std::filesystem::path& piece) {
  const auto bytes = qov::readFile(piece);
  if (!bytes) {
    std::fprintf(stderr, "bench_music: %s cannot be read\n", piece.c_str());
    return std::nullopt;
  }
  const qov::MidiPreparation prepared = qov::prepareMidi(*bytes);
  if (!prepared.piece) {
    std::fprintf(stderr, "bench_music: %s: %s\n", piece.c_str(), prepared.problem.c_str());
    return std::nullopt;
  }
  return prepared.piece->length;
}

int loop(const std::filesystem::path& raw, const std::filesystem::path& piece) {
  const auto known = pieceLength(piece);
  if (!known) return 1;
  const auto length = *known;
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  unsetenv("SDL_DISKAUDIODELAY");  // the device's pace
  int rate = 0;
  {
    qov::SdlAudio audio({piece.parent_path()});
    Uint16 format = 0;
    int channels = 0;
    (void)Mix_QuerySpec(&rate, &format, &channels);
    auto& music = audio.music();
    (void)music.send("open " + piece.filename().string() + " alias bg");
    (void)music.send("play bg");
    const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(length) +
                       std::chrono::milliseconds(4000);
    while (Clock::now() < until) {
      (void)loopTick(music);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  return gap(raw, piece, length, rate);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 3 && args[0] == "changes") {
    return changes(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
  }
  if (args.size() == 3 && args[0] == "loop") return loop(args[1], args[2]);
  if (args.size() >= 3 && args[0] == "first") {
    return first(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
  }
  if (args.size() == 4 && args[0] == "steady") return steady(args[1], args[2], std::stod(args[3]));
  if (args.size() == 3 && args[0] == "gap") {
    const auto length = pieceLength(args[2]);
    return length ? gap(args[1], args[2], *length, 44100) : 1;
  }
  std::fprintf(stderr,
               "usage: bench_music changes GAME_DIR PIECE...\n"
               "       bench_music loop RAW_FILE PIECE.MID\n"
               "       bench_music gap RAW_FILE PIECE.MID\n"
               "       bench_music first GAME_DIR PIECE...\n"
               "       bench_music steady GAME_DIR PIECE SECONDS\n");
  return 2;
}
