#include "ui/Controls.h"

#include <gtest/gtest.h>

#include "platform/headless/HeadlessPlatform.h"
#include "tests/ui/UiTestSupport.h"

namespace qov {
namespace {

using test::allPixels;

constexpr Argb kGrey = rgb(128, 128, 128);
constexpr Argb kDark = rgb(64, 64, 64);
constexpr Argb kWhite = rgb(255, 255, 255);
constexpr Argb kBlack = rgb(0, 0, 0);
constexpr FontSpec kGothic10{FontFace::Gothic, 10.0, false};

Image render(const Control& root) {
  Image frame(root.rect.w, root.rect.h, rgb(1, 2, 3));
  root.draw(frame);
  return frame;
}

bool anyPixel(const Image& image, const Rect& area, Argb colour) {
  for (int y = area.y; y < area.y + area.h; ++y) {
    for (int x = area.x; x < area.x + area.w; ++x) {
      if (image.pixel(x, y) == colour) return true;
    }
  }
  return false;
}

TEST(Controls, NestingClipsChildrenAndHidesThemWithTheirContainer) {
  HeadlessPlatform platform;
  Form form(Rect{0, 0, 100, 80}, kGrey);
  PictureBox box(platform, Rect{10, 10, 50, 40}, kDark, kBlack, kGothic10);
  // A label that sticks out of its container to the right and below.
  Label label(platform, Rect{30, 30, 40, 20}, rgb(255, 0, 0), kWhite, kGothic10);
  form.add(box);
  box.add(label);

  EXPECT_EQ(label.frameRect().x, 40);
  EXPECT_EQ(label.visibleFrameRect().w, 20);  // cut at the box's right edge (60)
  EXPECT_EQ(label.visibleFrameRect().h, 10);

  Image frame = render(form);
  EXPECT_TRUE(allPixels(frame, Rect{0, 0, 100, 10}, kGrey));
  EXPECT_TRUE(allPixels(frame, Rect{10, 10, 30, 30}, kDark));
  EXPECT_TRUE(allPixels(frame, Rect{40, 40, 20, 10}, rgb(255, 0, 0)));
  EXPECT_TRUE(allPixels(frame, Rect{60, 10, 40, 70}, kGrey));  // nothing drawn past the box
  EXPECT_TRUE(allPixels(frame, Rect{10, 50, 50, 30}, kGrey));

  EXPECT_EQ(form.hitTest(45, 45), &label);
  EXPECT_EQ(form.hitTest(65, 45), &form);  // the label's part outside the box does not count
  EXPECT_EQ(form.hitTest(15, 15), &box);
  EXPECT_EQ(form.hitTest(100, 10), nullptr);

  box.visible = false;
  EXPECT_FALSE(label.shown());
  EXPECT_TRUE(allPixels(render(form), form.rect, kGrey));
  EXPECT_EQ(form.hitTest(45, 45), &form);
}

TEST(Controls, SignatureFollowsEveryChangeOfLookAndNothingElse) {
  HeadlessPlatform platform;
  Form form(Rect{0, 0, 100, 80}, kGrey);
  PictureBox box(platform, Rect{0, 0, 100, 60}, kWhite, kBlack, kGothic10);
  Label label(platform, Rect{0, 60, 100, 20}, kDark, kWhite, kGothic10);
  Button button(platform, Rect{0, 0, 40, 20}, U"OK", kGothic10);
  form.add(box);
  form.add(label);
  box.add(button);

  std::uint64_t last = form.signature();
  const auto changed = [&] {
    const std::uint64_t now = form.signature();
    const bool differs = now != last;
    last = now;
    return differs;
  };
  EXPECT_FALSE(changed());
  label.caption = U"コマンド";
  EXPECT_TRUE(changed());
  label.backColor = rgb(192, 0, 0);
  EXPECT_TRUE(changed());
  button.pressed = true;
  EXPECT_TRUE(changed());
  box.print(U"あ", kBlack);
  EXPECT_TRUE(changed());
  box.newLine();  // moves the cursor only
  EXPECT_FALSE(changed());
  box.cls();
  EXPECT_TRUE(changed());
  button.visible = false;
  EXPECT_TRUE(changed());
  box.rect.x = 1;
  EXPECT_TRUE(changed());
  EXPECT_FALSE(changed());
}

TEST(Controls, PictureBoxKeepsWhatIsDrawnOnItsPicture) {
  HeadlessPlatform platform;
  PictureBox box(platform, Rect{0, 0, 60, 40}, kWhite, kBlack, kGothic10);
  Image picture(20, 10, rgb(0, 0, 255));
  box.setPicture(picture);
  EXPECT_TRUE(allPixels(box.backing(), Rect{0, 0, 20, 10}, rgb(0, 0, 255)));
  EXPECT_TRUE(allPixels(box.backing(), Rect{20, 0, 40, 40}, kWhite));

  // Text is drawn over the picture without a background of its own, and the cursor moves on
  // by the drawn width.
  const int width = box.font().measure(U"あい");
  box.print(U"あい", rgb(255, 0, 0));
  EXPECT_EQ(box.currentX, width);
  EXPECT_TRUE(anyPixel(box.backing(), Rect{0, 0, width, 10}, rgb(255, 0, 0)));
  EXPECT_TRUE(anyPixel(box.backing(), Rect{0, 0, std::min(width, 20), 10}, rgb(0, 0, 255)));
  EXPECT_FALSE(anyPixel(box.backing(), Rect{width, 0, 60 - width, 40}, rgb(255, 0, 0)));
  box.newLine();
  EXPECT_EQ(box.currentX, 0);
  EXPECT_EQ(box.currentY, box.font().lineHeight());

  // Clearing brings back the colour and the picture, not the text.
  box.cls();
  EXPECT_EQ(box.currentY, 0);
  EXPECT_TRUE(allPixels(box.backing(), Rect{0, 0, 20, 10}, rgb(0, 0, 255)));
  EXPECT_FALSE(anyPixel(box.backing(), box.backing().bounds(), rgb(255, 0, 0)));

  // Growing keeps what was drawn; the new part is the back colour.
  box.paint(Image(5, 5, rgb(0, 255, 0)), Rect{0, 0, 5, 5}, 50, 30);
  box.resize(80, 50);
  EXPECT_EQ(box.backing().width(), 80);
  EXPECT_TRUE(allPixels(box.backing(), Rect{50, 30, 5, 5}, rgb(0, 255, 0)));
  EXPECT_TRUE(allPixels(box.backing(), Rect{60, 0, 20, 50}, kWhite));

  // A new picture replaces the drawing.
  box.setPicture(Image(10, 10, rgb(9, 9, 9)));
  EXPECT_TRUE(allPixels(box.backing(), Rect{0, 0, 10, 10}, rgb(9, 9, 9)));
  EXPECT_TRUE(allPixels(box.backing(), Rect{50, 30, 5, 5}, kWhite));
}

TEST(Controls, ButtonIsRaisedWithItsCaptionCentredAndSinksWhilePressed) {
  HeadlessPlatform platform;
  Form form(Rect{0, 0, 45, 28}, kGrey);
  Button button(platform, Rect{0, 0, 45, 28}, U"使う", FontSpec{FontFace::Gothic, 8.25, false});
  form.add(button);
  Image frame = render(form);
  EXPECT_EQ(frame.pixel(0, 0), kWhite);
  EXPECT_EQ(frame.pixel(44, 27), kBlack);
  EXPECT_EQ(frame.pixel(43, 26), kGrey);  // the inner shadow
  EXPECT_EQ(frame.pixel(3, 3), rgb(192, 192, 192));

  // The caption's ink lies in the middle: as far from the left edge as from the right.
  int left = 45;
  int right = -1;
  for (int y = 2; y < 26; ++y) {
    for (int x = 2; x < 43; ++x) {
      if (frame.pixel(x, y) == kBlack) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  ASSERT_LE(left, right);
  EXPECT_LE(std::abs(left - (44 - right)), 4);  // glyph ink is not symmetric in its cell

  button.pressed = true;
  frame = render(form);
  EXPECT_EQ(frame.pixel(0, 0), kBlack);
  EXPECT_EQ(frame.pixel(44, 27), kWhite);
}

}  // namespace
}  // namespace qov
