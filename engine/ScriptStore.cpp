#include "engine/ScriptStore.h"

#include <algorithm>
#include <optional>

#include "engine/ErrorTexts.h"
#include "engine/ScriptError.h"
#include "platform/Encoding.h"
#include "platform/Files.h"

namespace qov {
namespace {

// A line ends at CR LF or at a lone CR; a lone LF stays in the line. A last line without a
// line end still counts.
std::vector<std::string_view> splitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t cr = bytes.find('\r', start);
    if (cr == std::string_view::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, cr - start));
    start = cr + 1;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

[[noreturn]] void fail(std::u32string_view text) {
  throw ScriptError{std::u32string(text)};
}

}  // namespace

bool holdsGame(const std::filesystem::path& dir) {
  const std::optional<std::filesystem::path> path = findFile(dir, toUtf8(kFirstScript) + ".QOV");
  std::error_code error;
  return path && std::filesystem::is_regular_file(*path, error);
}

ScriptText decodeScript(std::string_view bytes) {
  ScriptText text;
  for (const std::string_view raw : splitLines(bytes)) {
    std::optional<std::u32string> decoded = decodeCp932(raw);
    if (!decoded) {
      text.badLines.push_back(static_cast<int>(text.lines.size()) + 1);
      decoded = decodeCp932Lenient(raw);
    }
    text.lines.push_back(std::move(*decoded));
  }
  return text;
}

ScriptStore::ScriptStore(const Variables& vars, std::span<const std::u32string_view> commandWords)
    : vars_(vars), commandWords_(commandWords) {}

void ScriptStore::ACMLOAD(const std::filesystem::path& gameDir, std::u32string_view name) {
  const std::u32string failure =
      std::u32string(errors::kCannotLoad) + U"\r\n" + std::u32string(name);
  const std::optional<std::filesystem::path> path = findFile(gameDir, toUtf8(name) + ".QOV");
  if (!path) fail(failure);
  const std::optional<std::vector<std::uint8_t>> bytes = readFile(*path);
  if (!bytes) fail(failure);

  scriptFile_ = path->lexically_relative(gameDir).generic_string();
  LineNo_ = 0;
  const ScriptText script =
      decodeScript(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  const int firstBad = script.badLines.empty() ? 0 : script.badLines.front();
  for (const std::u32string& line : script.lines) {
    if (LineNo_ == kMaxLines) {
      LineNo_ = kMaxLines + 1;
      fail(failure);
    }
    ++LineNo_;
    // A line that is not CP932 is stored readably, so that the report shows the author which.
    store(LineNo_, line);
    if (LineNo_ == firstBad) fail(failure);
  }
  LineNo_ = 1;
  CaseEndLine_ = 0;
}

void ScriptStore::assign(std::span<const std::u32string> lines, std::string fileName) {
  scriptFile_ = std::move(fileName);
  const std::size_t count = std::min<std::size_t>(lines.size(), kMaxLines);
  for (std::size_t i = 0; i < count; ++i) store(static_cast<int>(i) + 1, lines[i]);
  LineNo_ = 1;
  CaseEndLine_ = 0;
}

std::shared_ptr<const std::vector<std::u32string>> ScriptStore::texts() const {
  if (!texts_) {
    auto texts = std::make_shared<std::vector<std::u32string>>();
    texts->reserve(lines_.size());
    for (const Line& line : lines_) texts->push_back(line.text);
    texts_ = std::move(texts);
  }
  return texts_;
}

void ScriptStore::restore(std::shared_ptr<const std::vector<std::u32string>> texts,
                          std::string scriptFile, std::int16_t lineNo, std::int16_t caseEndLine) {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::u32string& text = i < texts->size() ? (*texts)[i] : std::u32string();
    if (text.empty()) {
      lines_[i] = Line{};
    } else {
      store(static_cast<int>(i), text);
    }
  }
  texts_ = std::move(texts);
  scriptFile_ = std::move(scriptFile);
  LineNo_ = lineNo;
  CaseEndLine_ = caseEndLine;
}

void ScriptStore::store(int index, std::u32string text) {
  texts_.reset();
  Line& line = lines_[static_cast<std::size_t>(index)];
  line.text = std::move(text);
  line.fields.clear();
  const std::u32string_view view = line.text;
  std::size_t begin = 0;
  while (true) {
    const std::size_t comma = std::min(view.find(U',', begin), view.size());
    Field field{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(comma - begin)};
    const std::u32string_view word = view.substr(begin, comma - begin);
    // A variable reference reads only the two characters after the "F" (F123 is variable 12).
    const bool variable = !word.empty() && word.front() == U'F';
    const ParsedNumber number = parseDecimal(variable ? word.substr(1, 2) : word);
    switch (number.status) {
      case NumberStatus::ok:
        field.kind = variable ? FieldKind::variable : FieldKind::number;
        field.value = number.value;
        break;
      case NumberStatus::overflow:
        field.kind = FieldKind::overflow;
        break;
      case NumberStatus::notNumber:
        field.kind = FieldKind::notNumber;
        break;
    }
    line.fields.push_back(field);
    if (comma == view.size()) break;
    begin = comma + 1;
  }
  const std::u32string_view word = view.substr(0, line.fields.front().length);
  const auto found = std::find(commandWords_.begin(), commandWords_.end(), word);
  line.command = found == commandWords_.end()
                     ? kNoCommand
                     : static_cast<std::int16_t>(found - commandWords_.begin());
}

void ScriptStore::failLineNo() {
  fail(errors::kBadLineNo);
}

void ScriptStore::failNoArgument() {
  fail(errors::kNoArgument);
}

void ScriptStore::failNotNumber() {
  fail(errors::kNotNumber);
}

void ScriptStore::failValue(FieldKind kind) {
  fail(kind == FieldKind::overflow ? errors::kOverflow : errors::kNotNumber);
}

std::u32string_view ScriptStore::ScriptLine(int index) const {
  if (index < 0 || index > kMaxLines) return {};
  return lines_[static_cast<std::size_t>(index)].text;
}

}  // namespace qov
