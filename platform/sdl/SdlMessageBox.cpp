#include "platform/sdl/SdlMessageBox.h"
#include "platform/render/SdlHandles.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/Encoding.h"
#include "platform/render/Render.h"

namespace qov {
namespace {

constexpr Argb kContentBack = rgb(255, 255, 255);
constexpr Argb kStripBack = rgb(240, 240, 240);
constexpr Argb kText = rgb(0, 0, 0);
constexpr int kPad = 12;
constexpr int kIcon = 32;
constexpr int kButtonW = 75;
constexpr int kButtonH = 23;
constexpr int kStripH = kButtonH + 2 * 10;
constexpr int kMinWidth = 200;
constexpr int kMaxTextWidth = 560;

// Splits at CR, LF and CR LF, then wraps each line character by character, since Japanese text
// has no blanks to break at.
std::vector<std::u32string> layoutLines(const Font& font, const std::string& text) {
  std::vector<std::u32string> lines;
  const std::u32string all = fromUtf8(text);
  std::u32string line;
  const auto flush = [&] {
    std::u32string rest = line;
    while (font.measure(rest) > kMaxTextWidth && rest.size() > 1) {
      std::size_t n = 1;
      while (n < rest.size() &&
             font.measure(std::u32string_view(rest).substr(0, n + 1)) <= kMaxTextWidth) {
        ++n;
      }
      lines.push_back(rest.substr(0, n));
      rest.erase(0, n);
    }
    lines.push_back(rest);
    line.clear();
  };
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i] == U'\r' || all[i] == U'\n') {
      if (all[i] == U'\r' && i + 1 < all.size() && all[i + 1] == U'\n') ++i;
      flush();
    } else {
      line.push_back(all[i]);
    }
  }
  flush();
  return lines;
}

// The stop sign (a red disc with a white cross) or the information sign (a blue disc with an
// "i"), drawn without anti-aliasing like the rest of the window.
void drawIcon(Image& img, int left, int top, MessageIcon icon) {
  const bool stop = icon == MessageIcon::Stop;
  const Argb disc = stop ? rgb(220, 40, 40) : rgb(30, 100, 210);
  const Argb rim = stop ? rgb(150, 0, 0) : rgb(10, 60, 150);
  const Argb white = rgb(255, 255, 255);
  for (int y = 0; y < kIcon; ++y) {
    for (int x = 0; x < kIcon; ++x) {
      const double dx = x + 0.5 - kIcon / 2.0;
      const double dy = y + 0.5 - kIcon / 2.0;
      const double r = std::sqrt(dx * dx + dy * dy);
      if (r > 15.5) continue;
      Argb c = r > 14.2 ? rim : disc;
      if (stop) {
        const bool cross = std::abs(dx - dy) < 2.3 || std::abs(dx + dy) < 2.3;
        if (cross && std::abs(dx) < 8 && std::abs(dy) < 8) c = white;
      } else {
        const bool dot = dx * dx + (dy + 8) * (dy + 8) < 6.5;
        const bool stem = std::abs(dx) < 2 && dy > -4 && dy < 9;
        if (dot || stem) c = white;
      }
      img.setPixel(left + x, top + y, c);
    }
  }
}

void drawButton(Image& img, const Rect& r, const Font& font, bool pressed) {
  const Argb border = rgb(0, 120, 215);  // the default button of a box has the focus
  img.fill(r, border);
  img.fill(Rect{r.x + 1, r.y + 1, r.w - 2, r.h - 2},
           pressed ? rgb(204, 228, 247) : rgb(225, 225, 225));
  const std::u32string ok = U"OK";
  const Mask m = font.render(ok);
  const int shift = pressed ? 1 : 0;
  img.drawMask(m, r.x + (r.w - m.width) / 2 + shift, r.y + (r.h - m.height) / 2 + shift, kText, r);
}

}  // namespace

