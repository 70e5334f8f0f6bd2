#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Image.h"
#include "platform/Platform.h"

namespace qov {

// The window's controls as plain data, drawn by our own code into the frame. Positions are
// pixels relative to the container's client area.
class Control {
 public:
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Rect rect;  // in the container's client area
  bool visible = true;
  Control* parent = nullptr;
  std::vector<Control*> children;  // in drawing order (later ones on top)

  // The control's rectangle in frame pixels, and the part of it that its containers let show.
  [[nodiscard]] Rect frameRect() const;
  [[nodiscard]] Rect visibleFrameRect() const;
  [[nodiscard]] bool shown() const;  // visible, and every container too
  void add(Control& child);
  // Draws the control and then its children into the frame.
  void draw(Image& frame) const;
  // The shown control that lies on top at frame point (x, y): this one or a descendant;
  // nullptr when the point is outside it or it is not shown.
  [[nodiscard]] Control* hitTest(int x, int y);
  // A digest of everything that decides how the control and its children look. Properties
  // are plain fields that anyone may set, so the frame compares digests instead of relying
  // on every writer to report its change.
  [[nodiscard]] std::uint64_t signature() const;

 protected:
  Control() = default;
  virtual void drawSelf(Image& frame, const Rect& at, const Rect& clip) const = 0;
  // Mixes the control's own look into the digest.
  virtual void sign(std::uint64_t& digest) const { (void)digest; }
};

// The window's client area: its background colour, the root of the control tree.
class Form : public Control {
 public:
  Form(Rect r, Argb back) : backColor(back) { rect = r; }
  Argb backColor;

 protected:
  void drawSelf(Image& frame, const Rect& at, const Rect& clip) const override;
  void sign(std::uint64_t& digest) const override;
};

// A picture box with a backing image ("autoredraw"): what is drawn stays until cleared.
class PictureBox : public Control {
 public:
  PictureBox(Platform& platform, Rect r, Argb back, Argb fore, FontRequest font);

  Argb backColor;
  Argb foreColor;

  void setFont(const FontRequest& wanted);
  [[nodiscard]] const FontRequest& fontRequest() const { return fontRequest_; }
  [[nodiscard]] const Font& font() const { return *font_; }

  // Resizes the box (and its backing image, keeping what fits).
  void resize(int width, int height);
  // Erases to the back colour and puts the text cursor at the top left.
  void cls();
  // Draws text in `colour` at the text cursor without filling its background, then moves the
  // cursor right by the drawn width.
  void print(std::u32string_view text, Argb colour);
  // Text cursor to the left edge, one line height down.
  void newLine();
  int currentX = 0;
  int currentY = 0;

  // The image shown in the box (scene picture): drawn at the top left, unscaled, cut at the
  // edges; the rest, and its transparent pixels, show the back colour. An empty image
  // removes it.
  void setPicture(Image picture);
  [[nodiscard]] const Image& picture() const { return picture_; }
  // Copies part of an image onto the backing image, replacing what was there; transparent
  // pixels of the image show the back colour.
  void paint(const Image& src, const Rect& from, int dx, int dy);
  [[nodiscard]] const Image& backing() const { return backing_; }

 protected:
  void drawSelf(Image& frame, const Rect& at, const Rect& clip) const override;
  void sign(std::uint64_t& digest) const override;

 private:
  // Back colour, then the picture at the top left: what cls() and resize() start from.
  void paintBackground(Image& image) const;

  Platform& platform_;
  FontRequest fontRequest_;
  std::shared_ptr<const Font> font_;
  Image picture_;
  Image backing_;
  std::uint64_t drawings_ = 0;  // counts every change to the backing image
};

class Label : public Control {
 public:
  Label(Platform& platform, Rect r, Argb back, Argb fore, FontRequest font);
  std::u32string caption;
  Argb backColor;
  Argb foreColor;

 protected:
  void drawSelf(Image& frame, const Rect& at, const Rect& clip) const override;
  void sign(std::uint64_t& digest) const override;

 private:
  std::shared_ptr<const Font> font_;
};

// A push button drawn raised, in 3-D, with its caption centred.
class Button : public Control {
 public:
  Button(Platform& platform, Rect r, std::u32string caption, FontRequest font);
  std::u32string caption;
  // Drawn sunken while the left button is held down on it.
  bool pressed = false;

 protected:
  void drawSelf(Image& frame, const Rect& at, const Rect& clip) const override;
  void sign(std::uint64_t& digest) const override;

 private:
  std::shared_ptr<const Font> font_;
};

}  // namespace qov
