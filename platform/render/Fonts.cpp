#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/Encoding.h"
#include "platform/render/Render.h"
#include "platform/render/SdlHandles.h"

namespace qov {
namespace {

// Families that stand in for the two faces, best first. IPAGothic and IPAMincho have the
// metrics of the originals; the others only keep the program usable where they are missing.
constexpr std::array<const char*, 6> kGothicFamilies = {
    "IPAGothic", "IPAexGothic",           "TakaoGothic",
    "VL Gothic", "Noto Sans Mono CJK JP", "Noto Sans CJK JP"};
constexpr std::array<const char*, 5> kMinchoFamilies = {
    "IPAMincho", "IPAexMincho", "TakaoMincho", "Noto Serif CJK JP", "Noto Sans Mono CJK JP"};

constexpr FcChar32 kHiraganaA = 0x3042;  // any font that has it can show the games' text

struct FoundFont {
  std::filesystem::path file;
  int index = 0;
};

// fontconfig answers any request with some font (DejaVu for an unknown name), so we list the
// fonts of each family by name and keep the first that covers Japanese.
std::optional<FoundFont> findFamily(FcConfig* config, const char* family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_CHARSET, FC_STYLE, nullptr);
  FcFontSet* set = FcFontList(config, pattern, objects);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  if (set == nullptr) return std::nullopt;

  // The listing comes in no fixed order: take regular styles first, then the shortest path
  // (a package's own file rather than a link to it elsewhere), so the choice is stable.
  std::vector<std::tuple<bool, std::size_t, std::string, int>> candidates;
  for (int i = 0; i < set->nfont; ++i) {
    FcPattern* font = set->fonts[i];
    FcChar8* file = nullptr;
    FcCharSet* chars = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) continue;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) != FcResultMatch) continue;
    if (!FcCharSetHasChar(chars, kHiraganaA)) continue;
    int index = 0;
    FcPatternGetInteger(font, FC_INDEX, 0, &index);
    FcChar8* style = nullptr;
    const bool regular = FcPatternGetString(font, FC_STYLE, 0, &style) == FcResultMatch &&
                         std::string(reinterpret_cast<const char*>(style)) == "Regular";
    const std::string path(reinterpret_cast<const char*>(file));
    candidates.emplace_back(!regular, path.size(), path, index);
  }
  FcFontSetDestroy(set);
  if (candidates.empty()) return std::nullopt;
  std::sort(candidates.begin(), candidates.end());
  return FoundFont{std::get<2>(candidates.front()), std::get<3>(candidates.front())};
}

template <std::size_t N>
std::optional<FoundFont> findFirst(FcConfig* config, const std::array<const char*, N>& families) {
  for (const char* family : families) {
    if (auto found = findFamily(config, family)) return found;
  }
  return std::nullopt;
}

struct FontCloser {
  void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
using TtfPtr = std::unique_ptr<TTF_Font, FontCloser>;

struct ConfigCloser {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};

// Fonts for the characters that the chosen font lacks (IPAGothic has no "∑", which the code
// page holds): per character, the best font that fontconfig knows to have it, in the manner
// of the face (sans-serif for Gothic, serif for Mincho). Answers are kept.
class FallbackFinder {
 public:
  explicit FallbackFinder(std::unique_ptr<FcConfig, ConfigCloser> config)
      : config_(std::move(config)) {}

  [[nodiscard]] const std::optional<FoundFont>& find(char32_t c, FontFace face) {
    const auto key = std::make_pair(c, face);
    if (const auto known = cache_.find(key); known != cache_.end()) return known->second;
    return cache_.emplace(key, search(c, face)).first->second;
  }

