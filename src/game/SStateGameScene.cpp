// Scene preparation: the tables the renderer draws from, kept in step with the window of cells. The
// whole scene is built on map entry; single cells and wall sides are rebuilt when they change, and the
// cells near the player are refreshed every frame (animated objects, doors, monsters, light).
#include "core/SGameCore.h"
#include "foundation/TimeUtil.h"
#include "game/SStateGame.h"
#include "graphics/SDisplay.h"
#include "graphics/renderer/SRenderer.h"
#include "script/SScriptContext.h"
#include "world/SMapObjectType.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr i32 kSize = SMapWindow::kSize;
constexpr u16 kGroundDefault = 54, kGroundWater = 59, kGroundOther = 60;
constexpr u16 kLightDim = 64;  // how much darker the bright cells of a dark map are

// The cells the automap marks in front of the player, facing north: five columns of three, nearest
// first; (0, 0) entries are the player's own cell and are passed over.
constexpr i32 kCone[5][3][2] = {{{0, -1}, {0, -2}, {0, -3}},
                                {{-1, -1}, {-1, -2}, {-1, -3}},
                                {{1, -1}, {1, -2}, {1, -3}},
                                {{0, 0}, {-2, -2}, {-2, -3}},
                                {{0, 0}, {2, -2}, {2, -3}}};

u8 Number(const SMapObjectType* t) { return SMapWindow::TypeNumber(t); }
u16 Pal(const SPaletteEntry* e) { return SMapObjectType::PaletteId(e); }
bool Absent(const SMapObjectInst* o) { return !o || o->IsActive(); }
i32 Wrap360(i32 a) { return PositiveMod(a, 360); }

// The cone offset of column c, row r for a facing index (0 north, 1 west, 2 south, 3 east).
void ConeOffset(i32 facingIndex, i32 c, i32 r, i32& dx, i32& dy) {
  const i32 nx = kCone[c][r][0], ny = kCone[c][r][1];
  switch (facingIndex & 3) {
    case 0: dx = nx, dy = ny; break;
    case 1: dx = ny, dy = nx; break;
    case 2: dx = -nx, dy = -ny; break;
    default: dx = -ny, dy = -nx; break;
  }
}

}  // namespace

// ---- entering a map

void SStateGame::MakeResident(u16 image) {
  if (!core || !image) return;
  SImageCache& images = core->world.images;
  if (SImageEntry* e = images.GetImageEntry(image); e && !e->IsResident()) images.LoadImage(e);
}

void SStateGame::RebuildAnimatedTypes() {
  animatedTypes.Clear();
  animatedFrames.Clear();
  if (!core) return;
  for (SMapObjectType* t : core->world.mapObjectTypes.types)
    if (t && t->classNumber == 3 && t->frameCountA > 1 && animatedTypes.Add(t)) animatedFrames.Add(0);
}

void SStateGame::MarkWindowResources() {
  if (!core) return;
  SSoundTable& sounds = core->world.sounds;
  for (const SMapWindow::SSlot& slot : window.slots) {
    if (!slot.area) continue;
    for (void* t : {slot.area->textureType, slot.area->ceilingType})
      if (t) static_cast<SMapObjectType*>(t)->MarkNeeded(&sounds);
  }
  if (SWorldModule* module = core->CurrentWorld(); module && module->waterType)
    static_cast<SMapObjectType*>(module->waterType)->MarkNeeded(&sounds);
  // Types of the cells marked themselves while the window was read; their pictures are made resident
  // here, every other type's released.
  SImageCache& images = core->world.images;
  for (SMapObjectType* t : core->world.mapObjectTypes.types) {
    if (!t) continue;
    if (t->needed || t == groupType)
      t->LoadImages(images);
    else
      t->ReleaseImages(images);
  }
  // The monsters' base types the window's maps place: their pictures resident, the others' released.
  core->world.monsters.UpdateResidency(images);
  // The cells' palettes stay resident once used.
  auto palette = [&images](SPaletteEntry* e) {
    if (e && !e->IsResident()) images.LoadPalette(e);
  };
  for (i32 i = 0; i < SMapWindow::kCells && window.IsAllocated(); ++i) {
    const SMapCell& c = window.cells[i];
    for (SPaletteEntry* e : {c.base1Palette, c.base2Palette, c.centrePalette, c.stylePalette}) palette(e);
    for (u32 s = 0; s < 4; ++s) {
      palette(c.sidePalette[s]);
      palette(c.side2Palette[s]);
    }
    const SMapCellFaces& f = window.faces[i];
    for (SPaletteEntry* e : {f.palette0, f.centrePalette, f.palette3}) palette(e);
    for (u32 s = 0; s < 4; ++s) {
      palette(f.sidePalette[s]);
      palette(f.side2Palette[s]);
    }
  }
  for (const SMapWindow::SSlot& slot : window.slots)
    if (slot.area) {
      palette(slot.area->texturePalette);
      palette(slot.area->ceilingPalette);
    }
}

