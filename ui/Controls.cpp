#include "ui/Controls.h"

#include <algorithm>
#include <utility>

namespace qov {

namespace {

// FNV-1a over 64-bit words: cheap, and good enough to tell one look from another.
void mix(std::uint64_t& digest, std::uint64_t value) {
  digest ^= value;
  digest *= 0x100000001B3ull;
}

void mix(std::uint64_t& digest, const Rect& r) {
  mix(digest, static_cast<std::uint32_t>(r.x));
  mix(digest, static_cast<std::uint32_t>(r.y));
  mix(digest, static_cast<std::uint32_t>(r.w));
  mix(digest, static_cast<std::uint32_t>(r.h));
}

void mix(std::uint64_t& digest, std::u32string_view text) {
  mix(digest, text.size());
  for (const char32_t c : text) mix(digest, c);
}

constexpr Argb kButtonFace = rgb(192, 192, 192);
constexpr Argb kButtonHighlight = rgb(255, 255, 255);
constexpr Argb kButtonShadow = rgb(128, 128, 128);
constexpr Argb kButtonDarkShadow = rgb(0, 0, 0);
constexpr Argb kButtonText = rgb(0, 0, 0);

// A one-pixel frame: `topLeft` along the top and left edges, `bottomRight` along the others.
void drawEdge(Image& frame, const Rect& r, Argb topLeft, Argb bottomRight, const Rect& clip) {
  if (r.empty()) return;
  frame.fill(Rect{r.x, r.y, r.w, 1}.intersect(clip), topLeft);
  frame.fill(Rect{r.x, r.y, 1, r.h}.intersect(clip), topLeft);
  frame.fill(Rect{r.x, r.y + r.h - 1, r.w, 1}.intersect(clip), bottomRight);
  frame.fill(Rect{r.x + r.w - 1, r.y, 1, r.h}.intersect(clip), bottomRight);
}

Rect inset(const Rect& r, int by) {
  return Rect{r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by};
}

}  // namespace

// ---- Control ----

Rect Control::frameRect() const {
  if (parent == nullptr) return rect;
  const Rect p = parent->frameRect();
  return Rect{p.x + rect.x, p.y + rect.y, rect.w, rect.h};
}

Rect Control::visibleFrameRect() const {
  const Rect r = frameRect();
  return parent == nullptr ? r : r.intersect(parent->visibleFrameRect());
}

bool Control::shown() const {
  return visible && (parent == nullptr || parent->shown());
}

void Control::add(Control& child) {
  child.parent = this;
  children.push_back(&child);
}

void Control::draw(Image& frame) const {
  if (!visible) return;
  const Rect clip = visibleFrameRect().intersect(frame.bounds());
  if (clip.empty()) return;
  drawSelf(frame, frameRect(), clip);
  for (const Control* child : children) child->draw(frame);
}

Control* Control::hitTest(int x, int y) {
  if (!visible || !visibleFrameRect().contains(x, y)) return nullptr;
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if (Control* hit = (*it)->hitTest(x, y)) return hit;
  }
  return this;
}

std::uint64_t Control::signature() const {
  std::uint64_t digest = 0xCBF29CE484222325ull;
  mix(digest, visible ? 1 : 0);
  mix(digest, rect);
  sign(digest);
  for (const Control* child : children) mix(digest, child->signature());
  return digest;
}

// ---- Form ----

void Form::drawSelf(Image& frame, const Rect& /*at*/, const Rect& clip) const {
  frame.fill(clip, backColor);
}

void Form::sign(std::uint64_t& digest) const {
  mix(digest, backColor);
}

// ---- PictureBox ----

PictureBox::PictureBox(Platform& platform, Rect r, Argb back, Argb fore, FontRequest font)
    : backColor(back),
      foreColor(fore),
      platform_(platform),
      fontRequest_(font),
      font_(platform.font(font)),
      backing_(r.w, r.h, back) {
  rect = r;
}

