#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qov {

// Shift_JIS (code page 932) through glibc iconv. nullopt when the bytes are not valid CP932.
[[nodiscard]] std::optional<std::u32string> decodeCp932(std::string_view bytes);
// The same for many short strings: one converter serves them all.
class Cp932Decoder {
 public:
  Cp932Decoder();
  ~Cp932Decoder();
  Cp932Decoder(const Cp932Decoder&) = delete;
  Cp932Decoder& operator=(const Cp932Decoder&) = delete;
  [[nodiscard]] std::optional<std::u32string> decode(std::string_view bytes);

 private:
  struct Converter;
  std::unique_ptr<Converter> converter_;
};
// The same as decodeCp932, but every byte that begins no valid character becomes U+FFFD (for
// showing a bad line to the author).
[[nodiscard]] std::u32string decodeCp932Lenient(std::string_view bytes);
// Characters that CP932 cannot hold become "?".
[[nodiscard]] std::string encodeCp932(std::u32string_view text);

[[nodiscard]] std::string toUtf8(std::u32string_view text);
// Invalid UTF-8 becomes U+FFFD.
[[nodiscard]] std::u32string fromUtf8(std::string_view text);

}  // namespace qov