bool SStateGame::EnterMap() {
  SWorldModule* module = core ? core->CurrentWorld() : nullptr;
  SMapArea* map = module ? module->currentMap : nullptr;
  if (core) {
    core->world.sounds.ClearNeededFlags();
    core->world.mapObjectTypes.MarkAlwaysNeeded(&core->world.sounds);
    core->world.monsters.ClearNeededMarks();
  }
  RebuildAnimatedTypes();
  // Missiles and blows under way belong to the window that is left.
  for (i32 i = i32(actions.Count()) - 1; i >= 0; --i)
    if (actions[i]->kind == kActionMissile || actions[i]->kind == kActionMonsterAttack) delete actions.RemoveAt(i);
  scene.Reset();
  // The fights of the old window end with it.
  ClearFightList();
  fightFlag = standby = actCooldown = 0;
  const bool filled = window.Enter(map);
  MarkWindowResources();
  if (core) {
    core->world.sounds.ReleaseUnneededSounds();
    core->world.sounds.LoadNeededSounds();
  }
  // Placed objects take their kinds' starting state.
  for (i32 y = 0; y < kSize && window.IsAllocated(); ++y)
    for (i32 x = 0; x < kSize; ++x) {
      SMapCell& c = *window.Cell(x, y);
      SMapCellFaces& f = *window.Faces(x, y);
      auto init = [&](SMapObjectType* t, u8 id) {
        if (t && id)
          if (SMapObjectInst* o = window.FindBlockObjectById(x, y, id)) t->InitInstance(o);
      };
      init(c.centreType, c.centreObjectId);
      init(f.centreType, f.centreObjectId);
      for (u32 s = 0; s < 4; ++s) {
        init(c.sideType[s], c.sideObjectId[s]);
        init(f.sideType[s], f.sideObjectId[s]);
      }
    }
  UpdateSkyAndLight(true);
  window.ResolveCellObjects();
  if (map) RebuildAllCells();
  window.ClampPlayerIntoTile();
  BuildMonsterSprites();
  CollectVisibleCells(true, true);
  window.StoreWorldPosition();
  PublishView();
  return filled;
}

void SStateGame::RebuildAllCells() {
  if (!window.CurrentArea()) return;
  for (i32 y = 0; y < kSize; ++y)
    for (i32 x = 0; x < kSize; ++x) {
      RebuildCell(x, y);
      RebuildCellLayer2(x, y);
    }
}

void SStateGame::RebuildChangedCells() {
  SScriptContext* context = core ? core->scriptContext : nullptr;
  if (!context) return;
  for (const SChangedObject& c : context->changedObjects) {
    if (c.side < 0) {
      if (c.layer == 2)
        RebuildCellLayer2(c.x, c.y);
      else
        RebuildCell(c.x, c.y);
    } else {
      const i32 side = c.side & 3;
      if (c.layer == 2)
        RebuildSideLayer2(c.x + SMapWindow::kDx[side], c.y + SMapWindow::kDy[side], (side + 2) % 4);
      else
        RebuildSide(c.x + SMapWindow::kDx[side], c.y + SMapWindow::kDy[side], (side + 2) % 4);
    }
  }
  context->changedObjects.Clear();
}

// ---- connection masks

u32 SStateGame::ApplyCornerRules(u32 mask) {
  for (u32 k = 0; k < 4; ++k) {
    const u32 pair = u32(SGameCore::kDiagonalSides[k]);
    if ((mask & pair) != pair) mask &= ~u32(SGameCore::kDiagonalBit[k]);
  }
  return mask & 255;
}

u32 SStateGame::BaseMask(i32 x, i32 y, const SMapObjectType* type, const SPaletteEntry* palette,
                         const SMapObjectType* second) const {
  u32 mask = 0;
  for (u32 k = 0; k < 8; ++k) {
    const i32 nx = x + SGameCore::kDirX[k], ny = y + SGameCore::kDirY[k];
    const SMapCell* n = SMapWindow::Inside(nx, ny) ? &window.cells[nx + kSize * ny] : nullptr;
    if (!n) continue;
    bool same = (n->base1Type == type && n->base1Palette == palette && n->base1Type2 == second) ||
                (n->base2Type == type && n->base2Palette == palette && n->base2Type2 == second);
    // Beneath its bases every cell lies on its block's default ground.
    if (!same) {
      SMapObjectType* t = nullptr;
      SPaletteEntry* p = nullptr;
      window.DefaultBaseSlot(nx, ny, t, p);
      same = t && t == type && p == palette;
    }
    if (same) mask |= u32(SGameCore::kDirBit[k]);
  }
  return mask;
}

