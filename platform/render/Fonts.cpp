#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
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

class TtfFont final : public Font {
 public:
  TtfFont(std::shared_ptr<TtfSession> session, std::unique_ptr<TTF_Font, FontCloser> font,
          int lineHeight)
      : session_(std::move(session)), font_(std::move(font)), lineHeight_(lineHeight) {
    // The baseline where the font's descent still fits into the line.
    const int descent = std::max(1, -TTF_FontDescent(font_.get()));
    baseline_ = std::clamp(TTF_FontAscent(font_.get()), 1, std::max(1, lineHeight_ - descent));
  }

  [[nodiscard]] int lineHeight() const override { return lineHeight_; }

  [[nodiscard]] int measure(std::u32string_view text) const override {
    int width = 0;
    for (const char32_t c : text) width += advance(c);
    return width;
  }

  [[nodiscard]] Mask render(std::u32string_view text) const override {
    Mask mask;
    mask.width = measure(text);
    mask.height = lineHeight_;
    mask.alpha.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height),
                      0);
    if (mask.width == 0) return mask;

    // SDL_ttf shifts the drawing right or down when a glyph reaches left of the pen's start or
    // above the ascent; the glyph metrics tell by how much.
    int pen = 0;
    int left = 0;
    int top = 0;
    const int ascent = TTF_FontAscent(font_.get());
    for (const char32_t c : text) {
      int minx = 0, maxx = 0, miny = 0, maxy = 0, adv = 0;
      if (TTF_GlyphMetrics32(font_.get(), static_cast<Uint32>(c), &minx, &maxx, &miny, &maxy,
                             &adv) == 0) {
        left = std::min(left, pen + minx);
        top = std::max(top, maxy - ascent);
        pen += adv;
      }
    }

    const std::string utf8 = toUtf8(text);
    const SurfacePtr surface(
        TTF_RenderUTF8_Solid(font_.get(), utf8.c_str(), SDL_Color{255, 255, 255, 255}));
    if (!surface || SDL_LockSurface(surface.get()) != 0) return mask;
    // A "Solid" surface is 8-bit with index 0 for the background.
    const int x0 = -left;
    const int y0 = top + (ascent - baseline_);
    const auto* pixels = static_cast<const std::uint8_t*>(surface->pixels);
    for (int y = 0; y < mask.height; ++y) {
      const int sy = y + y0;
      if (sy < 0 || sy >= surface->h) continue;
      for (int x = 0; x < mask.width; ++x) {
        const int sx = x + x0;
        if (sx < 0 || sx >= surface->w) continue;
        if (pixels[static_cast<std::size_t>(sy) * static_cast<std::size_t>(surface->pitch) +
                   static_cast<std::size_t>(sx)] != 0) {
          mask.alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) +
                     static_cast<std::size_t>(x)] = 255;
        }
      }
    }
    SDL_UnlockSurface(surface.get());
    return mask;
  }

 private:
  [[nodiscard]] int advance(char32_t c) const {
    int minx = 0, maxx = 0, miny = 0, maxy = 0, adv = 0;
    if (TTF_GlyphMetrics32(font_.get(), static_cast<Uint32>(c), &minx, &maxx, &miny, &maxy, &adv) !=
        0) {
      return 0;
    }
    return adv;
  }

  std::shared_ptr<TtfSession> session_;  // destroyed after font_
  std::unique_ptr<TTF_Font, FontCloser> font_;
  int lineHeight_ = 0;
  int baseline_ = 0;
};

struct ConfigCloser {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};

}  // namespace

struct FontLibrary::Impl {
  std::shared_ptr<TtfSession> ttf;
  std::array<FoundFont, 2> files;
  std::vector<std::pair<FontSpec, std::shared_ptr<const Font>>> cache;
};

FontLibrary::FontLibrary() : impl_(std::make_unique<Impl>()) {
  // A configuration of our own: fontconfig's shared default one is never freed.
  const std::unique_ptr<FcConfig, ConfigCloser> config(FcInitLoadConfigAndFonts());
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
  impl_->ttf = std::make_shared<TtfSession>();
}

FontLibrary::~FontLibrary() = default;

const std::filesystem::path& FontLibrary::file(FontFace face) const {
  return impl_->files[face == FontFace::Gothic ? 0 : 1].file;
}

std::shared_ptr<const Font> FontLibrary::font(const FontSpec& wanted) {
  for (const auto& [key, font] : impl_->cache) {
    if (key == wanted) return font;
  }
  // Whole-number sizes only: four times the points at a quarter of 96 dpi keeps the
  // quarter-point sizes of the layout (9.75 pt) exact.
  const int size = std::max(1, static_cast<int>(std::lround(wanted.points * 4.0)));
  const FoundFont& found = impl_->files[wanted.face == FontFace::Gothic ? 0 : 1];
  std::unique_ptr<TTF_Font, FontCloser> ttf(
      TTF_OpenFontIndexDPI(found.file.c_str(), size, found.index, 24, 24));
  if (!ttf) {
    throw FontError("Cannot open the font " + found.file.string() + ": " + TTF_GetError());
  }
  TTF_SetFontHinting(ttf.get(), TTF_HINTING_MONO);
  TTF_SetFontKerning(ttf.get(), 0);
  TTF_SetFontStyle(ttf.get(), wanted.bold ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL);
  // The line is the em in whole pixels, as the system computes a font's height from its
  // points at 96 dpi (13 pixels for both 9.75 and 10 points).
  const int lineHeight = std::max(1, static_cast<int>(std::lround(size / 3.0)));
  auto font = std::make_shared<const TtfFont>(impl_->ttf, std::move(ttf), lineHeight);
  impl_->cache.emplace_back(wanted, font);
  return font;
}

}  // namespace qov