 private:
  [[nodiscard]] std::optional<FoundFont> search(char32_t c, FontFace face) const {
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* wanted = FcCharSetCreate();
    FcCharSetAddChar(wanted, static_cast<FcChar32>(c));
    FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    FcCharSetDestroy(wanted);
    const char* family = face == FontFace::Gothic ? "sans-serif" : "serif";
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config_.get(), pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(config_.get(), pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    if (sorted == nullptr) return std::nullopt;
    // The sort puts fonts that cover the character first, but does not leave out the others.
    std::optional<FoundFont> found;
    for (int i = 0; i < sorted->nfont && !found; ++i) {
      FcChar8* file = nullptr;
      FcCharSet* chars = nullptr;
      if (FcPatternGetString(sorted->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
      if (FcPatternGetCharSet(sorted->fonts[i], FC_CHARSET, 0, &chars) != FcResultMatch) continue;
      if (!FcCharSetHasChar(chars, static_cast<FcChar32>(c))) continue;
      int index = 0;
      FcPatternGetInteger(sorted->fonts[i], FC_INDEX, 0, &index);
      found = FoundFont{reinterpret_cast<const char*>(file), index};
    }
    FcFontSetDestroy(sorted);
    return found;
  }

  std::unique_ptr<FcConfig, ConfigCloser> config_;
  std::map<std::pair<char32_t, FontFace>, std::optional<FoundFont>> cache_;
};

// Opens a font at `size` (points times four at 24 dpi, so quarter points stay exact), drawn
// for crisp pixels: monochrome hinting, no kerning.
TtfPtr openFont(const FoundFont& found, int size, bool bold) {
  TtfPtr ttf(TTF_OpenFontIndexDPI(found.file.c_str(), size, found.index, 24, 24));
  if (!ttf) return ttf;
  TTF_SetFontHinting(ttf.get(), TTF_HINTING_MONO);
  TTF_SetFontKerning(ttf.get(), 0);
  TTF_SetFontStyle(ttf.get(), bold ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL);
  return ttf;
}

// SDL_ttf from TTF_Init to TTF_Quit; every font keeps it alive, since a font may outlive the
// library that made it.
struct TtfSession {
  TtfSession() {
    if (TTF_Init() != 0) throw FontError(std::string("SDL_ttf: ") + TTF_GetError());
  }
  ~TtfSession() { TTF_Quit(); }
  TtfSession(const TtfSession&) = delete;
  TtfSession& operator=(const TtfSession&) = delete;
};

// Where a run of text is drawn from: the font's own glyphs, or one character of a fallback
// font, standing in a full-width cell.
struct Run {
  TTF_Font* font;
  std::u32string_view text;
  int pen;    // left edge in the mask
  int width;  // what the run advances
};

// Single characters drawn are kept, as the message window writes one at a time; the kept ones
// are dropped when there are this many.
constexpr std::size_t kKeptMasks = 4096;

class TtfFont final : public Font {
 public:
  TtfFont(std::shared_ptr<TtfSession> session, TtfPtr font, int lineHeight,
          std::shared_ptr<FallbackFinder> fallback, FontRequest request, int size)
      : session_(std::move(session)),
        font_(std::move(font)),
        lineHeight_(lineHeight),
        fallback_(std::move(fallback)),
        request_(request),
        size_(size) {
    // The baseline where the font's descent still fits into the line.
    const int descent = std::max(1, -TTF_FontDescent(font_.get()));
    baseline_ = std::clamp(TTF_FontAscent(font_.get()), 1, std::max(1, lineHeight_ - descent));
    fullWidth_ = ownAdvance(font_.get(), U'\u3000');
  }

  [[nodiscard]] int lineHeight() const override { return lineHeight_; }

  [[nodiscard]] int measure(std::u32string_view text) const override {
    int width = 0;
    for (const char32_t c : text) width += advance(c);
    return width;
  }

  [[nodiscard]] Mask render(std::u32string_view text) const override {
    if (text.size() != 1) return draw(text);
    if (const auto kept = masks_.find(text.front()); kept != masks_.end()) return kept->second;
    if (masks_.size() >= kKeptMasks) masks_.clear();
    return masks_.emplace(text.front(), draw(text)).first->second;
  }

 private:
  [[nodiscard]] Mask draw(std::u32string_view text) const {
    Mask mask;
    mask.width = measure(text);
    mask.height = lineHeight_;
    mask.alpha.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height),
                      0);
    if (mask.width == 0) return mask;
    // Runs of the font's own glyphs are drawn as one piece, each fallback glyph by itself.
    int pen = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      TTF_Font* other = i < text.size() ? fallbackFor(text[i]) : nullptr;
      if (i < text.size() && other == nullptr) continue;
      const std::u32string_view own = text.substr(start, i - start);
      const int ownWidth = measure(own);
      drawRun(mask, Run{font_.get(), own, pen, ownWidth});
      pen += ownWidth;
      if (other != nullptr) {
        drawRun(mask, Run{other, text.substr(i, 1), pen, fullWidth_});
        pen += fullWidth_;
      }
      start = i + 1;
    }
    return mask;
  }

