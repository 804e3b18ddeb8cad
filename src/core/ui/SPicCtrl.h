// Controls that draw pictures, colours and frames: SPicCtrl (one picture, scaled to the control unless it
// has the control's size, optionally framed, or raw pixels instead), SFillBmpCtrl (a tiled picture or a
// nine-piece panel), SFillColorCtrl (a solid colour), SGradientCtrl (a two-part colour scale with a value
// marker) and SBorderCtrl (a nine-piece frame).
#pragma once
#include "core/ui/SCtrl.h"

struct SImage;
struct SImageEntry;

class SPicCtrl : public SCtrl {
 public:
  SPicCtrl() { inputMask = kInputPen; }

  // Shows the picture (nothing changes for a null one): drawn where and as large as it fits the control.
  void SetPicture(const SImage* image, u32 keyedFlag, u32 fillFlag);
  // Shows the picture centred in the control at the largest whole multiple of its size that fits (shrunk,
  // keeping its shape, when even one does not): a picture of another shape is never distorted.
  void SetPictureCentred(const SImage* image);
  // Shows width x height RGB565 pixels instead of a picture; the caller keeps them.
  void SetRawPixels(const u16* pixels, i32 w, i32 h);
  // A nine-piece frame 4 pixels outside the picture.
  void SetFrame(SImageEntry* const* set);

  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;
  bool PaintsWhole() const override;
  // The picture may be drawn larger than the control (a scaled picture keeping its shape), and the frame
  // lies its margin outside the picture.
  Area PaintedArea() const override;

  const u16* rawPixels = nullptr;
  const SImage* picture = nullptr;
  u32 keyed = 0;                        // drawn with the colour key, and never scaled
  u32 keepAspect = 0;                   // a scaled picture keeps its aspect ratio
  u32 stretch = 0;                      // drawn scaled to the draw size
  const SImage* placeholder = nullptr;  // shown without picture; null: the game core's placeholder
  i32 drawX = 0, drawY = 0, drawWidth = 0, drawHeight = 0;
  u32 fill = 0;
  u32 fillColour = 0;  // 0x00BBGGRR
  u32 framed = 0;
  SImageEntry* const* frameSet = nullptr;
  i32 frameMarginX = 0, frameMarginY = 0;
};

// The size a w x h picture is shown at in a box of boxW x boxH: a whole multiple of its size when one fits,
// else shrunk to the box; either way the shape stays.
void FitPicture(i32 w, i32 h, i32 boxW, i32 boxH, i32& outW, i32& outH);

class SFillBmpCtrl : public SCtrl {
 public:
  void SetPicture(const SImage* image);
  void SetPanel(SImageEntry* const* set);
  void Paint() override;
  bool PaintsWhole() const override;

  SImageEntry* const* panel = nullptr;
  u32 keyed = 0;
  u32 tileMode = 0;  // 1: tile the picture; 0: draw the panel
  const SImage* picture = nullptr;
};

class SFillColorCtrl : public SCtrl {
 public:
  void SetColour(u32 colourWord);
  // Reports the id on a pen-down inside (the owner sets input mask 2 to make it clickable).
  u32 OnPen(i32 x, i32 y, u32 touching, u32 moving) override;
  void Paint() override;
  bool PaintsWhole() const override;

  u32 colour = 0;
};

class SGradientCtrl : public SCtrl {
 public:
  void SetDefaults();
  // No repaint is asked for: the owner repaints.
  void SetValue(i32 v) { value = v; }
  void Paint() override;

  u32 visible = 0;  // bit 0
  u32 leftColour = 0;
  i32 minimum = 0;
  u32 centreColour = 0;
  i32 centreValue = 0;
  u32 rightColour = 0;
  i32 maximum = 0;
  u32 markerColour = 0;
  i32 value = 0;
};

class SBorderCtrl : public SCtrl {
 public:
  void SetFrame(SImageEntry* const* set, u32 fillFlag, u32 fillColourWord, u32 sideMask);
  void Paint() override;

  SImageEntry* const* frameSet = nullptr;
  u32 fill = 0;
  u32 keyed = 0;
  u32 fillColour = 0;
  u32 sides = 0;  // 1 top, 2 left, 4 bottom, 8 right
};
