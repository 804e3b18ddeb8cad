#include "core/ui/SGameCtrls.h"

#include "core/SGameCore.h"
#include "core/ui/SDialog.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"

#include <algorithm>

// ---- topic button

void STopicButtonCtrl::Layout(i32 bulletExtra) {
  if (!font) return;
  font->Select(fontNumber, colour, shadeColour);
  bulletWidth = font->GlyphWidth(kBullet) + bulletExtra;
  font->MeasureText(caption.CStr(), i32(width) - bulletWidth, &widest, &lineCount);
  height = u16(std::max(0, lineCount) * (font->LineHeight() + 1));
}

void STopicButtonCtrl::Setup(const char* text, u32 code, i32 x, i32 y, i32 w, i32 h, u32 colourWord, u32 shade,
                             u16 key) {
  caption.Assign(text ? text : "");
  commandCode = code;
  SetRect(u16(x), u16(y), u16(w), u16(h));
  colour = colourWord;
  shadeColour = shade;
  hotKey = key;
  highlightColour = kYellow;
  fontNumber = 1;
  Layout(core && core->IsCompact() ? 2 : 4);
}

void STopicButtonCtrl::SetText(const char* text, u32 code, u32 colourWord, u32 highlight, u32 shade) {
  caption.Assign(text ? text : "");
  commandCode = code;
  colour = colourWord;
  highlightColour = highlight;
  shadeColour = shade;
  hotKey = 0;
  fontNumber = 1;
  Layout(core && core->IsCompact() ? 2 : 4);
}

void STopicButtonCtrl::SetCaption(const char* text) {
  if (text) caption.Assign(text);
  Layout(4);
  MarkDirty();
}

u32 STopicButtonCtrl::OnKey(u32 key) { return IsEnabled() && hotKey && hotKey == key ? commandCode : 0; }

u32 STopicButtonCtrl::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  const bool inside = x >= left && y >= top && x < left + width && y < top + height;
  if (!inside || !IsEnabled()) {
    if (IsPressed()) SetPressed(false);
    return 0;
  }
  if (touching) {
    if (!IsPressed()) SetPressed(true);
    return 0;
  }
  if (!IsPressed()) return 0;
  SetPressed(false);
  return commandCode;
}

void STopicButtonCtrl::Paint() {
  if (!font) return;
  const bool lit = IsEnabled() && (IsPressed() || IsLatched());
  // Only the chosen one: a press that slides off is not repainted with the page.
  if (IsLatched() && IsEnabled() && groundWhenLit && display)
    display->FillRect(left, top, std::min(i32(width), bulletWidth + widest + 2), height, MakeColor565(litGround));
  font->Select(fontNumber, lit ? highlightColour : colour, shadeColour);
  const char bullet[2] = {char(kBullet), 0};
  font->DrawText(left, top, left + bulletWidth + 1, top + height, bullet, 0);
  font->DrawText(left + bulletWidth, top, left + width, top + height, caption.CStr(), 0);
}

// ---- item cell

void SItemCtrl::SetItem(SImageEntry* entry, SPaletteEntry* paletteEntry, u32 n) {
  picture = entry;
  palette = paletteEntry;
  if (picture && !picture->IsResident() && core) core->world.images.LoadImage(picture);
  pictureWidth = pictureHeight = 0;
  if (picture && picture->image) {
    pictureWidth = picture->image->width;
    pictureHeight = picture->image->height;
  }
  const bool compact = core && core->IsCompact();
  cellWidth = cellHeight = compact ? 40 : 50;
  count = n;
  backgroundColour = 0;
  marker = 0;
  MarkDirty();
}

void SItemCtrl::Paint() {
  if (!display || !core) return;
  const SImage* image = picture ? picture->image : nullptr;
  if (i32(width) > cellWidth || i32(height) > cellHeight || !image)
    display->FillRect(left, top, width, height, MakeColor565(backgroundColour));
  const SImage* empty = core->Picture(277);
  const u16* colours = palette && palette->IsResident() ? palette->colours : nullptr;
  const u32 entries = colours ? palette->ColourCount() : 0;
  const bool compact = core->IsCompact(), large = core->IsLarge();
  if (compact) {
    if (image)
      display->DrawIcon40(image, colours, entries, left, top);
    else
      display->DrawImageOpaque(empty, left, top);
  } else {
    const i32 x = large ? left + 5 : left + (i32(width) - cellWidth) / 2;
    const i32 y = large ? top + 3 : top + (i32(height) - cellHeight) / 2;
    if (image)
      display->DrawImageOpaquePal(image, colours, entries, x, y);
    else
      display->DrawImageOpaque(empty, x, y);
  }
  if (!image) return;
  if (count > 1 && font) {
    SString text;
    text.Format("%u", count);
    SGameCore::ConvertNumberGlyphsAlt(text);
    if (compact)
      font->DrawText(left, top + 25, left + width - 3, top + 50, text.CStr(), 2);
    else if (large)
      font->DrawText(left, top + 38, left + 60, top + 53, text.CStr(), 2);
    else
      font->DrawText(left, top + 35, left + cellWidth - 3, top + 50, text.CStr(), 2);
  }
  if (marker) display->DrawImage(core->Picture(278), large ? left + 10 : left, top);
}

