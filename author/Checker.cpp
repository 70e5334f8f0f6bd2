#include "author/Checker.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>

#include "engine/Commands.h"
#include "engine/Conditions.h"
#include "engine/Decimal.h"
#include "engine/ErrorTexts.h"
#include "engine/MarkUp.h"
#include "engine/MenuDefinition.h"
#include "engine/ScriptError.h"
#include "engine/ScriptStore.h"
#include "engine/Variables.h"
#include "platform/Encoding.h"
#include "platform/Files.h"

namespace qov::author {

namespace {

namespace fs = std::filesystem;

std::u32string withDetail(std::u32string_view text, std::u32string_view detail) {
  return std::u32string(text) + U" (" + std::u32string(detail) + U")";
}

std::u32string number(int n) {
  return fromUtf8(std::to_string(n));
}

// A CASE line whose code is written as a number.
struct CaseCode {
  std::string file;
  int line = 0;
  int code = 0;
  std::string lineText;
};

// Reads the scripts of one game. The store, the field reader, the number, condition, mark-up
// and menu grammars are the player's own; only what each command reads is listed here.
class GameChecker {
 public:
  explicit GameChecker(fs::path gameDir)
      : gameDir_(std::move(gameDir)),
        store_(std::make_unique<ScriptStore>(vars_, commandWords())) {}

  CheckResult run() {
    const auto first = findFile(gameDir_, toUtf8(kFirstScript) + ".QOV");
    if (!first) {
      result_.findings.push_back(
          {toUtf8(kFirstScript) + ".QOV", 0, true, toUtf8(errors::kCannotLoad), ""});
      return std::move(result_);
    }
    enqueue(*first);
    // Then every other script of the folder, in the order of their names.
    std::vector<fs::path> others;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(gameDir_, ec)) {
      std::string ext = entry.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(),
                     [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
      if (ext == ".QOV" && entry.is_regular_file(ec)) others.push_back(entry.path());
    }
    std::sort(others.begin(), others.end());
    std::size_t next = 0;
    const auto checkQueued = [&] {
      for (; next < queue_.size(); ++next) checkScript(queue_[next]);
    };
    checkQueued();
    for (const fs::path& other : others) {
      enqueue(other);
      checkQueued();
    }
    warnOfUnreturnedCodes();
    // Findings by script in the order checked, then by line.
    std::stable_sort(result_.findings.begin(), result_.findings.end(),
                     [this](const Finding& a, const Finding& b) {
                       const auto sa = scriptIndex(a.file);
                       const auto sb = scriptIndex(b.file);
                       return sa != sb ? sa < sb : a.line < b.line;
                     });
    return std::move(result_);
  }

 private:
  void enqueue(const fs::path& path) {
    const std::string file = path.lexically_relative(gameDir_).generic_string();
    if (std::find(files_.begin(), files_.end(), file) != files_.end()) return;
    files_.push_back(file);
    queue_.push_back(path);
  }

  [[nodiscard]] std::size_t scriptIndex(const std::string& file) const {
    return static_cast<std::size_t>(std::find(files_.begin(), files_.end(), file) - files_.begin());
  }

