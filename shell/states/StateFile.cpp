#include "shell/states/StateFile.h"

#include <xxhash.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <system_error>
#include <utility>
#include <vector>

#include "engine/ScriptStore.h"
#include "platform/Encoding.h"

namespace qov {

namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

constexpr std::string_view kFormat = "qov-state";
constexpr int kVersion = 1;
constexpr std::size_t kStoreLines = 2001;  // lines 0 to 2000
constexpr std::size_t kMostTextLength = 8192;
constexpr std::size_t kSpeakerNames = 16;

constexpr std::string_view kWaitNames[] = {"page", "menu", "items"};

// ---- Writing ----

std::string utf8(std::u32string_view text) {
  return toUtf8(text);
}

template <typename Array>
Json texts(const Array& values) {
  Json out = Json::array();
  for (const std::u32string& v : values) out.push_back(utf8(v));
  return out;
}

template <typename Array>
Json numbers(const Array& values) {
  Json out = Json::array();
  for (const auto v : values) out.push_back(v);
  return out;
}

std::string hex(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = kDigits[value & 15];
  return out;
}

Json memoryJson(const GameSnapshot::Memory& m) {
  return Json{{"vars", numbers(m.vars)},
              {"itemCounts", numbers(m.itemCounts)},
              {"itemNames", texts(m.itemNames)}};
}

Json writingJson(const GameSnapshot::Writing& w) {
  return Json{{"speakerNames", texts(w.speakerNames)},
              {"charDelay", w.charDelay},
              {"textColor", w.textColor},
              {"foreColor", w.foreColor}};
}

Json snapshotJson(const GameSnapshot& s) {
  Json lines = Json::array();
  for (std::size_t i = 0; i < kStoreLines; ++i) {
    lines.push_back(s.lines && i < s.lines->size() ? utf8((*s.lines)[i]) : std::string());
  }
  Json menuText = Json::array();
  for (const menus::Entries& entries : s.menuText) menuText.push_back(texts(entries));
  Json message = nullptr;
  if (s.message) {
    message = Json{{"text", utf8(s.message->text)},
                   {"writing", writingJson(s.message->writing)},
                   {"memory", memoryJson(s.message->memory)},
                   {"itemSel", s.message->itemSel},
                   {"itemWait", s.message->itemWait}};
  }
  return Json{{"lines", std::move(lines)},
              {"scriptFile", s.scriptFile},
              {"lineNo", s.lineNo},
              {"caseEndLine", s.caseEndLine},
              {"returnLine", s.returnLine},
              {"memory", memoryJson(s.memory)},
              {"menuText", std::move(menuText)},
              {"menuShown", s.menuShown},
              {"header", utf8(s.header)},
              {"entries", texts(s.entries)},
              {"writing", writingJson(s.writing)},
              {"message", std::move(message)},
              {"itemSel", s.itemSel},
              {"itemWait", s.itemWait},
              {"picture", utf8(s.picture)},
              {"pictureHash", hex(s.pictureHash)},
              {"musicPiece", utf8(s.musicPiece)},
              {"musicMode", s.musicMode},
              {"loopingSound", utf8(s.loopingSound)},
              {"loopingSoundFlags", s.loopingSoundFlags},
              {"wait", kWaitNames[static_cast<std::size_t>(s.wait)]},
              {"page", s.page},
              {"menu", s.menu},
              {"menuPage", s.menuPage},
              {"menuLabel", s.menuLabel}};
}

// ---- Reading: each field looked at before it is used ----

struct Bad {
  std::string why;
};

[[noreturn]] void bad(const std::string& where, std::string_view what) {
  throw Bad{where + ": " + std::string(what)};
}

const Json& field(const Json& object, const std::string& where, const char* name) {
  const auto at = object.find(name);
  if (at == object.end()) bad(where, std::string("no field \"") + name + "\"");
  return *at;
}

std::string join(const std::string& where, std::string_view name) {
  return where.empty() ? std::string(name) : where + "." + std::string(name);
}

const Json& object(const Json& j, const std::string& where) {
  if (!j.is_object()) bad(where, "not an object");
  return j;
}

const Json& array(const Json& j, const std::string& where, std::size_t length) {
  if (!j.is_array()) bad(where, "not a list");
  if (j.size() != length) bad(where, "not " + std::to_string(length) + " entries");
  return j;
}

std::int64_t integer(const Json& j, const std::string& where, std::int64_t low, std::int64_t high) {
  if (!j.is_number_integer()) bad(where, "not a whole number");
  const bool tooLarge =
      j.is_number_unsigned() && j.get<std::uint64_t>() > static_cast<std::uint64_t>(high);
  const std::int64_t v = tooLarge ? high : j.get<std::int64_t>();
  if (tooLarge || v < low || v > high) {
    bad(where, "not from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return v;
}

std::int16_t int16(const Json& j, const std::string& where) {
  return static_cast<std::int16_t>(integer(j, where, std::numeric_limits<std::int16_t>::min(),
                                           std::numeric_limits<std::int16_t>::max()));
}

// The parser has refused ill-formed UTF-8 already.
std::u32string text(const Json& j, const std::string& where, std::size_t most = kMostTextLength) {
  if (!j.is_string()) bad(where, "not a text");
  std::u32string out = fromUtf8(j.get_ref<const std::string&>());
  if (out.size() > most) bad(where, "longer than " + std::to_string(most) + " characters");
  return out;
}

template <std::size_t N>
std::array<std::int16_t, N> int16s(const Json& j, const std::string& where) {
  array(j, where, N);
  std::array<std::int16_t, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = int16(j[i], where + "[" + std::to_string(i) + "]");
  return out;
}

template <std::size_t N>
std::array<std::u32string, N> texts(const Json& j, const std::string& where) {
  array(j, where, N);
  std::array<std::u32string, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = text(j[i], where + "[" + std::to_string(i) + "]");
  return out;
}

GameSnapshot::Memory readMemory(const Json& j, const std::string& where) {
  object(j, where);
  GameSnapshot::Memory m;
  m.vars = int16s<Variables::kVarCount>(field(j, where, "vars"), join(where, "vars"));
  m.itemCounts =
      int16s<Variables::kItemCount>(field(j, where, "itemCounts"), join(where, "itemCounts"));
  m.itemNames =
      texts<Variables::kItemCount>(field(j, where, "itemNames"), join(where, "itemNames"));
  return m;
}

GameSnapshot::Writing readWriting(const Json& j, const std::string& where) {
  object(j, where);
  GameSnapshot::Writing w;
  w.speakerNames =
      texts<kSpeakerNames>(field(j, where, "speakerNames"), join(where, "speakerNames"));
  w.charDelay = int16(field(j, where, "charDelay"), join(where, "charDelay"));
  w.textColor = int16(field(j, where, "textColor"), join(where, "textColor"));
  w.foreColor = static_cast<Argb>(
      integer(field(j, where, "foreColor"), join(where, "foreColor"), 0, 0xFFFFFFFFll));
  return w;
}

std::uint64_t readHex(const Json& j, const std::string& where) {
  const std::u32string digits = text(j, where, 16);
  if (digits.size() != 16) bad(where, "not 16 hexadecimal digits");
  std::uint64_t v = 0;
  for (const char32_t c : digits) {
    int d = -1;
    if (c >= U'0' && c <= U'9') d = static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f') d = static_cast<int>(c - U'a') + 10;
    if (d < 0) bad(where, "not 16 hexadecimal digits");
    v = v << 4 | static_cast<std::uint64_t>(d);
  }
  return v;
}

// A name inside the game folder: relative, without "..".
std::string readScriptFile(const Json& j, const std::string& where) {
  const std::string name = toUtf8(text(j, where, 255));
  const fs::path path(name);
  if (path.empty() || path.is_absolute()) bad(where, "not a name inside the game folder");
  for (const fs::path& part : path) {
    if (part == "..") bad(where, "not a name inside the game folder");
  }
  return name;
}

GameSnapshot readSnapshot(const Json& j, const std::string& where) {
  object(j, where);
  GameSnapshot s;
  const auto at = [&](const char* name) -> const Json& { return field(j, where, name); };
  const auto to = [&](std::string_view name) { return join(where, name); };
  {
    const Json& lines = array(at("lines"), to("lines"), kStoreLines);
    auto store = std::make_shared<std::vector<std::u32string>>();
    store->reserve(kStoreLines);
    for (std::size_t i = 0; i < kStoreLines; ++i) {
      store->push_back(text(lines[i], to("lines") + "[" + std::to_string(i) + "]"));
    }
    s.lines = std::move(store);
  }
  s.scriptFile = readScriptFile(at("scriptFile"), to("scriptFile"));
  s.lineNo = static_cast<std::int16_t>(integer(at("lineNo"), to("lineNo"), 0, 2000));
  s.caseEndLine = int16(at("caseEndLine"), to("caseEndLine"));
  s.returnLine = int16(at("returnLine"), to("returnLine"));
  s.memory = readMemory(at("memory"), to("memory"));
  const Json& menuText = array(at("menuText"), to("menuText"), menus::kMenuCount);
  for (std::size_t i = 0; i < s.menuText.size(); ++i) {
    s.menuText[i] =
        texts<menus::kEntryCount>(menuText[i], to("menuText") + "[" + std::to_string(i) + "]");
  }
  s.menuShown = int16(at("menuShown"), to("menuShown"));
  s.header = text(at("header"), to("header"));
  s.entries = texts<menus::kEntryCount>(at("entries"), to("entries"));
  s.writing = readWriting(at("writing"), to("writing"));
  if (const Json& m = at("message"); !m.is_null()) {
    const std::string mw = to("message");
    object(m, mw);
    auto message = std::make_shared<GameSnapshot::Message>();
    message->text = text(field(m, mw, "text"), join(mw, "text"));
    message->writing = readWriting(field(m, mw, "writing"), join(mw, "writing"));
    message->memory = readMemory(field(m, mw, "memory"), join(mw, "memory"));
    message->itemSel = int16(field(m, mw, "itemSel"), join(mw, "itemSel"));
    message->itemWait = int16(field(m, mw, "itemWait"), join(mw, "itemWait"));
    s.message = std::move(message);
  }
  s.itemSel = int16(at("itemSel"), to("itemSel"));
  s.itemWait = int16(at("itemWait"), to("itemWait"));
  s.picture = text(at("picture"), to("picture"), 255);
  s.pictureHash = readHex(at("pictureHash"), to("pictureHash"));
  s.musicPiece = text(at("musicPiece"), to("musicPiece"), 255);
  s.musicMode = int16(at("musicMode"), to("musicMode"));
  s.loopingSound = text(at("loopingSound"), to("loopingSound"), 255);
  s.loopingSoundFlags = int16(at("loopingSoundFlags"), to("loopingSoundFlags"));
  const std::string wait = toUtf8(text(at("wait"), to("wait"), 8));
  const auto named = std::find(std::begin(kWaitNames), std::end(kWaitNames), wait);
  if (named == std::end(kWaitNames)) bad(to("wait"), "not page, menu or items");
  s.wait = static_cast<GameSnapshot::Wait>(named - std::begin(kWaitNames));
  s.page = static_cast<std::uint32_t>(integer(at("page"), to("page"), 0, 0xFFFFFFFFll));
  s.menu = int16(at("menu"), to("menu"));
  s.menuPage = int16(at("menuPage"), to("menuPage"));
  s.menuLabel = int16(at("menuLabel"), to("menuLabel"));
  return s;
}

constexpr std::string_view kBase64 =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string toBase64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t n = static_cast<std::uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size())
      n |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i + 1])) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<std::uint8_t>(bytes[i + 2]);
    out += kBase64[n >> 18 & 63];
    out += kBase64[n >> 12 & 63];
    out += i + 1 < bytes.size() ? kBase64[n >> 6 & 63] : '=';
    out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
  }
  return out;
}

