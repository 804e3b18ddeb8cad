// The game's own small controls: STopicButtonCtrl (a bulleted text button for conversation topics and menu
// entries), SItemCtrl (one item cell with its picture, stack count and marker), SHPSPCtrl (the hit-point or
// spell-point gauge of three picture pieces) and SGameWorldMapCtrl (the draggable world map with the
// player's position and a target marker).
#pragma once
#include "core/ui/SCtrl.h"
#include "foundation/SString.h"

struct SImage;
struct SImageEntry;
struct SPaletteEntry;

class STopicButtonCtrl : public SCtrl {
 public:
  static constexpr u8 kBullet = 148;
  static constexpr u32 kYellow = 0x00FFFF;  // the highlight colour word

  STopicButtonCtrl() { inputMask = kInputKeys | kInputPen; }

  // Caption, command code, rectangle (its height follows the caption), colour, shade and hot key (0 none);
  // the highlight colour is yellow.
  void Setup(const char* text, u32 code, i32 x, i32 y, i32 w, i32 h, u32 colourWord, u32 shade, u16 key);
  // The same without position and hot key, with the highlight colour given.
  void SetText(const char* text, u32 code, u32 colourWord, u32 highlight, u32 shade);
  // A null caption keeps the old one; the caption is laid out again.
  void SetCaption(const char* text);

  u32 OnKey(u32 key) override;
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;

  SString caption;
  u32 commandCode = 0;
  i32 widest = 0, lineCount = 0;
  i32 bulletWidth = 0;
  u16 hotKey = 0;
  i32 fontNumber = 1;
  u32 colour = 0, highlightColour = 0, shadeColour = 0;
  // A ground drawn behind the bullet and caption while the button is the chosen one (latched), for a light
  // highlight on a light page; the owner repaints the page when the choice moves.
  bool groundWhenLit = false;
  u32 litGround = 0;

 private:
  // Measures the caption in the width left of the bullet; the control's height becomes its lines.
  void Layout(i32 bulletExtra);
};

class SItemCtrl : public SCtrl {
 public:
  // The picture (made resident on first use) with a palette of the image cache (null: its own), the
  // stack count; the cell is 50 x 50 (40 x 40 on compact modes), background 0, no marker.
  void SetItem(SImageEntry* picture, SPaletteEntry* palette, u32 count);
  void Paint() override;

  SImageEntry* picture = nullptr;
  SPaletteEntry* palette = nullptr;
  i32 cellWidth = 0, cellHeight = 0;
  i32 pictureWidth = 0, pictureHeight = 0;
  u32 count = 0;
  u32 backgroundColour = 0;  // 0x00BBGGRR
  u32 marker = 0;
};

class SHPSPCtrl : public SCtrl {
 public:
  // Vertical (narrower than tall) or horizontal pieces for hit points or spell points; full.
  void SetStyle(bool hitPoints);
  // The fill for a percentage: outside 0..100 it is taken as the nearer end, and 0 as 1.
  void SetPercent(i32 percent);
  void Paint() override;

  // The moving cap, the body and the fixed cap.
  const SImage* pieces[3] = {};
  u32 horizontal = 0;
  i32 pieceLength[3] = {};  // heights (vertical) or widths (horizontal)
  u32 backgroundColour = 0;
  i32 fillPosition = 0;  // the moving cap's y, or the right end
  i32 fillLength = 0;
  i32 shown = 100;  // the percentage the fill stands for

 private:
  i32 Track() const;
};

class SGameWorldMapCtrl : public SCtrl {
 public:
  static constexpr u32 kNoTarget = 0xFFFFFFFF;
  static constexpr i32 kTilePixels = 21;

  SGameWorldMapCtrl() { inputMask = kInputPen; }

  // The current world's map picture and the two markers; the map centred (offsets not below 0).
  void Setup();
  void SetTarget(u32 column, u32 row);

  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;

  i32 offsetX = 0, offsetY = 0;  // the map's top-left relative to the control
  const SImage* map = nullptr;
  i32 mapWidth = 0, mapHeight = 0;
  const SImage* playerMarker = nullptr;
  i32 playerWidth = 0, playerHeight = 0;
  const SImage* targetMarker = nullptr;
  i32 targetWidth = 0, targetHeight = 0;
  u32 dragging = 0;
  i32 lastX = 0, lastY = 0;
  u32 targetColumn = kNoTarget, targetRow = kNoTarget;

 private:
  bool Inside(i32 x, i32 y) const { return x >= left && y >= top && x < left + width && y < top + height; }
};