u32 SStateGame::WallMask(i32 x, i32 y) const {
  const SMapCell& c = window.cells[x + kSize * y];
  u32 mask = 0;
  for (u32 k = 0; k < 8; ++k) {
    const i32 nx = x + SGameCore::kDirX[k], ny = y + SGameCore::kDirY[k];
    if (!SMapWindow::Inside(nx, ny)) continue;
    const SMapCell& n = window.cells[nx + kSize * ny];
    if (n.styleType != c.styleType || n.stylePalette != c.stylePalette) continue;
    if (Absent(window.FindBlockObjectById(nx, ny, n.centreObjectId))) mask |= u32(SGameCore::kDirBit[k]);
  }
  return mask;
}

u32 SStateGame::Layer2Mask(i32 x, i32 y) const {
  const SMapCellFaces& f = window.faces[x + kSize * y];
  u32 mask = 0;
  for (u32 k = 0; k < 8; ++k) {
    const i32 nx = x + SGameCore::kDirX[k], ny = y + SGameCore::kDirY[k];
    if (!SMapWindow::Inside(nx, ny)) continue;
    const SMapCellFaces& n = window.faces[nx + kSize * ny];
    if (n.centreType == f.centreType && n.centrePalette == f.centrePalette && n.type0 == f.type0)
      mask |= u32(SGameCore::kDirBit[k]);
  }
  return mask;
}

// ---- cells

void SStateGame::BuildGroundRecord(i32 x, i32 y) {
  const u32 i = u32(x + kSize * y);
  u16* g = scene.Ground(i);
  u16* rc = scene.Cell(i);
  for (u32 w = 0; w < RenderWords::kFloorTypeWords; ++w) g[w] = 0;
  const SMapCell& c = window.cells[i];
  if (Number(c.base1Type) == 5) {
    // A wall base: a pit walled with the type's picture.
    g[GroundRecord::kTexture] = c.base1Type->ImageAt(0);
    g[GroundRecord::kPalette] = Pal(c.base1Palette);
    g[GroundRecord::kFlags] = 1;
    return;
  }
  rc[RenderCell::kKind] = kGroundDefault;
  struct Entry {
    u16 texture, palette, mask;
  };
  Entry entries[3] = {};
  u32 count = 0;
  u16 kind = kGroundDefault;
  SMapObjectType* defaultType = nullptr;
  SPaletteEntry* defaultPalette = nullptr;
  window.DefaultBaseSlot(x, y, defaultType, defaultPalette);
  const struct {
    SMapObjectType* type;
    SPaletteEntry* palette;
    SMapObjectType* second;
  } bases[2] = {{c.base1Type, c.base1Palette, c.base1Type2}, {c.base2Type, c.base2Palette, c.base2Type2}};
  for (const auto& b : bases) {
    if (!b.type) continue;
    const u32 mask = ApplyCornerRules(BaseMask(x, y, b.type, b.palette, b.second));
    const u16 frame = b.second ? b.second->ImageAt(connectionVariants[mask]) : 0;
    if (mask == 255 || !frame) {
      // Surrounded by its own kind (or without transition frames) a base covers what lies beneath.
      entries[0] = {b.type->ImageAt(0), Pal(b.palette), 0};
      count = 1;
    } else {
      if (count == 0 && defaultType) entries[count++] = {defaultType->ImageAt(0), Pal(defaultPalette), 0};
      if (count == 3) entries[1] = entries[2], count = 2;
      entries[count++] = {b.type->ImageAt(0), Pal(b.palette), frame};
    }
    kind = Number(b.type) == 3 ? kGroundWater : kGroundOther;
  }
  if (count == 0 && defaultType) {
    entries[count++] = {defaultType->ImageAt(0), Pal(defaultPalette), 0};
    kind = Number(defaultType) == 3 ? kGroundWater : kGroundDefault;
  }
  for (u32 k = 0; k < count; ++k) {
    g[GroundRecord::kTexture + k] = entries[k].texture;
    g[GroundRecord::kPalette + k] = entries[k].palette;
    if (k > 0) g[GroundRecord::kMask + k - 1] = entries[k].mask;
  }
  rc[RenderCell::kKind] = kind;
}

void SStateGame::FillBagRecord(u16 number, const SItemContainer& bag) {
  u16* record = scene.Bag(number);
  if (!record) return;
  for (u32 k = 0; k < RenderWords::kFloorItemWords; ++k) record[k] = 0;
  u32 k = 0;
  for (const SItem* item : bag.items) {
    if (k == RenderWords::kFloorItemWords) break;
    const u16 picture = item && item->type ? item->type->picture : 0;
    if (!picture) continue;
    MakeResident(picture);
    record[k++] = picture;
  }
}