  // How far a glyph is raised so that it is seen: one whose ink lies wholly below the line
  // (the low line "_" and "＿" of 13-pixel fonts, whose baseline is the line's last row but
  // one) is raised until its lowest row is the line's last. Glyphs that reach into the line
  // stay where the font puts them.
  [[nodiscard]] int liftOf(TTF_Font* font, char32_t c) const {
    int minx = 0, maxx = 0, miny = 0, maxy = 0, adv = 0;
    if (TTF_GlyphMetrics32(font, static_cast<Uint32>(c), &minx, &maxx, &miny, &maxy, &adv) != 0 ||
        maxy <= miny) {
      return 0;
    }
    const int top = baseline_ - maxy;  // the first row of ink in the line
    return top >= lineHeight_ ? baseline_ - miny - lineHeight_ : 0;
  }

  static int ownAdvance(TTF_Font* font, char32_t c) {
    int minx = 0, maxx = 0, miny = 0, maxy = 0, adv = 0;
    if (TTF_GlyphMetrics32(font, static_cast<Uint32>(c), &minx, &maxx, &miny, &maxy, &adv) != 0) {
      return 0;
    }
    return adv;
  }

  // Every character the code page holds that the font lacks is a full-width one.
  [[nodiscard]] int advance(char32_t c) const {
    return fallbackFor(c) != nullptr ? fullWidth_ : ownAdvance(font_.get(), c);
  }

  // The font that draws `c` in place of this one; nullptr when this one has it (or no font
  // has it, and this one's missing-glyph box stands for it).
  [[nodiscard]] TTF_Font* fallbackFor(char32_t c) const {
    if (TTF_GlyphIsProvided32(font_.get(), static_cast<Uint32>(c)) != 0) return nullptr;
    if (const auto known = glyphFonts_.find(c); known != glyphFonts_.end()) return known->second;
    TTF_Font* font = nullptr;
    if (const std::optional<FoundFont>& found = fallback_->find(c, request_.face)) {
      const std::string key = found->file.string() + "#" + std::to_string(found->index);
      auto open = openFallbacks_.find(key);
      if (open == openFallbacks_.end()) {
        open = openFallbacks_.emplace(key, openFont(*found, size_, request_.bold)).first;
      }
      font = open->second.get();
    }
    glyphFonts_.emplace(c, font);
    return font;
  }

  // The run with a blank of the same width in place of each glyph drawn wholly below the
  // line, and how far those glyphs are raised; nothing when the run has none.
  struct Lowered {
    std::u32string blanked;
    int lift = 0;
  };
  [[nodiscard]] std::optional<Lowered> lowered(const Run& run) const {
    Lowered found{std::u32string(run.text)};
    for (char32_t& c : found.blanked) {
      const int lift = liftOf(run.font, c);
      if (lift == 0) continue;
      const int width = ownAdvance(run.font, c);
      for (const char32_t blank : {U' ', U'\u3000'}) {
        if (ownAdvance(run.font, blank) != width) continue;
        c = blank;
        found.lift = std::max(found.lift, lift);
        break;
      }
    }
    if (found.lift == 0) return std::nullopt;
    return found;
  }

  // Draws a run at its pen position, its baseline on the line's. SDL_ttf shifts the drawing
  // right or down when a glyph reaches left of the pen's start or above the ascent; the glyph
  // metrics tell by how much. A fallback glyph is centred in its cell. Glyphs that would fall
  // wholly below the line are drawn raised, found as what the run draws and the run with
  // blanks in their places does not: every other glyph stays where SDL_ttf puts it.
  void drawRun(Mask& mask, const Run& run) const {
    if (run.text.empty()) return;
    int pen = 0;
    int left = 0;
    int top = 0;
    const int ascent = TTF_FontAscent(run.font);
    for (const char32_t c : run.text) {
      int minx = 0, maxx = 0, miny = 0, maxy = 0, adv = 0;
      if (TTF_GlyphMetrics32(run.font, static_cast<Uint32>(c), &minx, &maxx, &miny, &maxy, &adv) ==
          0) {
        left = std::min(left, pen + minx);
        top = std::max(top, maxy - ascent);
        pen += adv;
      }
    }
    const int at = run.font == font_.get() ? run.pen : run.pen + (run.width - pen) / 2;

    const SurfacePtr surface = renderSolid(run.font, run.text);
    if (!surface || SDL_LockSurface(surface.get()) != 0) return;
    const std::optional<Lowered> low = lowered(run);
    SurfacePtr blanked = low ? renderSolid(run.font, low->blanked) : nullptr;
    if (blanked && SDL_LockSurface(blanked.get()) != 0) blanked.reset();
    // A "Solid" surface is 8-bit with index 0 for the background.
    const auto ink = [](const SDL_Surface* s, int sx, int sy) {
      return sx < s->w && sy < s->h &&
             static_cast<const std::uint8_t*>(
                 s->pixels)[static_cast<std::size_t>(sy) * static_cast<std::size_t>(s->pitch) +
                            static_cast<std::size_t>(sx)] != 0;
    };
    const int x0 = -left - at;
    const int y0 = top + (ascent - baseline_);
    const int firstX = std::max(0, at + left);
    for (int sy = 0; sy < surface->h; ++sy) {
      for (int x = firstX; x < mask.width && x + x0 < surface->w; ++x) {
        const int sx = x + x0;
        if (!ink(surface.get(), sx, sy)) continue;
        int y = sy - y0;
        if (low && !(blanked && ink(blanked.get(), sx, sy))) y -= low->lift;
        if (y < 0 || y >= mask.height) continue;
        mask.alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                   static_cast<std::size_t>(x)] = 255;
      }
    }
    if (blanked) SDL_UnlockSurface(blanked.get());
    SDL_UnlockSurface(surface.get());
  }

