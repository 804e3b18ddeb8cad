// Shared steps of the load/save, settings and additional-worlds screen tests: what a screen shows, and
// the message box's buttons pressed with the stylus.
#pragma once
#include "core/SGameCore.h"
#include "core/ui/SState.h"
#include "support/GameHarness.h"

#include <string>

namespace savescreens {

// The shown control of the current state or an open dialog with that id (null when none shows).
inline const GameHarness::Control* Shown(const std::vector<GameHarness::Control>& all, u32 id,
                                         const std::string& dialog = "") {
  for (const GameHarness::Control& c : all)
    if (c.id == id && (dialog.empty() || c.dialog == dialog)) return &c;
  return nullptr;
}

inline bool IsShown(const GameHarness& game, u32 id) { return Shown(game.controls(), id) != nullptr; }

inline std::string TextOf(const GameHarness& game, u32 id) {
  const std::vector<GameHarness::Control> all = game.controls();
  const GameHarness::Control* c = Shown(all, id);
  return c ? c->text : "<hidden>";
}

// Switches to a screen that the main menu opens, with the current state kept on the stack as the menu
// keeps itself; false when the screen did not become current.
inline bool OpenOverCurrent(GameHarness& game, i32 state, u32 w0 = 0) {
  game.core().currentState->keep = 1;
  game.setState(state, w0);
  return game.state() == state;
}

// The open message box's text with its lines joined by spaces, or "" without one.
inline std::string BoxText(const GameHarness& game) {
  for (const GameHarness::Control& c : game.controls()) {
    if (c.dialog != "SDialogMessage" || c.type != "SDialogTextCtrl") continue;
    std::string text = c.text;
    for (char& ch : text)
      if (ch == '\r') ch = ' ';
    return text;
  }
  return "";
}

// Taps the open message box's button with that caption; false when it has none.
inline bool TapBoxButton(GameHarness& game, const std::string& caption) {
  for (const GameHarness::Control& c : game.controls()) {
    if (c.dialog != "SDialogMessage" || c.type != "SCtrlMessageButton" || c.text != caption) continue;
    game.penDown(c.x + c.width / 2, c.y + c.height / 2);
    game.penUp(c.x + c.width / 2, c.y + c.height / 2);
    return true;
  }
  return false;
}

}  // namespace savescreens
