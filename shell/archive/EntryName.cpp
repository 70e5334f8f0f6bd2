#include "shell/archive/EntryName.h"

#include <optional>
#include <vector>

#include "platform/Files.h"

namespace qov {
namespace {

// Linux refuses longer names; an entry with one is refused alone instead of failing the archive.
constexpr std::size_t kMaxNameBytes = 255;

std::vector<std::string_view> split(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> parts;
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t end = std::min(text.find_first_of(separators, at), text.size());
    parts.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

bool isDriveLetter(std::string_view part) {
  return part.size() == 2 && part[1] == ':' &&
         ((part[0] >= 'A' && part[0] <= 'Z') || (part[0] >= 'a' && part[0] <= 'z'));
}

}  // namespace

EntryName readEntryName(std::string_view bytes, Cp932Decoder& cp932) {
  EntryName name;
  // 0xFF is neither a CP932 byte nor a UTF-8 one, so it can only be LHA's separator. Each piece
  // is read on its own: a CP932 piece keeps a 0x5C that ends a character inside that character,
  // and only the "\" and "/" that stand alone separate.
  std::vector<std::string> parts;
  for (const std::string_view piece : split(bytes, "\xFF")) {
    std::u32string text;
    if (const std::optional<NameReading> reading = readName(piece, cp932)) {
      text = reading->text;
    } else {
      text = decodeCp932Lenient(piece);
      name.renamed = true;
    }
    const std::string utf8 = toUtf8(text);
    for (const std::string_view part : split(utf8, "/\\")) parts.emplace_back(part);
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) name.shown += '/';
    name.shown += parts[i];
  }
  if (bytes.empty()) {
    name.refusal = "it has no name";
    return name;
  }
  if (parts.front().empty() || isDriveLetter(parts.front())) {
    name.refusal = "an absolute name";
    return name;
  }
  for (const std::string& part : parts) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      name.relative.clear();
      name.refusal = "\"..\" would leave the folder";
      return name;
    }
    if (part.size() > kMaxNameBytes) {
      name.relative.clear();
      name.refusal = "a name longer than 255 bytes";
      return name;
    }
    name.relative /= part;
  }
  return name;
}

}  // namespace qov
