#include "platform/Encoding.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>

namespace qov {
namespace {

constexpr const char* kUtf32 = std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";
constexpr char32_t kReplacement = U'\uFFFD';

struct IconvCloser {
  void operator()(iconv_t cd) const { iconv_close(cd); }
};
using Iconv = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Iconv openIconv(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return Iconv{};
  return Iconv{cd};
}

// Decodes CP932; on a byte that begins no character, either gives up (strict) or writes
// U+FFFD and goes on with the next byte.
std::optional<std::u32string> decode(iconv_t cd, std::string_view bytes, bool lenient) {
  std::u32string out;
  if (bytes.empty()) return out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  // Every CP932 character takes at least one byte, so the output never needs more characters.
  std::u32string buffer(bytes.size(), U'\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* outPtr = reinterpret_cast<char*>(buffer.data());
  std::size_t outLeft = buffer.size() * sizeof(char32_t);
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (!lenient || (errno != EILSEQ && errno != EINVAL)) return std::nullopt;
    const char32_t replacement = kReplacement;
    std::memcpy(outPtr, &replacement, sizeof replacement);
    outPtr += sizeof replacement;
    outLeft -= sizeof replacement;
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  const std::size_t written = (buffer.size() * sizeof(char32_t) - outLeft) / sizeof(char32_t);
  buffer.resize(written);
  return buffer;
}

std::optional<std::u32string> decode(std::string_view bytes, bool lenient) {
  if (bytes.empty()) return std::u32string();
  const Iconv cd = openIconv(kUtf32, "CP932");
  if (!cd) return std::nullopt;
  return decode(cd.get(), bytes, lenient);
}

bool isScalarValue(char32_t c) {
  return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

}  // namespace

std::optional<std::u32string> decodeCp932(std::string_view bytes) {
  return decode(bytes, false);
}

struct Cp932Decoder::Converter {
  Iconv cd = openIconv(kUtf32, "CP932");
};

Cp932Decoder::Cp932Decoder() : converter_(std::make_unique<Converter>()) {}
Cp932Decoder::~Cp932Decoder() = default;

std::optional<std::u32string> Cp932Decoder::decode(std::string_view bytes) {
  if (!converter_->cd) return std::nullopt;
  return qov::decode(converter_->cd.get(), bytes, false);
}

std::u32string decodeCp932Lenient(std::string_view bytes) {
  return decode(bytes, true).value_or(std::u32string(bytes.size(), kReplacement));
}

std::string encodeCp932(std::u32string_view text) {
  std::string out;
  if (text.empty()) return out;
  const Iconv cd = openIconv("CP932", kUtf32);
  if (!cd) return std::string(text.size(), '?');
  out.reserve(text.size() * 2);
  char buffer[8];
  for (const char32_t c : text) {
    if (!isScalarValue(c)) {
      out += '?';
      continue;
    }
    char* in = const_cast<char*>(reinterpret_cast<const char*>(&c));
    std::size_t inLeft = sizeof c;
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
      out += '?';
      iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
      continue;
    }
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
  }
  return out;
}

std::string toUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (!isScalarValue(c)) c = kReplacement;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u32string fromUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (b0 < 0x80) {
      out += b0;
      ++i;
      continue;
    } else if ((b0 & 0xE0) == 0xC0) {
      length = 2, c = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      length = 3, c = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      length = 4, c = b0 & 0x07, minimum = 0x10000;
    } else {
      out += kReplacement;
      ++i;
      continue;
    }
    std::size_t k = 1;
    for (; k < length && i + k < n; ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      if ((b & 0xC0) != 0x80) break;
      c = (c << 6) | (b & 0x3F);
    }
    if (k < length || c < minimum || !isScalarValue(c)) {
      out += kReplacement;
      i += k;  // skip the broken sequence up to the byte that broke it
      continue;
    }
    out += c;
    i += length;
  }
  return out;
}

}  // namespace qov
