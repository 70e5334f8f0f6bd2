#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qov {

// A small INI file as inih reads it: "[section]" headings, "key = value" (or "key: value")
// lines, comments starting with ";" or "#", an optional UTF-8 byte order mark. Section and key
// names are compared without regard to ASCII case; a key given twice keeps its last value.
// Values are the bytes of the file with the blanks around them removed.
class IniFile {
 public:
  struct Value {
    std::string text;
    int line = 0;  // where it stands, counted from 1, for messages
  };

  enum class Status {
    Ok,
    Missing,      // no such file: usually not an error
    Unreadable,   // exists but cannot be read; error() says why
    SyntaxError,  // error() says why, errorLine() where; the lines before it were read
  };

  // Reads the file at path.
  [[nodiscard]] static IniFile read(const std::filesystem::path& path);
  // Reads INI text held in memory.
  [[nodiscard]] static IniFile parse(std::string_view text);

  [[nodiscard]] Status status() const { return status_; }
  [[nodiscard]] bool ok() const { return status_ == Status::Ok; }
  [[nodiscard]] int errorLine() const { return errorLine_; }
  [[nodiscard]] const std::string& error() const { return error_; }

  // The value of key in section, when the file gives one.
  [[nodiscard]] const Value* find(std::string_view section, std::string_view key) const;
  [[nodiscard]] std::optional<std::string> get(std::string_view section,
                                               std::string_view key) const;
  // Every key of a section with its value (to warn about keys nobody reads).
  using Section = std::map<std::string, Value, std::less<>>;
  [[nodiscard]] const Section* section(std::string_view name) const;

 private:
  friend struct IniParse;
  Status status_ = Status::Ok;
  int errorLine_ = 0;
  std::string error_;
  std::map<std::string, Section, std::less<>> sections_;
};

}  // namespace qov