  static SurfacePtr renderSolid(TTF_Font* font, std::u32string_view text) {
    const std::string utf8 = toUtf8(text);
    return SurfacePtr(TTF_RenderUTF8_Solid(font, utf8.c_str(), SDL_Color{255, 255, 255, 255}));
  }

  std::shared_ptr<TtfSession> session_;  // destroyed after the fonts
  TtfPtr font_;
  int lineHeight_ = 0;
  int baseline_ = 0;
  int fullWidth_ = 0;
  std::shared_ptr<FallbackFinder> fallback_;
  FontRequest request_;
  int size_ = 0;
  mutable std::unordered_map<char32_t, TTF_Font*> glyphFonts_;
  mutable std::map<std::string, TtfPtr> openFallbacks_;
  mutable std::unordered_map<char32_t, Mask> masks_;
};

}  // namespace

struct FontLibrary::Impl {
  std::shared_ptr<TtfSession> ttf;
  std::array<FoundFont, 2> files;
  std::shared_ptr<FallbackFinder> fallback;
  std::vector<std::pair<FontRequest, std::shared_ptr<const Font>>> cache;
};

FontLibrary::FontLibrary() : impl_(std::make_unique<Impl>()) {
  // A configuration of our own: fontconfig's shared default one is never freed.
  std::unique_ptr<FcConfig, ConfigCloser> config(FcInitLoadConfigAndFonts());
  if (!config) throw FontError("fontconfig could not be initialised");
  const auto gothic = findFirst(config.get(), kGothicFamilies);
  if (!gothic) {
    throw FontError(
        "No Japanese font found: install the IPAGothic and IPAMincho fonts "
        "(Debian: fonts-ipafont-gothic fonts-ipafont-mincho)");
  }
  // Without a Mincho face the Gothic one serves: the text stays legible.
  const auto mincho = findFirst(config.get(), kMinchoFamilies);
  impl_->files = {*gothic, mincho ? *mincho : *gothic};
  impl_->fallback = std::make_shared<FallbackFinder>(std::move(config));
  impl_->ttf = std::make_shared<TtfSession>();
}

FontLibrary::~FontLibrary() = default;

const std::filesystem::path& FontLibrary::file(FontFace face) const {
  return impl_->files[face == FontFace::Gothic ? 0 : 1].file;
}

std::shared_ptr<const Font> FontLibrary::font(const FontRequest& wanted) {
  for (const auto& [key, font] : impl_->cache) {
    if (key == wanted) return font;
  }
  const int size = std::max(1, static_cast<int>(std::lround(wanted.points * 4.0)));
  const FoundFont& found = impl_->files[wanted.face == FontFace::Gothic ? 0 : 1];
  TtfPtr ttf = openFont(found, size, wanted.bold);
  if (!ttf) {
    throw FontError("Cannot open the font " + found.file.string() + ": " + TTF_GetError());
  }
  // The line is the em in whole pixels, as the system computes a font's height from its
  // points at 96 dpi (13 pixels for both 9.75 and 10 points).
  const int lineHeight = std::max(1, static_cast<int>(std::lround(size / 3.0)));
  auto font = std::make_shared<const TtfFont>(impl_->ttf, std::move(ttf), lineHeight,
                                              impl_->fallback, wanted, size);
  impl_->cache.emplace_back(wanted, font);
  return font;
}

}  // namespace qov
