#include "ui/WindowControls.h"

#include <stdexcept>

#include "ui/WindowImages.h"

namespace qov {

namespace {

// The system colours of the window's scheme.
constexpr Argb kWindowBackground = rgb(255, 255, 255);
constexpr Argb kWindowText = rgb(0, 0, 0);

constexpr FontRequest kWindowFont{FontFace::Mincho, 9.75, false};
constexpr FontRequest kMenuFont{FontFace::Gothic, 9.75, true};
constexpr FontRequest kItemButtonFont{FontFace::Gothic, 8.25, false};
constexpr FontRequest kItemNameFont{FontFace::Gothic, 9.0, false};
constexpr FontRequest kMessageFont{FontFace::Gothic, 12.0, false};

constexpr Argb kMenuEntryBack = rgb(64, 64, 64);
constexpr Argb kMenuEntryText = rgb(255, 255, 0);

Label menuEntry(Platform& platform, int x, int y) {
  return Label(platform, Rect{x, y, 121, 17}, kMenuEntryBack, kMenuEntryText, kMenuFont);
}

}  // namespace

WindowControls::WindowControls(Platform& platform)
    : form(Rect{0, 0, kWidth, kHeight}, rgb(128, 128, 128)),
      Picture1(platform, Rect{0, 0, 504, 336}, rgb(64, 64, 64), kWindowText, kWindowFont),
      LBcm(platform, Rect{72, 294, 121, 17}, rgb(0, 128, 0), rgb(0, 255, 0), kMenuFont),
      Label1{menuEntry(platform, 192, 294), menuEntry(platform, 312, 294),
             menuEntry(platform, 72, 310), menuEntry(platform, 192, 310),
             menuEntry(platform, 312, 310)},
      ITEM(platform, Rect{32, 24, 257, 201}, kWindowBackground, kWindowText, kWindowFont),
      ITMCommand1(platform, Rect{121, 39, 45, 28}, U"使う", kItemButtonFont),
      ITMCommand2(platform, Rect{121, 70, 45, 28}, U"やめる", kItemButtonFont),
      ITMCommand3{Button(platform, Rect{122, 0, 21, 37}, U"＜", kWindowFont),
                  Button(platform, Rect{145, 0, 21, 37}, U"＞", kWindowFont)},
      ITMPicture1(platform, Rect{190, 21, 125, 108}, kWindowBackground, kWindowText, kWindowFont),
      ITMLabel1(platform, Rect{0, 100, 166, 27}, rgb(255, 192, 128), rgb(128, 64, 64),
                kItemNameFont),
      MES(platform, Rect{0, 336, 504, 45}, kWindowBackground, kWindowText, kMessageFont) {
  form.add(Picture1);
  form.add(MES);

  // Labels are drawn under the windowed controls of their container.
  Picture1.add(LBcm);
  for (Label& label : Label1) Picture1.add(label);
  Picture1.add(ITEM);
  // The menu stays hidden until the first CMDS shows it (MenuShown is 0 at start).
  LBcm.visible = false;
  for (Label& label : Label1) label.visible = false;

  ITEM.add(ITMLabel1);
  ITEM.add(ITMCommand1);
  ITEM.add(ITMCommand2);
  for (Button& button : ITMCommand3) ITEM.add(button);
  ITEM.add(ITMPicture1);
  ITEM.visible = false;
  ITMPicture1.setPicture(defaultItemSheet());
}

}  // namespace qov