bool fromBase64(std::string_view text, std::string& bytes) {
  bytes.clear();
  if (text.size() % 4 != 0) return false;
  for (std::size_t i = 0; i < text.size(); i += 4) {
    std::uint32_t n = 0;
    int pad = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const char c = text[i + k];
      const bool last = i + 4 == text.size();
      if (c == '=' && last && k >= 2 && (k == 3 || text[i + 3] == '=')) {
        ++pad;
        n <<= 6;
        continue;
      }
      const std::size_t d = kBase64.find(c);
      if (d == std::string_view::npos || pad > 0) return false;
      n = n << 6 | static_cast<std::uint32_t>(d);
    }
    bytes += static_cast<char>(n >> 16 & 0xFF);
    if (pad < 2) bytes += static_cast<char>(n >> 8 & 0xFF);
    if (pad < 1) bytes += static_cast<char>(n & 0xFF);
  }
  return true;
}

std::string encodeState(const SavedState& state) {
  Json j{{"format", kFormat},
         {"version", kVersion},
         {"title", state.title},
         {"scripts", state.scriptsHash},
         {"taken", state.takenAt},
         {"pageStart", utf8(state.pageStart.substr(0, kPageStartLength))},
         {"thumbnail", toBase64(state.thumbnailPng)},
         {"game", snapshotJson(state.snapshot)}};
  // Texts that are not valid Unicode are written as U+FFFD rather than refused.
  std::string bytes = j.dump(-1, ' ', false, Json::error_handler_t::replace);
  if (bytes.size() <= kMostStateBytes) return bytes;
  j["thumbnail"] = "";
  bytes = j.dump(-1, ' ', false, Json::error_handler_t::replace);
  return bytes.size() <= kMostStateBytes ? bytes : std::string();
}

