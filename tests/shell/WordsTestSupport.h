#pragma once

#include "shell/Words.h"

namespace qov::test {

// The player's words in `language` while it lives; the goldens of the shell are Japanese, which
// every test of the shell starts in (words_test.cpp), whatever the machine's locale.
class WordsIn {
 public:
  explicit WordsIn(Language language) {
    useCatalogs(QOV_LOCALE_DIR);
    useLanguage(language);
  }
  ~WordsIn() { useLanguage(Language::Japanese); }
  WordsIn(const WordsIn&) = delete;
  WordsIn& operator=(const WordsIn&) = delete;
};

}  // namespace qov::test
