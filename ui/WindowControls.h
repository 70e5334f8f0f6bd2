#pragma once

#include <array>

#include "platform/Image.h"
#include "platform/Platform.h"
#include "ui/Controls.h"

namespace qov {

// Every control of the main window, built with its layout (pixels, relative to the container's
// client area), colours, fonts and captions at start, and nested as the window shows them.
// The components (message window, menu, scene picture, item window) work on these controls;
// the main window owns them.
class WindowControls {
 public:
  static constexpr int kWidth = 506;
  static constexpr int kHeight = 384;

  explicit WindowControls(Platform& platform);
  WindowControls(const WindowControls&) = delete;
  WindowControls& operator=(const WindowControls&) = delete;

  Form form;
  PictureBox Picture1;
  Label LBcm;
  std::array<Label, 5> Label1;
  PictureBox ITEM;
  Button ITMCommand1;
  Button ITMCommand2;
  std::array<Button, 2> ITMCommand3;
  PictureBox ITMPicture1;  // holds the item sheet; lies outside ITEM's visible area
  Label ITMLabel1;
  PictureBox MES;

  // The control that has the keyboard focus (only the item window ever moves it).
  const Control* focus = nullptr;
};

}  // namespace qov
