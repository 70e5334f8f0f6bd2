#include "platform/IniFile.h"

#include <ini.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <system_error>

namespace qov {

namespace {

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string_view lineAt(std::string_view text, int line) {
  for (int n = 1; n < line; ++n) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return {};
    text.remove_prefix(end + 1);
  }
  const std::size_t end = text.find('\n');
  std::string_view s = text.substr(0, end);
  if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
  return s;
}

// Why inih refused a line: it names only the line.
std::string whyRefused(std::string_view line) {
  const std::size_t start = line.find_first_not_of(" \t");
  if (start != std::string_view::npos && line[start] == '[') {
    return "a section heading without its closing \"]\"";
  }
  return "neither a [section] heading nor a key = value line";
}

}  // namespace

// Feeds inih one line at a time from memory, so that every value knows its line.
struct IniParse {
  std::string_view rest;
  int line = 0;
  bool indented = false;
  std::optional<std::string> lastSection;  // of the last entry, when there was one
  std::string lastKey;
  IniFile* ini = nullptr;

  static char* readLine(char* str, int num, void* stream) {
    auto& self = *static_cast<IniParse*>(stream);
    if (self.rest.empty()) return nullptr;
    const std::size_t end = self.rest.find('\n');
    const std::size_t length = end == std::string_view::npos ? self.rest.size() : end + 1;
    // Lines were checked against inih's buffer before, so one line always fits.
    const std::size_t copied = std::min(length, static_cast<std::size_t>(num - 1));
    std::memcpy(str, self.rest.data(), copied);
    str[copied] = '\0';
    self.indented = copied > 0 && (str[0] == ' ' || str[0] == '\t');
    self.rest.remove_prefix(length);
    ++self.line;
    return str;
  }

  static int entry(void* user, const char* section, const char* name, const char* value) {
    auto& self = *static_cast<IniParse*>(user);
    std::string sectionName = lowerAscii(section);
    std::string key = lowerAscii(name);
    IniFile::Value& slot = self.ini->sections_[sectionName][key];
    // inih hands the indented lines after a key to the same key again; an indented line before
    // any key (" = value" with an empty name) continues nothing.
    const bool continued = self.indented && self.lastSection == sectionName && key == self.lastKey;
    if (continued) {
      slot.text += '\n';
      slot.text += value;
    } else {
      slot = IniFile::Value{value, self.line};
    }
    self.lastSection = std::move(sectionName);
    self.lastKey = std::move(key);
    return 1;
  }
};

IniFile IniFile::parse(std::string_view text) {
  IniFile ini;
  // inih reads a line into a fixed buffer and takes the rest of a longer line for a line of its
  // own; refuse such a line instead of reading half of it.
  const std::size_t longest = static_cast<std::size_t>(std::max(ini_max_line - 3, 1));
  int line = 1;
  for (std::string_view scan = text; !scan.empty(); ++line) {
    const std::size_t end = scan.find('\n');
    std::string_view content = scan.substr(0, end);
    if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
    if (content.size() > longest) {
      ini.status_ = Status::SyntaxError;
      ini.errorLine_ = line;
      ini.error_ = "a line longer than " + std::to_string(longest) + " bytes";
      return ini;
    }
    if (end == std::string_view::npos) break;
    scan.remove_prefix(end + 1);
  }

  IniParse parse;
  parse.rest = text;
  parse.ini = &ini;
  const int result = ini_parse_stream(&IniParse::readLine, &parse, &IniParse::entry, &parse);
  if (result > 0) {
    ini.status_ = Status::SyntaxError;
    ini.errorLine_ = result;
    ini.error_ = whyRefused(lineAt(text, result));
  } else if (result < 0) {
    ini.status_ = Status::Unreadable;
    ini.error_ = "out of memory";
  }
  return ini;
}

IniFile IniFile::read(const std::filesystem::path& path) {
  IniFile ini;
  std::error_code ec;
  const auto type = std::filesystem::status(path, ec).type();
  if (type == std::filesystem::file_type::not_found) {
    ini.status_ = Status::Missing;
    ini.error_ = std::strerror(ENOENT);
    return ini;
  }
  if (type == std::filesystem::file_type::directory) {
    ini.status_ = Status::Unreadable;
    ini.error_ = std::strerror(EISDIR);
    return ini;
  }
  const std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"),
                                                                &std::fclose);
  if (!file) {
    ini.status_ = Status::Unreadable;
    ini.error_ = std::strerror(errno);
    return ini;
  }
  std::string text;
  std::array<char, 4096> buffer{};
  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) {
    text.append(buffer.data(), got);
  }
  if (std::ferror(file.get())) {
    ini.status_ = Status::Unreadable;
    ini.error_ = std::strerror(errno);
    return ini;
  }
  return parse(text);
}

const IniFile::Value* IniFile::find(std::string_view section, std::string_view key) const {
  const Section* keys = this->section(section);
  if (keys == nullptr) return nullptr;
  const auto it = keys->find(lowerAscii(key));
  return it == keys->end() ? nullptr : &it->second;
}

std::optional<std::string> IniFile::get(std::string_view section, std::string_view key) const {
  const Value* value = find(section, key);
  if (value == nullptr) return std::nullopt;
  return value->text;
}

const IniFile::Section* IniFile::section(std::string_view name) const {
  const auto it = sections_.find(lowerAscii(name));
  return it == sections_.end() ? nullptr : &it->second;
}

}  // namespace qov