bool showOwnMessageBox(FontLibrary& fonts, SDL_Window* parent, int scale, const std::string& title,
                       const std::string& text, MessageIcon icon,
                       const std::function<void()>& redrawParent) {
  const auto font = fonts.font(FontRequest{FontFace::Gothic, 9.0, false});
  const std::vector<std::u32string> lines = layoutLines(*font, text);
  const int lineStep = font->lineHeight() + 3;
  int textWidth = 0;
  for (const auto& l : lines) textWidth = std::max(textWidth, font->measure(l));
  const int textHeight = static_cast<int>(lines.size()) * lineStep;
  const int contentH = std::max(kIcon, textHeight) + 2 * kPad + 8;
  const int width = std::max(kMinWidth, kPad * 3 + kIcon + textWidth + kPad);
  const int height = contentH + kStripH;

  Image img(width, height, kContentBack);
  img.fill(Rect{0, contentH, width, kStripH}, kStripBack);
  drawIcon(img, kPad + 4, kPad + 4, icon);
  const int textLeft = kPad * 3 + kIcon;
  int y = kPad + 4 + std::max(0, (kIcon - textHeight) / 2);
  for (const auto& l : lines) {
    img.drawMask(font->render(l), textLeft, y, kText, img.bounds());
    y += lineStep;
  }
  const Rect button{width - kPad - kButtonW, contentH + (kStripH - kButtonH) / 2, kButtonW,
                    kButtonH};

  // Centred over the window that owns it, as the system places its boxes.
  int x = SDL_WINDOWPOS_CENTERED;
  int top = SDL_WINDOWPOS_CENTERED;
  if (parent != nullptr) {
    int px = 0, py = 0, pw = 0, ph = 0;
    SDL_GetWindowPosition(parent, &px, &py);
    SDL_GetWindowSize(parent, &pw, &ph);
    x = px + (pw - width * scale) / 2;
    top = py + (ph - height * scale) / 2;
  }
  const WindowPtr box(
      SDL_CreateWindow(title.c_str(), x, top, width * scale, height * scale,
                       SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_SKIP_TASKBAR));
  if (!box) return false;
  RendererPtr renderer(SDL_CreateRenderer(box.get(), -1, SDL_RENDERER_ACCELERATED));
  if (!renderer) renderer.reset(SDL_CreateRenderer(box.get(), -1, SDL_RENDERER_SOFTWARE));
  if (!renderer) return false;
  SDL_RenderSetLogicalSize(renderer.get(), width, height);
  SDL_RenderSetIntegerScale(renderer.get(), SDL_TRUE);
  const TexturePtr texture(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_ARGB8888,
                                             SDL_TEXTUREACCESS_STREAMING, width, height));
  if (!texture) return false;
  if (parent != nullptr) SDL_SetWindowModalFor(box.get(), parent);
  SDL_ShowWindow(box.get());
  SDL_RaiseWindow(box.get());

  const Uint32 boxId = SDL_GetWindowID(box.get());
  bool pressed = false;  // the button is held down
  bool holding = false;  // the mouse went down on the button
  bool quit = false;     // a quit request arrived meanwhile; passed on afterwards
  for (bool done = false; !done;) {
    Image shown = img;
    drawButton(shown, button, *font, pressed);
    SDL_UpdateTexture(texture.get(), nullptr, shown.pixels().data(), width * 4);
    SDL_SetRenderDrawColor(renderer.get(), 0, 0, 0, 255);
    SDL_RenderClear(renderer.get());
    SDL_RenderCopy(renderer.get(), texture.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer.get());

    SDL_Event e;
    if (SDL_WaitEvent(&e) == 0) break;
    switch (e.type) {
      case SDL_QUIT:
        quit = true;
        done = true;
        break;
      case SDL_WINDOWEVENT:
        if (e.window.windowID == boxId && e.window.event == SDL_WINDOWEVENT_CLOSE) {
          done = true;
        } else if (e.window.windowID != boxId && e.window.event == SDL_WINDOWEVENT_EXPOSED &&
                   redrawParent) {
          redrawParent();
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (e.button.windowID == boxId && e.button.button == SDL_BUTTON_LEFT &&
            button.contains(e.button.x, e.button.y)) {
          holding = pressed = true;
        }
        break;
      case SDL_MOUSEMOTION:
        if (e.motion.windowID == boxId && holding) {
          pressed = button.contains(e.motion.x, e.motion.y);
        }
        break;
      case SDL_MOUSEBUTTONUP:
        if (e.button.windowID == boxId && e.button.button == SDL_BUTTON_LEFT) {
          done = holding && button.contains(e.button.x, e.button.y);
          holding = pressed = false;
        }
        break;
      case SDL_KEYDOWN:
        if (e.key.windowID == boxId &&
            (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER ||
             e.key.keysym.sym == SDLK_SPACE || e.key.keysym.sym == SDLK_ESCAPE)) {
          done = true;
        }
        break;
      default:
        break;
    }
  }
  if (quit) {
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
  }
  return true;
}

}  // namespace qov