void SStateGame::BuildWallSide(i32 x, i32 y, u32 d, u32 layer) {
  const i32 nx = x + SMapWindow::kDx[d], ny = y + SMapWindow::kDy[d];
  if (!SMapWindow::Inside(nx, ny) || !window.Inside(x, y)) return;
  const u32 i = u32(x + kSize * y);
  const u32 s = (d + 2) % 4;
  u16* lights = scene.Lights(i, layer);
  if (layer == 1) {
    if (!window.IsSolidWall(nx, ny)) return;
    SMapCell* n = window.Cell(nx, ny);
    u16& light = scene.Cell(i)[RenderCell::kLight];
    if (n->side2Type[s]) n->side2Type[s]->BuildSide(nullptr, n, s, lights, light);
    SMapObjectType* t = n->sideType[s];
    if (!t) return;
    SMapObjectInst* o = window.FindBlockObjectById(nx, ny, n->sideObjectId[s]);
    if (!Absent(o)) return;
    t->BuildSide(o, n, s, lights, light);
    if (Number(t) != 17 || !o || !o->containerId) return;
    const SItemContainer* bag = window.FindBlockBagById(nx, ny, o->containerId);
    if (!bag || !scene.Bag(bag->serial)) return;
    // The shelf's bag number rides above the side word's low 12 bits, under its top bit, which draws the
    // shelf's overlay in plain white: numbers of 8 and more are not written.
    u16& word = lights[MapRecord::kSideFlags + d];
    if (bag->serial <= 7) word = u16((word & 0x8FFF) | (bag->serial << 12));
    FillBagRecord(bag->serial, *bag);
    return;
  }
  SMapCellFaces* n = window.Faces(nx, ny);
  if (Number(n->centreType) != 5 || !Absent(window.FindBlockObjectById(nx, ny, n->centreObjectId))) return;
  u16& light = scene.Layer2(i)[RenderLayer2::kLight];
  if (n->side2Type[s]) n->side2Type[s]->BuildSideLayer2(nullptr, n, s, lights, light);
  if (SMapObjectType* t = n->sideType[s]) {
    SMapObjectInst* o = window.FindBlockObjectById(nx, ny, n->sideObjectId[s]);
    if (Absent(o)) t->BuildSideLayer2(o, n, s, lights, light);
  }
}

void SStateGame::RebuildCell(i32 x, i32 y) {
  if (!window.CurrentArea() || !scene.IsAllocated() || !SMapWindow::Inside(x, y)) return;
  const u32 i = u32(x + kSize * y);
  u16* rc = scene.Cell(i);
  rc[RenderCell::kGround] = u16(i + 1);
  rc[RenderCell::kObject] = rc[RenderCell::kFaces] = u16(2 * i + 1);
  rc[RenderCell::kBag] = rc[RenderCell::kMonster1] = rc[RenderCell::kMonster2] = 0;
  rc[RenderCell::kLight] = SSceneTables::kLight;
  BuildGroundRecord(x, y);
  u16* words = scene.Words(i, 1);
  u16* lights = scene.Lights(i, 1);
  std::memset(words, 0, sizeof(u16) * RenderWords::kObjectWords);
  std::memset(lights, 0, sizeof(u16) * RenderWords::kWallFaceWords);
  SMapArea* area = window.BlockArea(x, y);
  if (!area) return;
  SMapCell* c = window.Cell(x, y);
  if (c->centreType) {
    preparedX = x;
    preparedY = y;
    SMapObjectInst* o = window.FindBlockObjectById(x, y, c->centreObjectId);
    if (Absent(o)) {
      SMapObjectType* t = (c->cellFlags & 128) && Number(c->centreType) == 41 && groupType ? groupType : c->centreType;
      t->BuildCell(o, c, words, rc[RenderCell::kLight]);
      if (Number(c->centreType) == 5 && c->styleType)
        words[0] = u16((words[0] & 0xFF) | (Variant(WallMask(x, y)) << 8));
      else if (Number(c->centreType) == 1)
        words[0] = u16((words[0] & 0xFF) | (Variant(BaseMaskOfCentre(x, y)) << 8));
    }
  }
  for (u32 d = 0; d < 4; ++d) BuildWallSide(x, y, d, 1);
  for (u32 slot = 0; slot < 2; ++slot) {
    const u16 id = c->monsterId[slot];
    if (!id) break;
    SMapMonster* m = window.FindBlockMonsterById(x, y, u8(id));
    if (!m || !m->monster) continue;
    const SMapObjectInst* bound = m->objectId ? area->FindObjectById(m->objectId) : nullptr;
    if (bound && !bound->IsActive()) continue;
    u16* record = scene.Monster(m->displayIndex);
    if (!record) continue;  // a monster left without a number is not drawn
    m->monster->InitDrawRecord(area, *m, record, facing);
    PlaceMonsterSprite(x, y, slot, *m);
    MakeResident(record[MonsterDraw::kPicture]);
    rc[RenderCell::kMonster1 + slot] = m->displayIndex;
  }
  if (c->bagId)
    if (const SItemContainer* bag = window.FindBlockBagById(x, y, u8(c->bagId)); bag && scene.Bag(bag->serial)) {
      rc[RenderCell::kBag] = bag->serial;
      FillBagRecord(bag->serial, *bag);
    }
  if ((area->flags & 256) && rc[RenderCell::kLight] >= SSceneTables::kLight) rc[RenderCell::kLight] -= kLightDim;
}