std::variant<SavedState, std::string> decodeState(std::string_view bytes) {
  if (bytes.size() > kMostStateBytes) return std::string("larger than 200 KB");
  const Json j = Json::parse(bytes.begin(), bytes.end(), nullptr, false);
  if (j.is_discarded()) return std::string("not JSON (damaged or cut short)");
  try {
    object(j, "file");
    const Json& format = field(j, "file", "format");
    if (!format.is_string() || format.get_ref<const std::string&>() != kFormat) {
      return std::string("not a save state of qov");
    }
    const std::int64_t version = integer(field(j, "", "version"), "version", 0, 1'000'000);
    if (version != kVersion) {
      return "a save state of version " + std::to_string(version) + ", this qov reads version " +
             std::to_string(kVersion);
    }
    SavedState state;
    state.title = toUtf8(text(field(j, "", "title"), "title", 255));
    state.scriptsHash = toUtf8(text(field(j, "", "scripts"), "scripts", 16));
    state.takenAt = integer(field(j, "", "taken"), "taken", 0, std::int64_t{1} << 40);
    state.pageStart = text(field(j, "", "pageStart"), "pageStart", kPageStartLength);
    const std::u32string thumbnail = text(field(j, "", "thumbnail"), "thumbnail", kMostStateBytes);
    if (!fromBase64(toUtf8(thumbnail), state.thumbnailPng)) bad("thumbnail", "not base64");
    state.snapshot = readSnapshot(field(j, "", "game"), "game");
    return state;
  } catch (const Bad& b) {
    return b.why;
  }
}