  // By value: checking a script queues the ones it loads.
  void checkScript(const fs::path path) {
    const std::string file = path.lexically_relative(gameDir_).generic_string();
    const auto bytes = readFile(path);
    if (!bytes) {
      result_.findings.push_back({file, 0, true, toUtf8(errors::kCannotLoad), ""});
      return;
    }
    text_ =
        decodeScript(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    file_ = file;
    lineCount_ = std::min<int>(static_cast<int>(text_.lines.size()), ScriptStore::kMaxLines);
    for (const int bad : text_.badLines) {
      report(bad, true, withDetail(errors::kCannotLoad, U"CP932でない文字"));
    }
    if (text_.lines.size() > static_cast<std::size_t>(ScriptStore::kMaxLines)) {
      report(ScriptStore::kMaxLines + 1, true, withDetail(errors::kCannotLoad, U"2000行を超える"));
    }
    store_->assign(text_.lines, file);

    CheckedScript script{file, lineCount_, std::vector<bool>(lineCount_ + 2),
                         std::vector<bool>(lineCount_ + 2)};
    tableOwner_.assign(static_cast<std::size_t>(lineCount_) + 2, 0);
    findTables();
    for (line_ = 1; line_ <= lineCount_; ++line_) {
      const auto owner = tableOwner_[static_cast<std::size_t>(line_)];
      script.tableLine[static_cast<std::size_t>(line_)] = owner != 0;
      store_->setLineNo(static_cast<std::int16_t>(line_));
      if (owner != 0) {
        // The targets of an FJ are read as values when chosen; an FP's messages are checked
        // with the FP line, where the player reports them.
        if (wordAt(owner) == U"FJ" && wordAt(line_) != U"ENDFJ") {
          checkFields([&] { jumpTarget(1); });
        }
        continue;
      }
      const std::int16_t command = store_->command();
      if (command == ScriptStore::kNoCommand) {
        report(line_, true, std::u32string(errors::kNoCommand));
        continue;
      }
      const std::u32string_view word = commandTable()[static_cast<std::size_t>(command)].word;
      script.caseLine[static_cast<std::size_t>(line_)] = word == U"CASE";
      checkFields([&] { checkCommand(word); });
    }
    result_.scripts.push_back(std::move(script));
  }

  [[nodiscard]] std::u32string_view wordAt(int line) const {
    const std::u32string_view text = text_.lines[static_cast<std::size_t>(line) - 1];
    return text.substr(0, text.find(U','));
  }

  // The lines after an FP or FJ up to its end line (or, when the end line is not written as
  // a number, up to the next ENDFP or ENDFJ) are data, not commands.
  void findTables() {
    for (int line = 1; line <= lineCount_; ++line) {
      const std::u32string_view word = wordAt(line);
      if (word != U"FP" && word != U"FJ") continue;
      store_->setLineNo(static_cast<std::int16_t>(line));
      int end = 0;
      try {
        const auto field = store_->fieldValue(3);
        if (field.kind == ScriptStore::FieldKind::number) end = field.value;
      } catch (const ScriptError&) {
      }
      if (end == 0) {
        const std::u32string_view endWord = word == U"FP" ? U"ENDFP" : U"ENDFJ";
        for (end = line + 1; end <= lineCount_ && wordAt(end) != endWord; ++end) {
        }
        if (end > lineCount_) end = line;
      }
      // An FJ may choose its end line itself; the next tick after an FP runs its end line.
      const int last = std::min(word == U"FJ" ? end : end - 1, lineCount_);
      for (int k = line + 1; k <= last; ++k) {
        if (tableOwner_[static_cast<std::size_t>(k)] == 0) {
          tableOwner_[static_cast<std::size_t>(k)] = line;
        }
      }
    }
  }

  // Runs the checks of one line; a missing field ends them, as it ends the player.
  template <typename Checks>
  void checkFields(Checks checks) {
    try {
      checks();
    } catch (const ScriptError& e) {
      report(line_, true, e.text);
    }
  }

  // Runs one check; a fault other than a missing field is reported and the line goes on.
  template <typename Check>
  auto guarded(Check check) -> decltype(check()) {
    try {
      return check();
    } catch (const ScriptError& e) {
      if (e.text == errors::kNoArgument) throw;
      report(line_, true, e.text);
    }
    if constexpr (!std::is_void_v<decltype(check())>) return {};
  }

  void checkCommand(std::u32string_view word) {
    using menus::kEntryCount;
    using menus::kMenuCount;
    if (word == U"CMST") {
      const auto menu = index(2, kMenuCount);
      menuDefinition(menu, store_->CUTA(3));
    } else if (word == U"CMSL") {
      jumpTarget(3);
      static_cast<void>(index(2, kMenuCount));
      requireEndcm();
    } else if (word == U"CASE") {
      // The search after a menu choice reads the code of every CASE it passes.
      if (const auto code = value(2)) {
        cases_.push_back(
            {file_, line_, *code, toUtf8(text_.lines[static_cast<std::size_t>(line_) - 1])});
      }
    } else if (word == U"DORT" || word == U"DOEX" || word == U"LOOP" || word == U"GOTO" ||
               word == U"GOSUB" || word == U"ELSE") {
      jumpTarget(2);
    } else if (word == U"IF" || word == U"EVA") {
      const std::u32string_view condition = store_->CUTA(2);
      guarded([&] { static_cast<void>(TCHK(condition, vars_)); });
      // Field 3 is read only when the condition fails.
      if (hasField(3)) jumpTarget(3);
    } else if (word == U"FP" || word == U"FJ") {
      table(word);
    } else if (word == U"INC") {
      static_cast<void>(index(2, Variables::kVarCount));
      static_cast<void>(value(3));
    } else if (word == U"DEC") {
      static_cast<void>(index(2, Variables::kVarCount));
    } else if (word == U"MES") {
      const std::u32string_view text = store_->CUTA(2);
      guarded([&] { markup::checkText(text); });
    } else if (word == U"LET") {
      static_cast<void>(value(3));
      static_cast<void>(index(2, Variables::kVarCount));
    } else if (word == U"ADDCM") {
      const std::u32string_view entryText = store_->CUTA(4);
      const auto menu = index(2, kMenuCount);
      const auto entry = index(3, kEntryCount);
      addCode(menu, entry, entryText);
    } else if (word == U"DELCM") {
      static_cast<void>(index(2, kMenuCount));
      static_cast<void>(index(3, kEntryCount));
    } else if (word == U"CLR" || word == U"FGCL") {
      static_cast<void>(index(3, Variables::kVarCount));
      static_cast<void>(index(2, Variables::kVarCount));
    } else if (word == U"GHG") {
      requireFile(store_->CUTA(2), U".SZG", true);
    } else if (word == U"ITMS") {
      static_cast<void>(value(3));
      itemNumber();
      static_cast<void>(store_->CUTA(4));
    } else if (word == U"SOUND") {
      const std::u32string_view name = store_->CUTA(2);
      static_cast<void>(value(3));
      requireFile(name, U".wav", false);
    } else if (word == U"MUSPL") {
      const std::u32string_view name = store_->CUTA(2);
      const auto field = store_->fieldValue(3);
      const auto mode = value(3);
      // Only mode 1 opens a piece.
      const bool opens = mode ? *mode == 1 : field.kind == ScriptStore::FieldKind::variable;
      if (opens) requireFile(name, U".MID", false);
    } else if (word == U"CMDS") {
      static_cast<void>(value(2));
    } else if (word == U"ACMLD") {
      requireScript(store_->CUTA(2));
    }
  }

  [[nodiscard]] bool hasField(int n) const {
    try {
      static_cast<void>(store_->CUTA(n));
      return true;
    } catch (const ScriptError&) {
      return false;
    }
  }

  // Field n as CUTV reads it: the number when one is written, nothing for a variable.
  std::optional<int> value(int n) {
    const auto field = store_->fieldValue(n);
    return guarded([&]() -> std::optional<int> {
      switch (field.kind) {
        case ScriptStore::FieldKind::number:
          return field.value;
        case ScriptStore::FieldKind::variable:
          static_cast<void>(vars_.var(field.value));  // the variable must exist
          return std::nullopt;
        case ScriptStore::FieldKind::overflow:
          throw ScriptError{std::u32string(errors::kOverflow)};
        case ScriptStore::FieldKind::notNumber:
          break;
      }
      throw ScriptError{std::u32string(errors::kNotNumber)};
    });
  }

  // A value that indexes a table of `size` entries.
  std::optional<int> index(int n, int size) {
    const auto v = value(n);
    if (v && (*v < 0 || *v >= size)) {
      report(line_, true, std::u32string(errors::kOutOfRange));
      return std::nullopt;
    }
    return v;
  }

  void jumpTarget(int n) {
    const auto target = value(n);
    if (target && (*target < 1 || *target > lineCount_)) {
      report(line_, true,
             withDetail(errors::kBadLineNo, number(*target) + U"行目はスクリプトの外、全" +
                                                number(lineCount_) + U"行"));
    }
  }

  void table(std::u32string_view word) {
    const std::u32string error(word);
    std::optional<int> end;
    if (word == U"FP") {
      end = value(3);
      static_cast<void>(index(2, Variables::kVarCount));
    } else {
      static_cast<void>(index(2, Variables::kVarCount));
      end = value(3);
    }
    if (!end) return;
    if (*end > lineCount_) {
      report(line_, true,
             withDetail(error, U"終わりの行" + number(*end) + U"はスクリプトの外、全" +
                                   number(lineCount_) + U"行"));
    } else if (*end <= line_) {
      report(line_, true, withDetail(error, U"選べる行が無い"));
    }
    if (word != U"FP") return;
    // Each message of the table, reported with the FP line as the player reports it.
    for (int k = line_ + 1; k <= std::min(*end, lineCount_); ++k) {
      store_->setLineNo(static_cast<std::int16_t>(k));
      const std::u32string message(store_->CUTA(1));
      store_->setLineNo(static_cast<std::int16_t>(line_));
      guarded([&] { markup::checkText(message); });
    }
  }

  void requireEndcm() {
    for (int k = line_ + 1; k <= lineCount_; ++k) {
      if (wordAt(k) == U"ENDCM") return;
    }
    report(line_, true, std::u32string(errors::kNoEndcm));
  }

  void itemNumber() {
    const ParsedNumber item = parseDecimal(store_->CUTA(2));
    if (item.status == NumberStatus::overflow) {
      report(line_, true, std::u32string(errors::kOverflow));
    } else if (item.status != NumberStatus::ok) {
      report(line_, true, std::u32string(errors::kNotNumber));
    } else if (item.value < 0 || item.value >= Variables::kItemCount) {
      report(line_, true, std::u32string(errors::kOutOfRange));
    }
  }

  void menuDefinition(std::optional<int> menu, std::u32string_view text) {
    if (!menu) codesKnown_ = false;
    guarded([&] {
      const std::vector<menus::Entries> parts = menus::parseDefinition(menu.value_or(0), text);
      for (std::size_t part = 0; part < parts.size(); ++part) {
        for (std::size_t entry = 0; entry < parts[part].size(); ++entry) {
          const std::u32string& e = parts[part][entry];
          if (!e.empty() && menus::endsMenu(e.front())) {
            codes_.insert((menu.value_or(0) + static_cast<int>(part)) * 100 +
                          static_cast<int>(entry));
          }
        }
      }
    });
  }

  void addCode(std::optional<int> menu, std::optional<int> entry, std::u32string_view text) {
    if (!menu || !entry) {
      codesKnown_ = false;
    } else if (!text.empty() && menus::endsMenu(text.front())) {
      codes_.insert(*menu * 100 + *entry);
    }
  }

  void requireFile(std::u32string_view name, std::u32string_view extension, bool error) {
    const std::u32string file = std::u32string(name) + std::u32string(extension);
    if (findFile(gameDir_, toUtf8(file))) return;
    const std::u32string detail = file + U" が無い";
    // A missing picture stops the player; music and effects are left out silently.
    report(line_, error, error ? withDetail(errors::kCannotLoad, detail) : detail);
  }

  void requireScript(std::u32string_view name) {
    const auto path = findFile(gameDir_, toUtf8(name) + ".QOV");
    if (!path) {
      report(line_, true, withDetail(errors::kCannotLoad, std::u32string(name) + U".QOV が無い"));
      return;
    }
    enqueue(*path);
  }

  // A CASE whose code no menu of the game can return never runs.
  void warnOfUnreturnedCodes() {
    if (!codesKnown_) return;
    for (const CaseCode& c : cases_) {
      if (codes_.contains(c.code)) continue;
      result_.findings.push_back({c.file, c.line, false,
                                  toUtf8(U"CASE" + formatSigned(c.code) + U"を返すメニュー無し"),
                                  c.lineText});
    }
  }

  void report(int line, bool error, std::u32string_view text) {
    const std::size_t index = static_cast<std::size_t>(line) - 1;
    const std::string lineText = index < text_.lines.size() ? toUtf8(text_.lines[index]) : "";
    result_.findings.push_back({file_, line, error, toUtf8(text), lineText});
  }

  fs::path gameDir_;
  Variables vars_;
  std::unique_ptr<ScriptStore> store_;
  CheckResult result_;
  std::vector<std::string> files_;
  std::vector<fs::path> queue_;

  // The script being read.
  ScriptText text_;
  std::string file_;
  int lineCount_ = 0;
  int line_ = 0;
  std::vector<int> tableOwner_;

  // The choice codes the game's menus can return, when every menu is written as a number.
  std::set<int> codes_;
  bool codesKnown_ = true;
  std::vector<CaseCode> cases_;
};

}  // namespace

bool CheckResult::hasError() const {
  return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.error; });
}

CheckResult checkGame(const std::filesystem::path& gameDir) {
  return GameChecker(gameDir).run();
}

void printFindings(const CheckResult& result, std::ostream& out) {
  for (const Finding& f : result.findings) {
    out << f.file << ':' << f.line << (f.error ? ": error: " : ": warning: ") << f.text << '\n'
        << "    " << f.lineText << '\n';
  }
}

}  // namespace qov::author
