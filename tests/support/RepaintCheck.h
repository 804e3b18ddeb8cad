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

  // Operates, one at a time and each from the state as it stands, every enabled control of the innermost
  // dialog that takes the pen (a button tapped, a value stepped, a list's other row or a grid's other cell
  // tapped, a page turned), and presses the down key once (a list moved by key); after each, Stale. Each
  // operation runs in a copy of the process (fork), so the state is the same for the next one and stays as
  // it was; the copy's files are kept in memory, so nothing it saves or deletes reaches the disk. A line per
  // fault, naming what was operated; an operation that crashes or hangs the copy is a fault too.
  //
  // Left out: controls that are disabled or hidden, those of the dialogs beneath the innermost (input does
  // not reach them), controls that take no pen (texts, pictures, gauges), keys other than down, and what
  // takes more than one tap (a drag, a held button's repeats, a second tap on what the first opened).
  static std::vector<std::string> EachControl(GameHarness& game);
};
