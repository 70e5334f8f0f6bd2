#include "shell/Words.h"

#include <libintl.h>

#include <atomic>
#include <clocale>
#include <cstdlib>

#include "platform/Encoding.h"

namespace qov {

namespace {

constexpr const char* kDomain = "qov";

// gettext's state is the process's own; so is the language chosen for it.
std::atomic<Language> inUse{Language::English};
std::atomic<bool> catalogsBound{false};
struct SavedVariable {
  bool saved = false;
  std::optional<std::string> value;
};
SavedVariable savedLanguage;

template <typename Text>
std::basic_string<typename Text::value_type> filled(Text text, std::initializer_list<Text> values) {
  std::basic_string<typename Text::value_type> out;
  auto next = values.begin();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '}' && next != values.end()) {
      out += *next++;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string_view languageWord(Language language) {
  switch (language) {
    case Language::Automatic:
      break;
    case Language::Japanese:
      return "ja";
    case Language::English:
      return "en";
  }
  return "auto";
}

std::optional<Language> languageOfWord(std::string_view word) {
  for (const Language each : {Language::Automatic, Language::Japanese, Language::English}) {
    if (word == languageWord(each)) return each;
  }
  return std::nullopt;
}

Language resolveLanguage(Language setting, const Environment& environment) {
  if (setting != Language::Automatic) return setting;
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = environment(name);
    if (value == nullptr || value[0] == '\0') continue;
    return std::string_view(value).starts_with("ja") ? Language::Japanese : Language::English;
  }
  return Language::English;
}

Language resolveLanguage(Language setting) {
  // LANGUAGE as it came, before useCatalogs() set it.
  return resolveLanguage(setting, [](const char* name) -> const char* {
    if (savedLanguage.saved && std::string_view(name) == "LANGUAGE") {
      return savedLanguage.value ? savedLanguage.value->c_str() : nullptr;
    }
    return std::getenv(name);
  });
}

void useCatalogs(const std::filesystem::path& folder) {
  // A bare machine has no Japanese locale, and glibc reads LANGUAGE only when the messages'
  // locale is not "C": C.UTF-8, built into glibc, with LANGUAGE naming the catalog. English
  // needs no catalog; the words are written in it.
  if (std::setlocale(LC_MESSAGES, "C.UTF-8") == nullptr) return;
  if (!savedLanguage.saved) {
    const char* value = std::getenv("LANGUAGE");
    savedLanguage = {true, value ? std::optional<std::string>(value) : std::nullopt};
  }
  ::setenv("LANGUAGE", "ja", 1);
  // The C library's own messages (strerror) stay as they were in the "C" locale: English, in
  // ASCII.
  ::bindtextdomain("libc", "/nonexistent");
  ::bindtextdomain(kDomain, folder.c_str());
  ::bind_textdomain_codeset(kDomain, "UTF-8");
  catalogsBound = true;
}

void restoreEnvironment() {
  if (!savedLanguage.saved) return;
  if (savedLanguage.value) {
    ::setenv("LANGUAGE", savedLanguage.value->c_str(), 1);
  } else {
    ::unsetenv("LANGUAGE");
  }
}

void useLanguage(Language language) {
  inUse = resolveLanguage(language);
}

Language wordsLanguage() {
  return inUse;
}

std::string tr8(std::string_view english) {
  if (english.empty() || inUse != Language::Japanese || !catalogsBound) return std::string(english);
  const std::string id(english);
  return ::dgettext(kDomain, id.c_str());
}

std::u32string tr(std::u32string_view english) {
  if (english.empty() || inUse != Language::Japanese || !catalogsBound) {
    return std::u32string(english);
  }
  return fromUtf8(tr8(toUtf8(english)));
}

std::u32string fill(std::u32string_view text, std::initializer_list<std::u32string_view> values) {
  return filled(text, values);
}

std::string fill8(std::string_view text, std::initializer_list<std::string_view> values) {
  return filled(text, values);
}

}  // namespace qov
