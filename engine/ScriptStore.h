#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Decimal.h"
#include "engine/Variables.h"

namespace qov {

// The script every game starts with.
inline constexpr std::u32string_view kFirstScript = U"wnatu";

// A game folder is one that holds the first script, found as the player will look for it.
[[nodiscard]] bool holdsGame(const std::filesystem::path& dir);

// The lines of a script file: CP932, each line ending at CR LF or a lone CR. A line that is not
// CP932 is decoded leniently (so a report can show it) and its number kept in badLines.
struct ScriptText {
  std::vector<std::u32string> lines;
  std::vector<int> badLines;  // 1-based, ascending
};
[[nodiscard]] ScriptText decodeScript(std::string_view bytes);

// The loaded script and the tokenizer over its current line. Lines are split into fields and
// their numeric fields parsed when the script is loaded, so that running a line costs no
// parsing; what a command sees (and every error it meets) is the same as splitting on demand.
class ScriptStore {
 public:
  static constexpr int kMaxLines = 2000;
  static constexpr std::int16_t kNoCommand = -1;

  // What a field holds, as CUTV reads it: a number, a variable reference (value: its index),
  // or text that CUTV refuses.
  enum class FieldKind : std::uint8_t { number, variable, notNumber, overflow };
  struct FieldValue {
    FieldKind kind = FieldKind::notNumber;
    std::int16_t value = 0;
  };

  // commandWords: the command table's words in the order of comparison; each line keeps the
  // index of the first word equal to its field 1.
  ScriptStore(const Variables& vars, std::span<const std::u32string_view> commandWords);

  // Loads gameDir\name.QOV into ScriptLine(1...), then LineNo = 1 and CaseEndLine = 0.
  // Throws ScriptError ("ファイルが読込めません" CR LF name) on failure; LineNo then names
  // where the load stopped: unchanged when the file could not be opened, else the line
  // being read.
  void ACMLOAD(const std::filesystem::path& gameDir, std::u32string_view name);
  // Stores `lines` as lines 1 upwards (at most kMaxLines) without reading a file, for tools
  // that read scripts without running them.
  void assign(std::span<const std::u32string> lines, std::string fileName);

  // Every line's text, 0 to kMaxLines, as one value shared until the store next changes.
  [[nodiscard]] std::shared_ptr<const std::vector<std::u32string>> texts() const;
  // Puts back lines that texts() gave (kMaxLines + 1 of them), the file they were loaded
  // from last, LineNo and CaseEndLine.
  void restore(std::shared_ptr<const std::vector<std::u32string>> texts, std::string scriptFile,
               std::int16_t lineNo, std::int16_t caseEndLine);

  // The file the loaded script came from, relative to the game directory, as it is on disk.
  [[nodiscard]] const std::string& scriptFile() const { return scriptFile_; }

  // Field n of ScriptLine(LineNo); "" for n below 1; "引数無し" when the line has fewer.
  [[nodiscard]] std::u32string_view CUTA(int n) const {
    const Line& line = currentLine();
    if (n < 1) return {};
    const Field& f = field(line, n);
    return std::u32string_view(line.text).substr(f.begin, f.length);
  }
  // The same field as a value: a decimal number, or "F" and the next two characters naming
  // a variable.
  [[nodiscard]] std::int16_t CUTV(int n) const {
    const Line& line = currentLine();
    if (n < 1) failNotNumber();
    const Field& f = field(line, n);
    switch (f.kind) {
      case FieldKind::number:
        return f.value;
      case FieldKind::variable:
        return vars_.var(f.value);
      default:
        failValue(f.kind);
    }
  }
  // Field n of the current line without reading a variable; "引数無し" when it is missing.
  [[nodiscard]] FieldValue fieldValue(int n) const {
    const Field& f = field(currentLine(), n);
    return {f.kind, f.value};
  }
  // The index in the command table of field 1 of the current line, or kNoCommand.
  [[nodiscard]] std::int16_t command() const { return currentLine().command; }

  // "" outside 0 to 2000.
  [[nodiscard]] std::u32string_view ScriptLine(int index) const;

  [[nodiscard]] std::int16_t lineNo() const { return LineNo_; }
  void setLineNo(std::int16_t lineNo) { LineNo_ = lineNo; }
  [[nodiscard]] std::int16_t caseEndLine() const { return CaseEndLine_; }
  void setCaseEndLine(std::int16_t line) { CaseEndLine_ = line; }

 private:
  struct Field {
    std::uint32_t begin = 0;
    std::uint32_t length = 0;
    FieldKind kind = FieldKind::notNumber;
    std::int16_t value = 0;  // the number, or the variable's index
  };
  struct Line {
    std::u32string text;
    std::vector<Field> fields;
    std::int16_t command = kNoCommand;
  };

  void store(int index, std::u32string text);
  [[nodiscard]] const Line& currentLine() const {
    if (LineNo_ < 0 || LineNo_ > kMaxLines) [[unlikely]] {
      failLineNo();
    }
    return lines_[static_cast<std::size_t>(LineNo_)];
  }
  [[nodiscard]] static const Field& field(const Line& line, int n) {
    // A line never stored is empty, and an empty line has one empty field.
    static constexpr Field kEmptyField{};
    if (line.fields.empty()) [[unlikely]] {
      if (n != 1) failNoArgument();
      return kEmptyField;
    }
    if (static_cast<std::size_t>(n) > line.fields.size()) [[unlikely]] {
      failNoArgument();
    }
    return line.fields[static_cast<std::size_t>(n - 1)];
  }
  [[noreturn]] static void failLineNo();
  [[noreturn]] static void failNoArgument();
  [[noreturn]] static void failNotNumber();
  [[noreturn]] static void failValue(FieldKind kind);

  const Variables& vars_;
  std::span<const std::u32string_view> commandWords_;
  // Index 0 is never filled; the table is never cleared, so a shorter script leaves the
  // lines of a longer one beyond its end.
  std::array<Line, kMaxLines + 1> lines_{};
  std::int16_t LineNo_ = 0;
  std::int16_t CaseEndLine_ = 0;
  std::string scriptFile_;
  mutable std::shared_ptr<const std::vector<std::u32string>> texts_;  // none once changed
};

}  // namespace qov