u32 SStateGame::BaseMaskOfCentre(i32 x, i32 y) const {
  const SMapCell& c = window.cells[x + kSize * y];
  u32 mask = 0;
  for (u32 k = 0; k < 8; ++k) {
    const i32 nx = x + SGameCore::kDirX[k], ny = y + SGameCore::kDirY[k];
    if (!SMapWindow::Inside(nx, ny)) continue;
    const SMapCell& n = window.cells[nx + kSize * ny];
    if (n.centreType == c.centreType && n.centrePalette == c.centrePalette &&
        Absent(window.FindBlockObjectById(nx, ny, n.centreObjectId)))
      mask |= u32(SGameCore::kDirBit[k]);
  }
  return mask;
}

void SStateGame::RebuildCellLayer2(i32 x, i32 y) {
  if (!window.CurrentArea() || !scene.IsAllocated() || !SMapWindow::Inside(x, y)) return;
  const u32 i = u32(x + kSize * y);
  u16* r2 = scene.Layer2(i);
  r2[RenderLayer2::kObject] = r2[RenderLayer2::kFaces] = u16(2 * i + 2);
  r2[RenderLayer2::kLight] = SSceneTables::kLight;
  u16* words = scene.Words(i, 2);
  u16* lights = scene.Lights(i, 2);
  std::memset(words, 0, sizeof(u16) * RenderWords::kObjectWords);
  std::memset(lights, 0, sizeof(u16) * RenderWords::kWallFaceWords);
  if (!window.BlockArea(x, y)) return;
  SMapCellFaces* f = window.Faces(x, y);
  if (f->centreType) {
    preparedX = x;
    preparedY = y;
    SMapObjectInst* o = window.FindBlockObjectById(x, y, f->centreObjectId);
    if (Absent(o)) {
      f->centreType->BuildCellLayer2(o, f, words, r2[RenderLayer2::kLight]);
      const u8 n = Number(f->centreType);
      if (n == 1 || n == 5) words[0] = u16((words[0] & 0xFF) | (Variant(Layer2Mask(x, y)) << 8));
    }
  }
  for (u32 d = 0; d < 4; ++d) BuildWallSide(x, y, d, 2);
}

void SStateGame::RebuildSide(i32 x, i32 y, i32 side) {
  if (!window.CurrentArea() || !scene.IsAllocated() || !SMapWindow::Inside(x, y)) return;
  const u32 d = u32(side) & 3;
  const u32 i = u32(x + kSize * y);
  u16* lights = scene.Lights(i, 1);
  // The side's entries are written afresh.
  for (u32 g = 0; g < 9; ++g) lights[4 * g + d] = 0;
  BuildWallSide(x, y, d, 1);
}

void SStateGame::RebuildSideLayer2(i32 x, i32 y, i32 side) {
  if (!window.CurrentArea() || !scene.IsAllocated() || !SMapWindow::Inside(x, y)) return;
  const u32 d = u32(side) & 3;
  u16* lights = scene.Lights(u32(x + kSize * y), 2);
  for (u32 g = 0; g < 9; ++g) lights[4 * g + d] = 0;
  BuildWallSide(x, y, d, 2);
}

// ---- every frame

void SStateGame::VisibleReach(i32 facingDegrees, i32& west, i32& north, i32& east, i32& south) {
  const i32 a = Wrap360(facingDegrees);
  west = a >= 225 && a <= 315 ? 3 : 6;
  north = a >= 135 && a <= 225 ? 3 : 6;
  east = a >= 45 && a <= 135 ? 3 : 6;
  south = a > 45 && a < 315 ? 6 : 3;
}

