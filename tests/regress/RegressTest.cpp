// Every input that once broke a fuzz target, and a few edge inputs of each (a script of 2001
// lines, a lead byte cut off, a loop that never ends its tick, mark-up arguments cut off at the
// end, MIDI chunks cut short, INI lines cut off), runs through its harness again: it must run or
// end in the error report, and keep every property the harness checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/Harness.h"

namespace qov::fuzz {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsOf(std::string_view target) {
  std::vector<fs::path> files;
  const fs::path dir = fs::path(QOV_REGRESS_INPUTS) / target;
  if (fs::is_directory(dir)) {
    for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string bytesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void replay(std::string_view target, void (*harness)(std::string_view)) {
  for (const fs::path& file : inputsOf(target)) {
    SCOPED_TRACE(file.filename().string());
    EXPECT_NO_THROW(harness(bytesOf(file)));
  }
}

TEST(Regress, ConditionInputs) {
  replay("conditions", runConditions);
}

TEST(Regress, SaveFileInputs) {
  replay("savefile", runSaveFile);
}

TEST(Regress, DecoderInputs) {
  replay("decoder", runDecoder);
}

TEST(Regress, ScriptInputs) {
  replay("script", runScript);
}

#if QOV_REGRESS_WINDOW
TEST(Regress, ScriptInputsInTheWindow) {
  ::testing::internal::CaptureStderr();  // the error reports' copies for the terminal
  replay("script", runScriptInWindow);
  static_cast<void>(::testing::internal::GetCapturedStderr());
}

TEST(Regress, MarkupInputs) {
  replay("markup", runMarkup);
}
#endif

#if QOV_REGRESS_READERS
TEST(Regress, MidiInputs) {
  replay("midi", runMidi);
}

TEST(Regress, IniInputs) {
  ::testing::internal::CaptureStderr();  // the warnings about a qov.ini
  replay("ini", runIni);
  static_cast<void>(::testing::internal::GetCapturedStderr());
}
#endif

}  // namespace
}  // namespace qov::fuzz