std::variant<SavedState, std::string> readStateFile(const fs::path& file) {
  const auto named = [&file](const std::string& why) -> std::variant<SavedState, std::string> {
    return file.string() + ": " + why;
  };
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(file, ec);
  if (ec) return named(ec == std::errc::no_such_file_or_directory ? "no such file" : ec.message());
  if (size > kMostStateBytes) return named("larger than 200 KB");
  std::ifstream in(file, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) return named("cannot be read");
  std::variant<SavedState, std::string> state = decodeState(bytes);
  if (const std::string* why = std::get_if<std::string>(&state)) return named(*why);
  return state;
}

std::string scriptsHash(const fs::path& gameDir) {
  constexpr int kDeepest = 4;
  std::vector<std::pair<std::string, fs::path>> scripts;
  std::error_code ec;
  for (fs::recursive_directory_iterator
           it(gameDir, fs::directory_options::skip_permission_denied, ec),
       end;
       !ec && it != end; it.increment(ec)) {
    if (it.depth() >= kDeepest) it.disable_recursion_pending();
    std::string ext = it->path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    std::error_code fileEc;
    if (ext == ".qov" && it->is_regular_file(fileEc)) {
      scripts.emplace_back(it->path().lexically_relative(gameDir).generic_string(), it->path());
    }
  }
  std::sort(scripts.begin(), scripts.end());
  const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                       &XXH3_freeState);
  XXH3_64bits_reset(state.get());
  std::vector<char> buffer(1 << 16);
  for (const auto& [name, path] : scripts) {
    std::error_code sizeEc;
    const std::string sized = name + '\0' + std::to_string(fs::file_size(path, sizeEc)) + '\0';
    XXH3_64bits_update(state.get(), sized.data(), sized.size());
    std::ifstream in(path, std::ios::binary);
    while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
      XXH3_64bits_update(state.get(), buffer.data(), static_cast<std::size_t>(in.gcount()));
    }
  }
  return hex(XXH3_64bits_digest(state.get()));
}

}  // namespace qov