void SStateGame::CollectVisibleCells(bool refresh, bool relight) {
  if (!scene.IsAllocated() || !window.CurrentArea()) return;
  i32 west, north, east, south;
  VisibleReach(facing, west, north, east, south);
  const i32 px = window.playerX, py = window.playerY;
  const i32 x0 = std::max(0, px - west), x1 = std::min(kSize - 1, px + east);
  const i32 y0 = std::max(0, py - north), y1 = std::min(kSize - 1, py + south);
  for (i32 y = y0; y <= y1; ++y)
    for (i32 x = x0; x <= x1; ++x) {
      const u32 i = u32(x + kSize * y);
      u16* rc = scene.Cell(i);
      u16* r2 = scene.Layer2(i);
      rc[RenderCell::kLight] = r2[RenderLayer2::kLight] = SSceneTables::kLight;
      SMapCell* c = window.Cell(x, y);
      SMapCellFaces* f = window.Faces(x, y);
      if (refresh) {
        if (c->centreType && c->centreType->animated) {
          SMapObjectInst* o = window.FindBlockObjectById(x, y, c->centreObjectId);
          SMapObjectType* t =
              (c->cellFlags & 128) && Number(c->centreType) == 41 && groupType ? groupType : c->centreType;
          t->RefreshCell(o, c, scene.Words(i, 1), rc[RenderCell::kLight]);
        }
        if (f->centreType && f->centreType->animated) {
          SMapObjectInst* o = window.FindBlockObjectById(x, y, f->centreObjectId);
          f->centreType->RefreshCellLayer2(o, f, scene.Words(i, 2), r2[RenderLayer2::kLight]);
        }
      }
      const bool wall = window.IsSolidWall(x, y);
      if (relight && !wall)
        for (u32 d = 0; d < 4; ++d) {
          const i32 nx = x + SMapWindow::kDx[d], ny = y + SMapWindow::kDy[d];
          if (!window.IsSolidWall(nx, ny)) continue;
          const u32 s = (d + 2) % 4;
          SMapCell* n = window.Cell(nx, ny);
          if (SMapObjectType* t = n->sideType[s]; t && t->animated)
            t->LightSide(window.FindBlockObjectById(nx, ny, n->sideObjectId[s]), n, s, scene.Lights(i, 1),
                         rc[RenderCell::kLight]);
          SMapCellFaces* nf = window.Faces(nx, ny);
          if (SMapObjectType* t = nf->sideType[s]; t && t->animated)
            t->LightSideLayer2(window.FindBlockObjectById(nx, ny, nf->sideObjectId[s]), nf, s, scene.Lights(i, 2),
                               r2[RenderLayer2::kLight]);
        }
      wallGrid[i] = wall ? 1 : 0;
      shareGrid[i] = 0;
    }
  // Bright cells share a fifth of their light with the open cells around them.
  for (i32 y = y0; y <= y1; ++y)
    for (i32 x = x0; x <= x1; ++x) {
      const i32 light = scene.Cell(u32(x + kSize * y))[RenderCell::kLight];
      if (light <= i32(SSceneTables::kLight)) continue;
      const i32 share = light / 5;
      for (i32 ry = y - 1; ry <= y + 1; ++ry)
        for (i32 rx = x - 1; rx <= x + 1; ++rx) {
          if (rx < x0 || ry < y0 || rx > x1 || ry > y1) continue;
          if (wallGrid[rx + kSize * ry] || wallGrid[rx + kSize * y] || wallGrid[x + kSize * ry]) continue;
          i32& kept = shareGrid[rx + kSize * ry];
          if (share > kept) kept = share;
        }
    }
  for (i32 y = y0; y <= y1; ++y)
    for (i32 x = x0; x <= x1; ++x) {
      const SMapArea* area = window.BlockArea(x, y);
      const u32 i = u32(x + kSize * y);
      if (!area) continue;
      u16& light = scene.Cell(i)[RenderCell::kLight];
      if (!wallGrid[i]) light = u16(std::min(65535, i32(light) + shareGrid[i]));
      // A dark map darkens its walls too, as their cells were built.
      if ((area->flags & 256) && light >= SSceneTables::kLight) light -= kLightDim;
    }
}

void SStateGame::CollectObjects() {
  if (!scene.IsAllocated() || !window.CurrentArea()) return;
  const i32 px = window.playerX, py = window.playerY;
  for (i32 y = std::max(0, py - 6); y <= std::min(kSize - 1, py + 6); ++y)
    for (i32 x = std::max(0, px - 6); x <= std::min(kSize - 1, px + 6); ++x) {
      SMapCell* c = window.Cell(x, y);
      const u8 n = Number(c->centreType);
      if (n != 20 && n != 22) continue;
      const u32 i = u32(x + kSize * y);
      c->centreType->AnimateTick(window.FindBlockObjectById(x, y, c->centreObjectId), x, y, c, scene.Words(i, 1),
                                 scene.Cell(i)[RenderCell::kLight]);
    }
}

void SStateGame::PlaceMonsterSprite(i32 x, i32 y, u32 slot, SMapMonster& monster) {
  u16* record = scene.Monster(monster.displayIndex);
  if (!record || !monster.monster) return;
  // Walking people keep the place their walk gave them.
  if (monster.monster->IsPeople() && !monster.monster->StandsStill()) return;
  const SMapCell* c = window.Cell(x, y);
  SubCellPosition(x, y, slot, c && c->monsterId[1] != 0, monster.monster->widePlacement != 0, record[MonsterDraw::kX],
                  record[MonsterDraw::kY]);
}

