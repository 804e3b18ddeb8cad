#include "game/SGameMapCtrl.h"

#include "core/SGameCore.h"
#include "core/SPictureRoles.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/SFont.h"
#include "world/SMapObjectType.h"

#include <algorithm>

namespace {

// Picture n of the automap is picture slot 320 + n; slot 320 is the background.
constexpr u32 kAutomapPictures = 320;
constexpr u32 kAutomapPictureCount = 69;
constexpr u32 kMarkerSize = 10;

}  // namespace

void SGameMapCtrl::UpdateLayout() {
  const i32 mode = core ? core->displayMode : 0;
  cellSize = SGameCore::IsLargeMode(mode) ? 16 : SGameCore::IsCompactMode(mode) ? 8 : 10;
  const i32 s = cellSize, d = (s - 10) / 2;
  const i32 offsets[4][2] = {{d, d - s}, {s + d, d}, {d, s + d}, {d - s, d}};
  for (u32 i = 0; i < 4; ++i) {
    sideOffset[i][0] = offsets[i][0];
    sideOffset[i][1] = offsets[i][1];
  }
  halfColumns = (i32(width) / s - 1) / 2;
  halfRows = (i32(height) / s - 1) / 2;
}

void SGameMapCtrl::CentreOrigin() {
  originX = left + cellSize * halfColumns;
  originY = top + cellSize * halfRows;
}

u32 SGameMapCtrl::ArrowIndex(i32 facing) { return u32(PositiveMod(360 - facing, 360) / 90); }

u32 SGameMapCtrl::OnPen(i32 x, i32 y, u32 touching, u32 moving) {
  if (!dragMode) return !touching && !moving && Inside(x, y) ? id : 0;
  if (!Inside(x, y) || !touching) {
    dragging = 0;
    return 0;
  }
  if (!moving) {
    dragging = 1;
    lastX = x;
    lastY = y;
  } else if (dragging) {
    originX += x - lastX;
    originY += y - lastY;
    lastX = x;
    lastY = y;
    MarkDirty();
  }
  return 0;
}

void SGameMapCtrl::DrawCell(i32 cx, i32 cy, i32 sx, i32 sy, i32 clipW, i32 clipH) {
  auto picture = [this](u32 n) { return n < kAutomapPictureCount ? core->Picture(kAutomapPictures + n) : nullptr; };
  const bool inWindow = SMapWindow::Inside(cx, cy);
  if (!inWindow || !game->window.IsCellSeen(cx, cy)) {
    display->DrawImageClipped(picture(0), sx, sy, left, top, clipW, clipH, true);
    if (!inWindow) return;
  } else {
    const u32 i = u32(cx + SMapWindow::kSize * cy);
    const u16* cell = game->scene.IsAllocated() ? game->scene.Cell(i) : nullptr;
    const u16* words = cell ? game->scene.Words(i, 1) : nullptr;
    const u16* lights = cell ? game->scene.Lights(i, 1) : nullptr;
    if (cell) {
      display->DrawImageClipped(picture(cell[RenderCell::kKind]), sx, sy, left, top, clipW, clipH, false);
      if (words[MapRecord::kPick])
        display->DrawImageClipped(picture(words[MapRecord::kPick]), sx, sy, left, top, clipW, clipH, true);
      for (u32 side = 0; side < 4; ++side)
        if (const u16 n = lights[MapRecord::kSidePick + side])
          display->DrawImageClipped(picture(n), sx, sy, left, top, clipW, clipH, true);
    }
    // The borders of a joined tile: columns 7 and 27 and rows 7 and 27 run through the neighbouring tiles
    // too, so the lines between explored tiles show wherever they were explored.
    const bool onColumn = cx == 7 || cx == 27, onRow = cy == 7 || cy == 27;
    if (game->window.IsJoined() && (onColumn || onRow)) {
      namespace R = PictureRole;
      u32 piece = 0;
      if (onColumn && onRow)
        piece = cy == 7 ? (cx == 7 ? R::kAutomapCornerNW : R::kAutomapCornerNE)
                        : (cx == 7 ? R::kAutomapCornerSW : R::kAutomapCornerSE);
      else if (onColumn)
        piece = cx == 7 ? R::kAutomapEdgeWest : R::kAutomapEdgeEast;
      else
        piece = cy == 7 ? R::kAutomapEdgeNorth : R::kAutomapEdgeSouth;
      display->DrawImageClipped(core->Picture(piece), sx, sy, left, top, clipW, clipH, true);
    }
  }
  // Signs on the cell's sides mark the map, seen or not.
  const SMapCell* c = game->window.Cell(cx, cy);
  for (u32 side = 0; side < 4; ++side)
    for (const SMapObjectType* t : {c->sideType[side], c->side2Type[side]})
      if (SMapWindow::TypeNumber(t) == 18)
        markers.Add({sx + sideOffset[side][0], sy + sideOffset[side][1], t->ImageAt(1)});
}

