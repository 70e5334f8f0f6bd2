#pragma once

#include <cstdint>
#include <string_view>

namespace qov {

// What the script engine asks of the presentation and the sound. The main window implements
// it; engine tests use a small fake. Faults of the script found on this side (an index out of
// its table, a picture that cannot be read) are thrown as ScriptError.
class Host {
 public:
  virtual ~Host() = default;

  // Writes a message with its mark-up; returns when the whole text is written.
  virtual void MESHG(std::u32string_view text) = 0;
  // Erases the message window and puts the text cursor at its top left.
  virtual void clearMessageWindow() = 0;
  virtual void CMST(std::int16_t menu, std::u32string_view text) = 0;
  // MenuText(menu, entry) = text (ADDCM; DELCM passes an empty text).
  virtual void setMenuText(std::int16_t menu, std::int16_t entry, std::u32string_view text) = 0;
  // Runs a menu until the final choice; returns the choice code.
  virtual std::int16_t CMSL(std::int16_t menu) = 0;
  virtual void CMDS(std::int16_t mode) = 0;
  virtual void GHG(std::u32string_view name) = 0;
  virtual void MUSPL(std::u32string_view name, std::int16_t mode) = 0;
  // sndPlaySoundA(name & ".wav", flags).
  virtual void playSound(std::u32string_view name, std::int16_t flags) = 0;
  virtual void OP() = 0;
  // Unloads the main window (EXIT, EOF): closes the music, beeps, throws ProgramEnd{0}.
  virtual void unload() = 0;
  // Shows the error report; the caller then ends the program.
  virtual void showErrorReport(std::u32string_view report) = 0;
  // Tells the player of a fault that does not end the game (a save that could not be
  // written, a save file that could not be read).
  virtual void showNotice(std::u32string_view text) = 0;
};

}  // namespace qov