void SStateGame::BuildMonsterSprites() {
  if (!scene.IsAllocated() || !window.CurrentArea()) return;
  const i32 px = window.playerX, py = window.playerY;
  for (i32 y = std::max(0, py - 7); y <= std::min(kSize - 1, py + 7); ++y)
    for (i32 x = std::max(0, px - 7); x <= std::min(kSize - 1, px + 7); ++x) {
      const SMapCell* c = window.Cell(x, y);
      for (u32 slot = 0; slot < 2; ++slot) {
        if (!c->monsterId[slot]) continue;
        SMapMonster* m = window.FindBlockMonsterById(x, y, u8(c->monsterId[slot]));
        if (!m || !m->monster || m->poisonShown > 5) continue;
        u16* record = scene.Monster(m->displayIndex);
        if (!record) continue;
        PlaceMonsterSprite(x, y, slot, *m);
        m->monster->StepAnimation(*m, record, facing);
        MakeResident(record[MonsterDraw::kPicture]);
      }
    }
}

void SStateGame::RefreshMonsterPicture(SMapArea& area, SMapMonster& monster) {
  u16* record = scene.Monster(monster.displayIndex);
  if (!record || !monster.monster) return;
  monster.monster->RefreshPicture(&area, monster, record, facing);
  MakeResident(record[MonsterDraw::kPicture]);
}

void SStateGame::AnimateMonsterSprites(bool idle, bool attack) {
  if (!scene.IsAllocated() || !window.CurrentArea()) return;
  const i32 px = window.playerX, py = window.playerY;
  for (i32 y = std::max(0, py - 7); y <= std::min(kSize - 1, py + 7); ++y)
    for (i32 x = std::max(0, px - 7); x <= std::min(kSize - 1, px + 7); ++x) {
      const SMapCell* c = window.Cell(x, y);
      for (u32 slot = 0; slot < 2; ++slot) {
        if (!c->monsterId[slot]) continue;
        SMapMonster* m = window.FindBlockMonsterById(x, y, u8(c->monsterId[slot]));
        u16* record = m ? scene.Monster(m->displayIndex) : nullptr;
        if (!record || !m->monster) continue;
        bool touched = false;
        if (attack && m->poisonShown) {
          touched = true;
          if (--m->poisonShown == 0) {
            if ((m->flags & 32) && !(m->flags & 64)) {
              // The stroke begins: the monster's act.
              m->flags = u8((m->flags & 31) | 64);
              m->poisonShown = 5;
              if (SMapArea* area = window.BlockArea(x, y)) m->monster->Act(*this, *area, *m);
            } else {
              m->flags = u8(m->flags & 31);
              record[MonsterDraw::kCountdown] = record[MonsterDraw::kOverlay] = 0;
            }
          }
        }
        if (idle && m->monster->kind != 4) {
          const u16 f = u16(((record[MonsterDraw::kFrame] >> 8) + 1) & 3);
          record[MonsterDraw::kFrame] = u16((record[MonsterDraw::kFrame] & ~0x0700) | (f << 8));
          touched = true;
        }
        if (touched) {
          m->monster->StepAnimation(*m, record, facing);
          MakeResident(record[MonsterDraw::kPicture]);
        }
      }
    }
}

void SStateGame::AnimateTextures() {
  if (!scene.IsAllocated()) return;
  for (u32 k = 0; k < animatedTypes.Count(); ++k) {
    const SMapObjectType* t = animatedTypes.At(i32(k));
    u32& index = animatedFrames[k];
    const u32 count = t->frameCountA;
    if (count < 2) continue;
    if (index >= count) index = 0;
    const u16 from = t->ImageAt(index), to = t->ImageAt(index + 1 < count ? index + 1 : 0);
    index = index + 1 < count ? index + 1 : 0;
    if (!from || from == to) continue;
    for (u32 i = 0; i < SSceneTables::kCells; ++i) {
      u16* g = scene.Ground(i);
      for (u32 w = 0; w < 3; ++w)
        if (g[GroundRecord::kTexture + w] == from) g[GroundRecord::kTexture + w] = to;
    }
  }
}

// ---- sky, light and the automap

