// A text that scrolls upward a pixel at a time on the ticks, its lines fading in at the bottom and out at
// the top; it reports when the last line has scrolled in and two seconds have passed (the scene screen).
#pragma once
#include "core/ui/SCtrl.h"
#include "foundation/SString.h"
#include "foundation/SValueArray.h"

class SSceneTextCtrl : public SCtrl {
 public:
  static constexpr u32 kFinishDelay = 2000;  // milliseconds after the last line has scrolled in

  SSceneTextCtrl() { inputMask = kInputTick | kInputPen; }

  // Begins the text: scene colours, the font of the display mode, the lines, half a line scrolled in.
  // Centred, a text shorter than the box stops scrolling when it stands in the middle of the box.
  void Start(const char* text, bool centred = false);
  // Appends the text's lines wrapped to the control's width.
  void AddText(const char* text);
  void SetStepTime(u32 ms) { stepTime = ms; }
  void Pause(bool on);

  // Scrolls and draws; always 0. The control draws only from its ticks, after its owner repainted.
  u32 OnTick(u32 frameCounter) override;
  // A touch on the text reports the control's id (the scene turns its page on it).
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;

  u32 edgeColour = 0;
  u32 textColour = 0;
  i32 position = 0;
  i32 endPosition = 0;
  u32 stepTime = 0;
  u32 lastStep = 0;
  i32 lineHeight = 0;
  u32 finished = 0;
  u32 ending = 0;
  u32 endTime = 0;
  u32 running = 1;
  u32 fontNumber = 1;
  u32 centred = 0;
  SValueArray<SString> lines{4};

  // The lines where the scroll stands, over whatever lies beneath (what each step of the ticks draws).
  void DrawLines();
  // Draws nothing (the lines draw only from the ticks): its owner painted over them, and linesShown says so.
  void Paint() override { linesShown = 0; }

  u32 linesShown = 0;  // 1 while the lines the last step drew stand on the screen
};

// A one-line text entry with a blinking caret (the on-screen keyboard's text line).
class STextCursorCtrl : public SCtrl {
 public:
  static constexpr u32 kTextSize = 100;  // bytes, the terminator included
  static constexpr u32 kBlinkTime = 600;

  STextCursorCtrl() { inputMask = kInputTick; }

  void SetDefaults();
  // Copies at most 99 characters, and never more than the maximum length.
  void SetText(const char* value);
  // Refused when the text is full or would reach the control's width.
  void AddChar(char c);
  void Backspace();
  const char* Text() const { return text; }

  u32 OnTick(u32 frameCounter) override;
  void Paint() override;
  bool PaintsWhole() const override { return true; }

  char text[kTextSize] = {};
  i32 maxLength = 0;
  u32 fontNumber = 0;
  u32 textColour = 0;
  u32 backgroundColour = 0;
  u16 caretColour = 0;  // RGB565
  u32 caretShown = 0;
  u32 lastBlink = 0;

 private:
  u32 Capacity() const;
  void Touched();
};