void PictureBox::setFont(const FontRequest& wanted) {
  fontRequest_ = wanted;
  font_ = platform_.font(wanted);
}

void PictureBox::paintBackground(Image& image) const {
  image.fill(image.bounds(), backColor);
  if (!picture_.empty()) image.copyOver(picture_, picture_.bounds(), 0, 0, backColor);
}

void PictureBox::resize(int width, int height) {
  rect.w = std::max(0, width);
  rect.h = std::max(0, height);
  Image resized(rect.w, rect.h, backColor);
  paintBackground(resized);
  resized.copy(backing_, backing_.bounds(), 0, 0);
  backing_ = std::move(resized);
  ++drawings_;
}

void PictureBox::cls() {
  paintBackground(backing_);
  currentX = 0;
  currentY = 0;
  ++drawings_;
}

void PictureBox::print(std::u32string_view text, Argb colour) {
  if (text.empty()) return;
  const Mask mask = font_->render(text);
  backing_.drawMask(mask, currentX, currentY, colour, backing_.bounds());
  currentX += font_->measure(text);
  ++drawings_;
}

void PictureBox::newLine() {
  currentX = 0;
  currentY += font_->lineHeight();
}

void PictureBox::setPicture(Image picture) {
  picture_ = std::move(picture);
  paintBackground(backing_);
  ++drawings_;
}

void PictureBox::paint(const Image& src, const Rect& from, int dx, int dy) {
  backing_.copyOver(src, from, dx, dy, backColor);
  ++drawings_;
}

void PictureBox::drawSelf(Image& frame, const Rect& at, const Rect& clip) const {
  // The rectangle may have been set directly, past the backing image: that part shows the
  // back colour.
  if (backing_.width() < at.w || backing_.height() < at.h) frame.fill(clip, backColor);
  frame.copy(backing_, backing_.bounds(), at.x, at.y, clip);
}

void PictureBox::sign(std::uint64_t& digest) const {
  mix(digest, backColor);
  mix(digest, drawings_);
}

// ---- Label ----

Label::Label(Platform& platform, Rect r, Argb back, Argb fore, FontRequest font)
    : backColor(back), foreColor(fore), font_(platform.font(font)) {
  rect = r;
}

void Label::drawSelf(Image& frame, const Rect& at, const Rect& clip) const {
  frame.fill(clip, backColor);
  if (caption.empty()) return;
  // Left-aligned, centred vertically.
  const Mask mask = font_->render(caption);
  frame.drawMask(mask, at.x, at.y + (at.h - mask.height) / 2, foreColor, clip);
}

void Label::sign(std::uint64_t& digest) const {
  mix(digest, backColor);
  mix(digest, foreColor);
  mix(digest, caption);
}

// ---- Button ----

Button::Button(Platform& platform, Rect r, std::u32string text, FontRequest font)
    : caption(std::move(text)), font_(platform.font(font)) {
  rect = r;
}

void Button::drawSelf(Image& frame, const Rect& at, const Rect& clip) const {
  frame.fill(clip, kButtonFace);
  if (pressed) {
    drawEdge(frame, at, kButtonDarkShadow, kButtonHighlight, clip);
    drawEdge(frame, inset(at, 1), kButtonShadow, kButtonFace, clip);
  } else {
    drawEdge(frame, at, kButtonHighlight, kButtonDarkShadow, clip);
    drawEdge(frame, inset(at, 1), kButtonFace, kButtonShadow, clip);
  }
  if (caption.empty()) return;
  const Mask mask = font_->render(caption);
  const int shift = pressed ? 1 : 0;
  frame.drawMask(mask, at.x + (at.w - mask.width) / 2 + shift,
                 at.y + (at.h - mask.height) / 2 + shift, kButtonText,
                 inset(at, 2).intersect(clip));
}

void Button::sign(std::uint64_t& digest) const {
  mix(digest, pressed ? 1 : 0);
  mix(digest, caption);
}

}  // namespace qov