void SStateGame::UpdateSkyAndLight(bool dayNight) {
  SMapArea* map = window.CurrentArea();
  if (!core) return;
  SSkyTypeTable& skies = core->world.rules.skies;
  if (map && window.IsJoined()) {
    SSkyChoice& choice = skyChoice;
    bool chosen = false;
    if (thunderPending) chosen = skies.SelectSkyByName(SSkyTypeTable::kThunderSky, choice);
    if (!chosen && !forcedSky.IsEmpty()) chosen = skies.SelectSkyByName(forcedSky.CStr(), choice);
    if (!chosen) skies.SelectSkyForTime(HourOfDay(), weather, choice);
    const i32 v = choice.visibility;
    const i32 f = HourOfDay() >= 6 && HourOfDay() <= 21 ? 2 : 1;
    farDistance = (f * v / 100) * 336;
    visibleCells = std::max(1, (v + (100 - v) / 2) * 7 / 100);
    nearDistance = visibleCells * 336;
    skyImage = choice.imageSlot;
    skyPalette = choice.paletteSlot;
    skyFlags = 1 | 4;
    // A sky with an animation turns (timer 5) for as long as it is the sky.
    skyRotation = choice.animation != 0 ? 1 : 0;
    view.fogColor = choice.fogColour;
    if (SRenderer* renderer = display ? display->Renderer() : nullptr)
      renderer->ResetRain(rainIntensity, IsNight() ? 27469 : 42292);
  } else if (map) {
    const i32 light = map->visibility;
    farDistance = (light / 100) * 336;
    visibleCells = std::max(1, light * 6 / 100);
    nearDistance = visibleCells * 336;
    skies.ReleaseOtherSkies(nullptr);
    skyChoice = SSkyChoice{};
    skyImage = 0;
    skyFlags = 0;
    skyRotation = 0;
    const auto* ceiling = static_cast<const SMapObjectType*>(map->ceilingType);
    backgroundImage = ceiling ? ceiling->ImageAt(0) : 0;
    backgroundPalette = Pal(map->ceilingPalette);
    view.fogColor = map->fogColour;
  }
  // People leave the streets of the outdoor maps by night; by day, and indoors, they are placed anew.
  if (dayNight && map) {
    if (window.IsJoined() && IsNight()) {
      RemoveDaytimeMonsters(true);
    } else {
      RemoveDaytimeMonsters(false);
      PlaceDaytimeMonsters();
    }
  }
  if (dayNight) window.ResolveCellObjects();
  PublishView();
}

static_assert(SFightRecord::kDrawWords == u32(RenderWords::kCreatureWords));

void SStateGame::ChangeDayAndNight() {
  // A sliding monster moves on from the place its draw record holds. Rebuilt from its cell, the record
  // would start again from the resting place and the rest of the slide carry the monster a cell too far
  // (into the player's own cell when it was closing in): each slide keeps its record, under the number the
  // renumbering gives its monster.
  for (SFightRecord* r : fightList) {
    const u16* draw = r->velocityX || r->velocityY ? scene.Monster(r->monster->displayIndex) : nullptr;
    r->drawKept = draw ? 1 : 0;
    if (draw) std::copy_n(draw, SFightRecord::kDrawWords, r->keptDraw);
  }
  UpdateSkyAndLight(true);
  RebuildAllCells();
  for (SFightRecord* r : fightList) {
    if (!r->drawKept) continue;
    r->drawKept = 0;
    if (u16* draw = scene.Monster(r->monster->displayIndex)) std::copy_n(r->keptDraw, SFightRecord::kDrawWords, draw);
  }
}

void SStateGame::MarkAutomapSeen() {
  if (!window.CurrentArea()) return;
  const i32 px = window.playerX, py = window.playerY;
  window.MarkCellSeen(px, py);
  const i32 facingIndex = Wrap360(facing) / 90;
  bool open[5] = {true, true, true, true, true};
  for (i32 r = 0; r < 3; ++r)
    for (i32 col = 0; col < 5; ++col) {
      if (!open[col] || (kCone[col][r][0] == 0 && kCone[col][r][1] == 0)) continue;
      i32 dx, dy;
      ConeOffset(facingIndex, col, r, dx, dy);
      const i32 x = px + dx, y = py + dy;
      if (!SMapWindow::Inside(x, y) || (x == px && y == py)) continue;
      window.MarkCellSeen(x, y);
      if (!window.IsSolidWall(x, y)) continue;
      open[col] = false;
      if (col == 0 && r == 0) open[1] = open[2] = open[3] = open[4] = false;
      if (col == 1) open[3] = false;
      if (col == 2) open[4] = false;
    }
}

void SStateGame::ResolveDoorAndDropImages() {
  for (u16& id : doorImages) id = 0;
  for (u16& id : dropImages) id = 0;
  if (!core) return;
  const SImageCache& images = core->world.images;
  static const char* const kDoor[4] = {"bres_doormain", "bres_doormain1", "bres_doormain2", "bres_doormain3"};
  for (u32 m = 0; m < 4; ++m) doorImages[m] = images.FindImageIndex(kDoor[m]);
  static const char* const kDrops[5] = {"bres_droprandomcheap", "bres_droprandomnormal", "bres_droprandombetter",
                                        "bres_droprandombest", "bres_droprandomsuper"};
  for (u32 q = 1; q <= 5; ++q) dropImages[q] = images.FindImageIndex(kDrops[q - 1]);
}
