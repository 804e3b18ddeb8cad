// Records every boxed text the game draws while it lives: the text, its colours, the box it was drawn in and
// where its lines landed, whether it was cut or wrapped, and the control and dialog that drew it. Attach it
// to a booted harness; what was drawn before is not seen.
//
//   TextRecord texts(game);
//   game.setState(kStateSettings);
//   for (const TextRecord::Text& t : texts.texts()) if (t.cut) ADD_FAILURE() << t.describe();
#pragma once
#include "graphics/STextObserver.h"
#include "os/Types.h"

#include <string>
#include <vector>

class GameHarness;
class SCtrl;
class SDialog;

class TextRecord : public STextObserver {
 public:
  struct Text {
    std::string text;                                          // the whole text asked for
    u32 flags = 0;                                             // the font's: 1 single line, 2 right-aligned, 4 centred
    i32 x1 = 0, y1 = 0, x2 = 0, y2 = 0;                        // the box given to the font
    i32 left = 0, top = 0, right = 0, bottom = 0;              // where the drawn lines lie (right and bottom exclusive)
    i32 inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;  // where its pixels lie (all 0: none drawn)
    i32 lines = 0, widest = 0, lineHeight = 0, font = 0;
    u32 textColour = 0, edgeColour = 0;  // the words selected (0x00BBGGRR)
    u32 rgb = 0;                         // the glyphs' body colour as shown, 0xRRGGBB (from RGB565)
    u16 shade = 0;                       // the same, RGB565
    bool cut = false;                    // part of the text (not blanks) was not drawn
    u32 presents = 0;                    // frames presented before it was drawn

    // Who drew it: the control painting at the time (null when a dialog drew it itself: then `dialog` is
    // the deepest dialog open). Pointers hold only while the screen stands; the words below stay.
    const SCtrl* control = nullptr;
    const SDialog* dialog = nullptr;
    std::string controlType, dialogType;  // class names, empty when none
    u32 controlId = 0, layoutId = 0;
    i32 cx = 0, cy = 0, cw = 0, ch = 0;  // the control's rectangle
    bool controlVisible = false;

    bool singleLine() const { return flags & 1; }
    bool wrapped() const { return lines > 1; }
    // The drawn lines leave the box (a word wider than the box, or the first line taller than it).
    bool overflowsBox() const { return lines > 0 && (left < x1 || right > x2 || top < y1 || bottom > y2); }
    // The drawn lines leave the control's rectangle; false without a control.
    bool overflowsControl() const;
    // One line naming the text, its box, its colour and who drew it.
    std::string describe() const;
  };

  explicit TextRecord(GameHarness& game);
  ~TextRecord() override;
  TextRecord(const TextRecord&) = delete;
  TextRecord& operator=(const TextRecord&) = delete;

  const std::vector<Text>& texts() const { return texts_; }
  void clear() { texts_.clear(); }
  // The texts drawn since the last clear() by one control, or by any control of one dialog.
  std::vector<Text> byControl(const SCtrl* control) const;
  std::vector<Text> byDialog(const SDialog* dialog) const;

  void OnText(const STextDrawn& drawn) override;

 private:
  GameHarness& game_;
  std::vector<Text> texts_;
};