// ---- hit and spell point gauge

i32 SHPSPCtrl::Track() const { return (horizontal ? i32(width) : i32(height)) - pieceLength[0] - pieceLength[2]; }

void SHPSPCtrl::SetStyle(bool hitPoints) {
  horizontal = width < height ? 0 : 1;
  const u32 first = (horizontal ? 307 : 301) + (hitPoints ? 0 : 3);
  for (u32 i = 0; i < 3; ++i) {
    pieces[i] = core ? core->Picture(first + i) : nullptr;
    pieceLength[i] = pieces[i] ? (horizontal ? pieces[i]->width : pieces[i]->height) : 0;
  }
  backgroundColour = 0;
  fillPosition = horizontal ? left + width : top;
  fillLength = Track();
  MarkDirty();
}

void SHPSPCtrl::SetPercent(i32 percent) {
  // A percentage from a broken maximum or a script must not draw outside the control.
  const i32 p = std::clamp(percent, 0, 100);
  shown = p;
  fillLength = Track() * (p == 0 ? 1 : p) / 100;
  if (fillLength < 0) fillLength = 0;
  if (horizontal)
    fillPosition = left + pieceLength[0] + pieceLength[2] + fillLength;
  else
    fillPosition = top + Track() - fillLength;
  MarkDirty();
}

void SHPSPCtrl::Paint() {
  if (!display) return;
  display->FillRect(left, top, width, height, MakeColor565(backgroundColour));
  if (fillLength == 0) return;
  if (horizontal) {
    display->DrawImageOpaque(pieces[2], left, top);
    if (pieces[1]) display->DrawImagePartOpaque(pieces[1], left + pieceLength[2], top, 0, 0, fillLength, height);
    display->DrawImageOpaque(pieces[0], left + pieceLength[2] + fillLength, top);
  } else {
    display->DrawImageOpaque(pieces[0], left, fillPosition);
    if (pieces[1])
      display->DrawImagePartOpaque(pieces[1], left, fillPosition + pieceLength[0], 0, 0, width, fillLength);
    display->DrawImageOpaque(pieces[2], left, top + i32(height) - pieceLength[2]);
  }
}

// ---- world map

void SGameWorldMapCtrl::Setup() {
  map = nullptr;
  mapWidth = mapHeight = 0;
  if (core) {
    const SWorldModule* module = core->CurrentWorld();
    if (module && module->mapPicture) map = module->mapPicture->image;
    playerMarker = core->Picture(395);
    targetMarker = core->Picture(396);
  }
  if (map) {
    mapWidth = map->width;
    mapHeight = map->height;
  }
  playerWidth = playerMarker ? playerMarker->width : 0;
  playerHeight = playerMarker ? playerMarker->height : 0;
  targetWidth = targetMarker ? targetMarker->width : 0;
  targetHeight = targetMarker ? targetMarker->height : 0;
  offsetX = std::max(0, (i32(width) - mapWidth) / 2);
  offsetY = std::max(0, (i32(height) - mapHeight) / 2);
  MarkDirty();
}

void SGameWorldMapCtrl::SetTarget(u32 column, u32 row) {
  targetColumn = column;
  targetRow = row;
  MarkDirty();
}

u32 SGameWorldMapCtrl::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (!Inside(x, y)) {
    dragging = 0;
    return 0;
  }
  if (!dragging) {
    if (touching) {
      lastX = x;
      lastY = y;
      if (owner) owner->OnCommand(id);
      if (!moving) dragging = 1;
    }
    return 0;
  }
  if (!touching) {
    dragging = 0;
    return 0;
  }
  offsetX += x - lastX;
  offsetY += y - lastY;
  lastX = x;
  lastY = y;
  MarkDirty();
  return 0;
}

void SGameWorldMapCtrl::Paint() {
  if (!display || !core) return;
  display->TileImage(left, top, width, height, core->Picture(320));
  const i32 ox = left + offsetX, oy = top + offsetY;
  display->DrawImageClipped(map, ox, oy, left, top, width, height, false);
  if (const SWorldModule* module = core->CurrentWorld())
    display->DrawImageClipped(playerMarker, ox + module->worldX - 2, oy + module->worldY - playerHeight + 2, left, top,
                              width, height, true);
  if (targetColumn != kNoTarget && targetRow != kNoTarget)
    display->DrawImageClipped(targetMarker, ox + kTilePixels * i32(targetColumn), oy + kTilePixels * i32(targetRow),
                              left, top, width, height, true);
}
