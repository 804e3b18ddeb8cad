// What the font tells an observer about each boxed text it draws (tests record it to judge fitting and
// contrast): the box asked for, the colours, where the drawn lines lie and whether part of the text was left
// out. Nothing is reported while no observer is set.
#pragma once
#include "os/Types.h"

struct STextDrawn {
  const char* text = nullptr;          // the whole text asked for
  u32 flags = 0;                       // as DrawText's: 1 single line, 2 right-aligned, 4 centred
  i32 x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // the box
  i32 font = 0;                        // index of the font used
  i32 lineHeight = 0;
  u32 textColour = 0, edgeColour = 0;            // the selected words (0x00BBGGRR)
  u16 shade = 0;                                 // the RGB565 colour of the glyphs' body
  i32 lines = 0;                                 // lines drawn
  i32 left = 0, top = 0, right = 0, bottom = 0;  // the extent of the drawn lines (right and bottom exclusive)
  i32 widest = 0;                                // the widest drawn line, in pixels
  // Where the glyphs' pixels lie (right and bottom exclusive; all 0 when no pixel was drawn): the lines'
  // extent above holds each glyph's whole cell, blank columns and rows included.
  i32 inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;
  bool cut = false;  // characters other than blanks were not drawn (the box ended before the text)
};

class STextObserver {
 public:
  virtual ~STextObserver() = default;
  virtual void OnText(const STextDrawn& drawn) = 0;
};
