#include "core/ui/SPicCtrl.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "graphics/SDisplay.h"

#include <algorithm>

namespace {

u32 Channel(u32 word, u32 shift) { return (word >> shift) & 0xFF; }

// The colour i / n of the way from a to b, each channel truncated toward a.
u16 Between(u32 a, u32 b, i32 i, i32 n) {
  u32 rgb[3];
  for (u32 c = 0; c < 3; ++c) {
    const i32 from = i32(Channel(a, 8 * c)), to = i32(Channel(b, 8 * c));
    rgb[c] = u32(std::clamp(from + (to - from) * i / n, 0, 255));
  }
  return MakeColor565(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

void FitPicture(i32 w, i32 h, i32 boxW, i32 boxH, i32& outW, i32& outH) {
  const i32 times = std::min(boxW / w, boxH / h);
  if (times >= 1) {
    outW = w * times;
    outH = h * times;
  } else if (i64(w) * boxH > i64(h) * boxW) {
    outW = boxW;
    outH = std::max<i32>(1, i32(i64(h) * boxW / w));
  } else {
    outH = boxH;
    outW = std::max<i32>(1, i32(i64(w) * boxH / h));
  }
}

void SPicCtrl::SetPictureCentred(const SImage* image) {
  SetPicture(image, 0, 0);
  if (!image || image->width <= 0 || image->height <= 0 || width == 0 || height == 0) return;
  FitPicture(image->width, image->height, width, height, drawWidth, drawHeight);
  drawX = left + (i32(width) - drawWidth) / 2;
  drawY = top + (i32(height) - drawHeight) / 2;
  stretch = drawWidth != image->width || drawHeight != image->height;
}

void SPicCtrl::SetPicture(const SImage* image, u32 keyedFlag, u32 fillFlag) {
  rawPixels = nullptr;
  picture = image;
  keyed = keyedFlag;
  fill = fillFlag;
  fillColour = 0;
  MarkDirty();
  if (!image) return;
  drawX = left;
  drawY = top;
  drawWidth = image->width;
  drawHeight = image->height;
  stretch = 0;
  if (drawWidth == width && drawHeight == height) return;
  stretch = 1;
  if (keepAspect) {
    drawHeight = drawHeight * i32(width) / drawWidth;
    drawWidth = width;
  } else {
    drawWidth = width;
    drawHeight = height;
  }
}

void SPicCtrl::SetRawPixels(const u16* pixels, i32 w, i32 h) {
  rawPixels = pixels;
  picture = nullptr;
  drawWidth = std::max(0, w);
  drawHeight = std::max(0, h);
  MarkDirty();
}

void SPicCtrl::SetFrame(SImageEntry* const* set) {
  framed = 1;
  frameSet = set;
  frameMarginX = frameMarginY = 4;
}

u32 SPicCtrl::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (!touching || moving) return 0;
  return x >= drawX && x < drawX + drawWidth && y >= drawY && y < drawY + drawHeight ? id : 0;
}

void SPicCtrl::Paint() {
  if (!display) return;
  const u16 fillPixel = MakeColor565(fillColour);
  if (rawPixels) {
    display->FillRect(left, top, width, height, fillPixel);
    if (width >= drawWidth && height >= drawHeight) {
      display->DrawRaw16(left, top, rawPixels, drawWidth, drawHeight, 0, 0, drawWidth, drawHeight);
    } else {
      display->DrawRaw16(left, top, rawPixels, drawWidth, drawHeight, (drawWidth - width) / 2, (drawHeight - height) / 2,
                         width, height);
    }
  } else if (picture) {
    if (!keyed) {
      if (fill) display->FillRect(left, top, width, height, fillPixel);
      if (stretch) {
        display->DrawImageScaled(picture, drawX, drawY, drawWidth, drawHeight);
      } else {
        display->DrawImageOpaque(picture, drawX, drawY);
      }
    } else if (!stretch) {
      // A keyed picture is never scaled: one of another size than its control is not drawn.
      display->DrawImage(picture, drawX, drawY);
    }
  } else {
    if (fill) display->FillRect(left, top, width, height, fillPixel);
    const SImage* shown = placeholder ? placeholder : core ? core->Picture(PictureRole::kPlaceholder) : nullptr;
    if (shown) display->DrawImage(shown, left + (width - shown->width) / 2, top + (height - shown->height) / 2);
    return;
  }
  if (framed && core)
    core->DrawPanel9(frameSet, 1, drawX - frameMarginX, drawY - frameMarginY, drawWidth + 2 * frameMarginX,
                     drawHeight + 2 * frameMarginY, 15, 0);
}

void SFillBmpCtrl::SetPicture(const SImage* image) {
  picture = image;
  panel = nullptr;
  MarkDirty();
}

void SFillBmpCtrl::SetPanel(SImageEntry* const* set) {
  panel = set;
  picture = nullptr;
  MarkDirty();
}

void SFillBmpCtrl::Paint() {
  if (!display) return;
  if (!tileMode) {
    if (core) core->DrawPanel3H(panel, keyed, left, top, width, height);
  } else if (picture) {
    if (keyed) {
      display->TileImageKeyed(left, top, width, height, picture);
    } else {
      display->TileImage(left, top, width, height, picture);
    }
  }
}

void SFillColorCtrl::SetColour(u32 colourWord) {
  colour = colourWord;
  MarkDirty();
}

u32 SFillColorCtrl::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (!touching || moving) return 0;
  // The accepted area starts one pixel left of the rectangle.
  return x >= left - 1 && x <= left + width - 1 && y >= top && y <= top + height - 1 ? id : 0;
}

void SFillColorCtrl::Paint() {
  if (display) display->FillRect(left, top, width, height, MakeColor565(colour));
}

void SGradientCtrl::SetDefaults() {
  visible = 1;
  leftColour = 0x5064FA;
  minimum = -100;
  centreColour = 0xBEDCE6;
  centreValue = 0;
  rightColour = 0x64DC64;
  maximum = 100;
  markerColour = 0x0000A0;
}

void SGradientCtrl::Paint() {
  if (!display || !(visible & 1)) return;
  const i32 x = left, y = top, w = width, h = height;
  if (w > 4 && h > 4) display->DrawFrame(x + 2, y + 2, w - 4, h - 4);
  const i32 half = (w - 4) / 2;
  const i32 columnHeight = std::max(0, h - 6);
  for (i32 i = 0; i < half; ++i) {
    display->FillRect(x + 2 + i, y + 3, 1, columnHeight, Between(leftColour, centreColour, i, half));
    display->FillRect(x + 2 + half + i, y + 3, 1, columnHeight, Between(centreColour, rightColour, i, half));
  }
  const i32 w2 = w / 2;
  i32 m;
  if (value <= minimum) {
    m = x;
  } else if (value < centreValue) {
    m = x + w2 - 2 - i32((i64(w2 - 3) * value) / (i64(minimum) - centreValue));
  } else if (value == centreValue) {
    m = x + w2 - 2;
  } else if (value < maximum) {
    m = x + w2 - 2 + i32((i64(w2 - 3) * value) / (i64(maximum) - centreValue));
  } else {
    m = x + w - 4;
  }
  const u16 marker = MakeColor565(markerColour);
  display->FillRect(m, y, 4, 1, marker);
  display->FillRect(m + 1, y + 1, 2, std::max(0, h - 2), marker);
  display->FillRect(m, y + h - 2, 4, 1, marker);
}

void SBorderCtrl::SetFrame(SImageEntry* const* set, u32 fillFlag, u32 fillColourWord, u32 sideMask) {
  frameSet = set;
  fill = fillFlag;
  fillColour = fillColourWord;
  sides = sideMask;
}

void SBorderCtrl::Paint() {
  if (core) core->DrawPanel9(frameSet, keyed, left, top, width, height, sides | (fill ? 128 : 0), fillColour);
}

// A frame lies outside the rectangle: a change may leave the old one beneath.
bool SPicCtrl::PaintsWhole() const { return !framed && (rawPixels || (fill && (!picture || !keyed))); }

SCtrl::Area SPicCtrl::PaintedArea() const {
  Area area = SCtrl::PaintedArea();
  if (!picture && !rawPixels) return area;
  if (picture && !rawPixels) area.Add({drawX, drawY, drawX + drawWidth, drawY + drawHeight});
  if (framed)
    area.Add({drawX - frameMarginX, drawY - frameMarginY, drawX + drawWidth + frameMarginX,
              drawY + drawHeight + frameMarginY});
  return area;
}

bool SFillBmpCtrl::PaintsWhole() const { return tileMode && picture && !keyed; }

bool SFillColorCtrl::PaintsWhole() const { return true; }