void SGameMapCtrl::Paint() {
  if (!display || !core || !game) return;
  display->TileImage(left, top, width, height, core->Picture(kAutomapPictures));
  const SMapArea* area = game->window.CurrentArea();
  if (area && (area->flags & 1)) {
    if (!font) return;
    font->Select(1, 0x151C34, 0x336FAB);
    if (core->IsCompact())
      font->DrawText(left + 2, top + 2, left + width, top + height, "Denied", 0);
    else
      font->DrawText(left + 10, top + 10, left + width, top + height, "Denied by strong magic.", 0);
    return;
  }
  const i32 s = cellSize;
  if (s <= 0) return;
  const i32 px = game->window.playerX, py = game->window.playerY;
  const i32 fx = game->offsetX > 65535 ? 65535 : game->offsetX, fy = game->offsetY > 65535 ? 65535 : game->offsetY;
  const i32 ox = (s * s - (s * s * fx) / 65536) / s - s / 2;
  const i32 oy = (s * s - (s * s * fy) / 65536) / s - s / 2;
  const i32 clipW = (2 * halfColumns + 1) * s, clipH = (2 * halfRows + 1) * s;
  const i32 x0 = dragMode ? 0 : px - halfColumns - 1, x1 = dragMode ? SMapWindow::kSize - 1 : px + halfColumns + 1;
  const i32 y0 = dragMode ? 0 : py - halfRows - 1, y1 = dragMode ? SMapWindow::kSize - 1 : py + halfRows + 1;
  for (i32 cy = y0; cy <= y1; ++cy)
    for (i32 cx = x0; cx <= x1; ++cx) {
      const i32 sx = originX - (px - cx) * s + ox, sy = originY - (py - cy) * s + oy;
      if (sx + s <= left || sy + s <= top || sx >= left + clipW || sy >= top + clipH) continue;
      DrawCell(cx, cy, sx, sy, clipW, clipH);
    }
  if (dragMode) {
    const u32 arrow = PictureRole::kAutomapArrowNorth + ArrowIndex(game->facing);
    display->DrawImageClipped(core->Picture(arrow), originX + ox, originY + oy, left, top, clipW, clipH, true);
  }
  const SImage* const* images = core->world.images.ImagePointers();
  const u16 capacity = core->world.images.ImageCapacity();
  for (const SAutomapMarker& m : markers) {
    const SImage* image = images && m.picture < capacity ? images[m.picture] : nullptr;
    if (!image) continue;
    // At most 10 x 10 pixels of the picture, inside the clip rectangle.
    const i32 cx0 = std::max<i32>(left, m.x), cy0 = std::max<i32>(top, m.y);
    const i32 cx1 = std::min<i32>(left + clipW, m.x + i32(kMarkerSize));
    const i32 cy1 = std::min<i32>(top + clipH, m.y + i32(kMarkerSize));
    if (cx1 > cx0 && cy1 > cy0) display->DrawImageClipped(image, m.x, m.y, cx0, cy0, cx1 - cx0, cy1 - cy0, true);
  }
  markers.Clear();
  if (!dragMode)
    display->DrawImageRotated(core->Picture(PictureRole::kAutomapArrowNorth), originX + s / 2, originY + s / 2,
                              game->facing);
}
