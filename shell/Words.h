#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace qov {

// The player's own words (its menus, pages, notices, the library and the command line) are
// written in English and read in the language chosen from gettext's catalogs of the domain
// "qov". A game's own texts never pass here.
enum class Language : std::uint8_t { Automatic, Japanese, English };

// The settings file's word for `language` (auto, ja, en), and back; nullopt for another word.
[[nodiscard]] std::string_view languageWord(Language language);
[[nodiscard]] std::optional<Language> languageOfWord(std::string_view word);

// The language `setting` means: itself, or for Automatic the first of LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG that is set and not empty: Japanese when it begins with "ja", else
// English (C, POSIX and no variable at all included).
using Environment = std::function<const char*(const char*)>;
[[nodiscard]] Language resolveLanguage(Language setting, const Environment& environment);
[[nodiscard]] Language resolveLanguage(Language setting);  // the environment the process began with

// Reads the catalogs from `folder` (<folder>/<lang>/LC_MESSAGES/qov.mo) from now on. It sets
// the process's LANGUAGE, so it is called before any other thread starts;
// restoreEnvironment() gives the environment back as it was, for a program started anew.
void useCatalogs(const std::filesystem::path& folder);
void restoreEnvironment();

// The player's words are in `language` (Automatic resolved from the environment) from now on.
void useLanguage(Language language);
[[nodiscard]] Language wordsLanguage();  // Japanese or English

// `english` in the language in use; itself where the catalog has no translation.
[[nodiscard]] std::u32string tr(std::u32string_view english);
[[nodiscard]] std::string tr8(std::string_view english);
// Marks `english` for the catalog where it is kept and translated later, when it is shown.
constexpr const char32_t* later(const char32_t* english) {
  return english;
}
constexpr const char* later(const char* english) {
  return english;
}

// `text` with each "{}" replaced by the next of `values`, in order.
[[nodiscard]] std::u32string fill(std::u32string_view text,
                                  std::initializer_list<std::u32string_view> values);
[[nodiscard]] std::string fill8(std::string_view text,
                                std::initializer_list<std::string_view> values);

}  // namespace qov
