// Finds pixels that a change leaves behind: the frame the game shows is held against the same state painted
// whole (the state and every dialog open over it asked for a full repaint, every control over its
// background, on a ground no picture uses), with time held still, and each control whose pixels differ is
// named. The game goes on as if nothing had looked: the frame buffer, the dialogs' and controls' flags, the
// random generator and the rain are put back, and nothing is presented.
//
// Where "painted whole" is not the game's own full repaint:
//   - The game state draws its 3D view from the renderer on every frame, whole, so it cannot leave
//     anything behind; its rain and animations move with time and random draws. The view's rectangle
//     keeps the pixels the frame drew as its ground, and everything the state paints over it (hands, hit
//     pictures, label panels, buttons, controls, dialogs) is painted whole over that.
//   - A scene's text draws only from its ticks, each time its lines one pixel higher over its owner's
//     fresh repaint: it is compared at its own state, its lines drawn where the tick last drew them (and
//     not at all when its owner has painted over them since).
//
//   for (const std::string& fault : RepaintCheck::Stale(game)) ADD_FAILURE() << fault;
//
// With DUSKMIRE_REPAINT_FRAMES=1 each frame that differs is written beside the state painted whole, to
// frames/repaint/<n>.png in the build's bin folder, and the first line names the file (=all: every frame
// compared is written, and a frame that agrees gives no line).
#pragma once
#include "support/GameHarness.h"

#include <string>
#include <vector>

class RepaintCheck {
 public:
  // A line per control (or dialog ground) whose pixels differ from the state painted whole: the dialog's
  // class, the control's class, id and rectangle, how many pixels differ and where. Empty when they agree.
  static std::vector<std::string> Stale(GameHarness& game);

  // A line per control that a player can tap (shown, enabled, taking the pen) but that paints nothing: its
  // rectangle is filled with one colour and the control painted, then again with another, and a control
  // that left both fills as they were (a button wired to no picture, say) is named. The screen is put back.
  static std::vector<std::string> Silent(GameHarness& game);

  // A line per shown control that draws past the area its paint is said to cover (SCtrl::PaintedArea, looked
  // at up to 16 pixels out), as it stands: a change of it, or of a neighbour, would leave those pixels
  // behind or cut them off. Each control is painted alone over a ground no picture uses; the screen is
  // put back.
  static std::vector<std::string> OutOfReach(GameHarness& game);

  // Operates every enabled control of the innermost dialog that takes the pen (a button tapped, a value
  // stepped, a list's other row or a grid's other cell tapped, a page turned) and presses the down, up and
  // use keys; after each, Stale, and Stale again at each frame the game presented on the way (a pass that
  // switched the state or its dialogs aside: what changed shows from its next frame). A tap that opened
  // nothing is given a second at the same point (a row or a card tapped again, a value stepped twice); a tap
  // that opened a dialog is followed by a tap on each control of that dialog, each from the dialog as it
  // opened.
  //
  // The operations run in copies of the process (fork), so the state here stays as it was; the copies' files
  // are kept in memory, so nothing they save or delete reaches the disk. A copy goes on from one operation
  // to the next while the screen stays as the stop left it (the same state and dialogs): an operation that
  // changes it ends the copy, and the next starts from the stop in a fresh one. A line per fault, naming
  // what was operated; an operation that crashes or hangs its copy is a fault too.
  //
  // Left out: controls that are disabled or hidden, those of the dialogs beneath the innermost (input does
  // not reach them), controls that take no pen (texts, pictures, gauges), keys other than down, up and use,
  // what takes a held pen (a drag, a held button's repeats), and a screen a tap switched to (the tour stops
  // at each screen of its own).
  static std::vector<std::string> EachControl(GameHarness& game);
};
