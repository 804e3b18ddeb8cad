#include "world/SMapArea.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "foundation/StrUtil.h"
#include "world/SItem.h"
#include "world/SItemTable.h"
#include "world/SMapGame.h"
#include "world/SMapObjectType.h"
#include "world/SPeopleTables.h"
#include "world/SWorldModule.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

bool SameText(const char* a, const char* b) {
  if (!a || !*a) return !b || !*b;
  return b && std::strcmp(a, b) == 0;
}

// The saved-state fields that a mask names, in either direction: writer and reader share one layout.
void TransferObjectFields(SStream& s, u8 mask, SMapObjectInst& o) {
  if (mask & 1) s.SerializeByte(o.containerId);
  if (mask & 2) s.SerializeI16(o.packed);
  if (mask & 4) s.SerializeByte(o.state);
  if (mask & 8) s.SerializeByte(o.scriptState);
}

void TransferMonsterFields(SStream& s, u8 mask, SMapMonster& m) {
  if (mask & 1) s.SerializeI16(m.hp);
  if (mask & 2) s.SerializeByte(m.flags);
  if (mask & 4) s.SerializeByte(m.objectId);
  if (mask & 8) s.SerializeByte(m.containerId);
  if (mask & 16) {
    s.SerializeByte(m.cellX);
    s.SerializeByte(m.cellY);
  }
}

// Values beyond +-100 count less 100 when summed with diseases.
i32 Beyond100(i32 v) {
  if (v > 100) return v - 100;
  if (v < -100) return v + 100;
  return v;
}

}  // namespace

// --- placed objects ---------------------------------------------------------------------------------

void SMapObjectInst::Serialize(SStream& s, u32 version) {
  s.SerializeI16(packed);
  // Records of data version 52 and below carry no texts: such an object has no name (nothing finds it by
  // name; it is reached by its id and its cell) and no target or script.
  if (version > 52) {
    s.SerializeName(name);
    s.SerializeString(targetText);
    s.SerializeString(scriptName);
  }
  s.SerializeByte(id);
  s.SerializeByte(containerId);
  if (version > 53) {
    s.SerializeByte(cellX);
    s.SerializeByte(cellY);
  }
  s.SerializeByte(state);
}

// Every field is written, also when play turned it to 0, so that loading cannot bring the archive's
// value back; the mask says which fields are present.
void SMapObjectInst::WriteState(SStream& s) {
  u8 mask = 0x0F;
  s.SerializeByte(id);
  s.SerializeByte(mask);
  TransferObjectFields(s, mask, *this);
}

void SMapObjectInst::ReadState(SStream& s) {
  u8 mask = 0;
  s.SerializeByte(mask);
  TransferObjectFields(s, mask, *this);
}

// --- placed monsters --------------------------------------------------------------------------------

void SMapMonster::Serialize(SStream& s, u32 version, u16& templatePosition) {
  s.SerializeU16(templatePosition);
  if (version < 71) s.SerializeI16(hp);
  s.SerializeByte(id);
  s.SerializeByte(flags);
  s.SerializeByte(objectId);
  if (version < 70) {
    u8 unused = 0;
    s.SerializeByte(unused);
    if (version >= 65) s.SerializeByte(unused);
    if (s.IsReading()) flags = u8(flags & ~0x18);
  }
  s.SerializeByte(cellX);
  s.SerializeByte(cellY);
  if (version > 88) s.SerializeByte(containerId);
}

void SMapMonster::WriteState(SStream& s, SMapGame* game) {
  u16 index = game && monster ? game->InternMonster(monster) : 0;
  u8 mask = 0;
  if (hp) mask |= 1;
  if (flags) mask |= 2;
  if (objectId) mask |= 4;
  if (containerId) mask |= 8;
  if (cellX || cellY) mask |= 16;
  s.SerializeByte(id);
  s.SerializeU16(index);
  s.SerializeByte(mask);
  TransferMonsterFields(s, mask, *this);
}

void SMapMonster::ReadStateFields(SStream& s) {
  u8 mask = 0;
  s.SerializeByte(mask);
  TransferMonsterFields(s, mask, *this);
}

// --- monster effects --------------------------------------------------------------------------------

void SMonsterEffect::State(SStream& s) {
  s.SerializeByte(kind);
  s.SerializeByte(attribute);
  s.SerializeStringAlloc(text);
  s.SerializeI16(value);
  s.SerializeByte(duration);
  s.SerializeByte(subkind);
}

void SMonsterEffectHolder::WriteState(SStream& s) {
  u16 n = effects.Count();
  s.SerializeByte(monsterId);
  s.SerializeU16(n);
  for (SMonsterEffect* e : effects) e->State(s);
}

bool SMonsterEffectHolder::ReadState(SStream& s) {
  u16 n = 0;
  s.SerializeByte(monsterId);
  s.SerializeU16(n);
  for (u32 i = 0; i < n && s.Ok(); ++i) {
    SMonsterEffect* e = new (std::nothrow) SMonsterEffect;
    if (!e) return false;
    e->State(s);
    if (s.Failed() || !effects.Add(e)) {
      delete e;
      return false;
    }
  }
  return s.Ok();
}

// --- the area ---------------------------------------------------------------------------------------

SMapArea::SMapArea() : objects(true, 4), monsters(true, 4), effectHolders(true, 4), containers(true, 4) {}

SMapArea::~SMapArea() {
  // The owning lists free the monsters and their effects: the game may be gone by now, so it is not told.
  DeleteAllContainers();
  delete[] automap;
  delete offsetRecord;
  delete objectRecord;
  delete monsterRecord;
  delete containerRecord;
}

SMapGame* SMapArea::Game() const { return module && module->env ? module->env->game : nullptr; }

bool SMapArea::SerializeDirectoryEntry(SStream& s, u32 version) {
  s.SerializeMarker('G');
  s.SerializeString(title);
  if (s.IsWriting()) {
    const char* text = name.Text();
    s.SerializeString(text);
  } else {
    const char* text = nullptr;
    s.SerializeString(text);
    name.Set(text);
  }
  s.SerializeU16(flags);
  s.SerializeU16(dataFogColour);
  s.SerializeByte(dataVisibility);
  s.SerializeByte(storedX);
  s.SerializeByte(storedY);
  s.SerializeByte(storedWidth);
  s.SerializeByte(storedHeight);
  if (version > 12) {
    s.SerializeU16(texturePosition);
    s.SerializeU16(texturePalettePosition);
    s.SerializeU16(ceilingPosition);
    s.SerializeU16(ceilingPalettePosition);
  }
  if (s.Failed()) return false;
  if (s.IsReading()) {
    lastVisit = 0;
    fogColour = dataFogColour;
    visibility = dataVisibility;
    width = height = IsOutdoor() ? 21 : 35;
    dataVersion = i32(version);
    if (!AllocateAutomap()) return false;
  }
  return true;
}

bool SMapArea::AllocateAutomap() {
  automapRowBytes = u16((width + 7) / 8);
  delete[] automap;
  u32 bytes = u32(automapRowBytes) * height;
  automap = new (std::nothrow) u8[bytes];
  if (!automap) return false;
  std::memset(automap, 0, bytes);
  return true;
}

void SMapArea::ClearAutomap() {
  if (automap) std::memset(automap, 0, u32(automapRowBytes) * height);
}

void SMapArea::FillAutomap() {
  if (automap) std::memset(automap, 0xFF, u32(automapRowBytes) * height);
}

void SMapArea::MarkVisited(i32 x, i32 y) {
  if (!automap || x < 0 || y < 0 || x >= width || y >= height) return;
  automap[u32(y) * automapRowBytes + u32(x) / 8] |= u8(1u << (x % 8));
}

bool SMapArea::IsVisited(i32 x, i32 y) const {
  if (!automap || x < 0 || y < 0 || x >= width || y >= height) return false;
  return (automap[u32(y) * automapRowBytes + u32(x) / 8] >> (x % 8)) & 1;
}

u32 SMapArea::AutomapCoverage() const {
  if (lastVisit == 0 || !automap) return 0;
  bool any = false, all = true;
  for (i32 y = 0; y < height; ++y)
    for (i32 x = 0; x < width; ++x) {
      if (IsVisited(x, y))
        any = true;
      else
        all = false;
    }
  if (!any) return 0;
  return all ? 1 : 2;
}

// --- content ----------------------------------------------------------------------------------------

bool SMapArea::LoadContent(SDatabase& db, u32 version) {
  archive = &db;
  dataVersion = i32(version);
  // Without a texture of its own a map takes the first texture type; a map that is not outdoors takes
  // it as its ceiling too.
  SWorldTable* t =
      module && module->env && module->env->tables ? (*module->env->tables)[kBlockMapObjectTypes] : nullptr;
  if (SMapObjectTypeTable* types = dynamic_cast<SMapObjectTypeTable*>(t)) {
    if (!textureType) textureType = types->FirstOfClass(1);
    if (!ceilingType && !IsOutdoor()) ceilingType = types->FirstOfClass(1);
  }
  auto keep = [&db](u32 id, SRecordData*& slot) {
    delete slot;
    slot = id <= 0xFFFF ? db.ReadRecord(u16(id)).release() : nullptr;
  };
  if (IsOutdoor()) {
    keep(recordId + 1u, offsetRecord);
    if (!ReadCellOffsets()) return false;
  }
  keep(recordId + 3u, objectRecord);
  if (!ReadObjects()) return false;
  keep(recordId + 2u, monsterRecord);
  if (!ReadMonsters()) return false;
  keep(recordId + 4u, containerRecord);
  DeleteAllContainers();
  return ReadContainers();
}

bool SMapArea::ReadContainers() {
  if (!containerRecord) return true;
  SStream s{u32(dataVersion)};
  s.OpenForRead(*containerRecord);
  u16 n = 0;
  u8 next = 1;
  s.SerializeU16(n);
  s.SerializeByte(next);
  if (s.Failed()) return false;
  if (nextContainerId < 255 && (next == 0 || next > nextContainerId)) nextContainerId = next ? next : 255;
  for (u32 i = 0; i < n; ++i) {
    std::unique_ptr<SItemContainer> c(new (std::nothrow) SItemContainer);
    if (!c || !c->Serialize(s, u32(dataVersion))) return false;
    SItemContainer* present = c->id ? FindContainerById(c->id) : nullptr;
    // A persistent container kept through a reset wins over the record's copy; id 0 names nothing.
    if (!c->id || (present && (present->flags & SItemContainer::kPersistent))) continue;
    if (present) {
      containers.Remove(present);
      delete present;
    }
    if (module) c->ResolveEntries(module->itemList);
    if (!containers.Add(c.get())) return false;
    if (c->id >= nextContainerId && nextContainerId < 255) nextContainerId = u16(c->id >= 254 ? 255 : c->id + 1);
    c.release();
  }
  return true;
}

bool SMapArea::ReadCellOffsets() {
  cellOffsets = nullptr;
  if (!offsetRecord) return true;
  // A 2-byte header, then one u16 per stored cell: the table must hold them all.
  u32 need = 2 + 2 * u32(storedWidth) * storedHeight;
  if (offsetRecord->size < need) return false;
  cellOffsets = offsetRecord->data + 2;
  return true;
}

bool SMapArea::ReadObjects() {
  objects.DeleteAll();
  if (!objectRecord) return true;
  SStream s{u32(dataVersion)};
  s.OpenForRead(*objectRecord);
  s.SerializeMarker('I');
  s.SerializeByte(objectAreaByte);
  u16 n = 0;
  s.SerializeU16(n);
  for (u32 i = 0; i < n && s.Ok(); ++i) {
    SMapObjectInst* o = new (std::nothrow) SMapObjectInst;
    if (!o) return false;
    o->Serialize(s, u32(dataVersion));
    if (s.Failed() || !objects.InsertByNameHash(o)) {
      delete o;
      return false;
    }
  }
  return s.Ok();
}

bool SMapArea::ReadMonsters() {
  RemoveAllMonsters();
  if (!monsterRecord) return true;
  SMapGame* game = Game();
  SStream s{u32(dataVersion)};
  s.OpenForRead(*monsterRecord);
  u32 n = 0;
  u8 next = 1;
  s.SerializeU32(n);
  s.SerializeByte(next);
  if (s.Failed()) return false;
  // A counter saved as 0 wrapped past 255: search for free ids.
  nextMonsterId = next ? next : 255;
  for (u32 i = 0; i < n; ++i) {
    SMapMonster m;
    u16 position = 0;
    m.Serialize(s, u32(dataVersion), position);
    if (s.Failed()) return false;
    m.monster = module ? static_cast<SMonster*>(module->MonsterAt(position)) : nullptr;
    // A template that did not resolve leaves nothing to place or fight: the monster is dropped.
    MarkPlaceholder(m.objectId);
    if (!m.monster || m.id == 0 || FindMonsterById(m.id)) continue;
    SMapObjectInst* bound = m.objectId ? FindObjectById(m.objectId) : nullptr;
    if (bound && (bound->state & 2)) continue;
    if (dataVersion >= 71) m.hp = game ? game->TemplateMaxHp(m.monster) : 0;
    SMapMonster* kept = new (std::nothrow) SMapMonster(m);
    if (!kept) return false;
    if (!monsters.Add(kept)) {
      delete kept;
      return false;
    }
    if (m.id >= nextMonsterId && nextMonsterId < 255) nextMonsterId = u16(m.id >= 254 ? 255 : m.id + 1);
  }
  return true;
}

void SMapArea::Reset() {
  RemoveAllMonsters();
  RemoveTransientContainers();
  ReadMonsters();
  ReadContainers();
}

SItemTable* SMapArea::ItemTable() const {
  SWorldTable* t = module && module->env && module->env->tables ? (*module->env->tables)[kBlockItems] : nullptr;
  return dynamic_cast<SItemTable*>(t);
}

void SMapArea::FillContainer(SMapGame& game, SItemContainer& bag) {
  if (bag.flags & SItemContainer::kFilled) return;
  SItemTable* table = ItemTable();
  SRandom* random = game.Random();
  if (table && random) bag.Fill(*table, *random);
}

void SMapArea::StoredRect(i32& x0, i32& y0, i32& x1, i32& y1) const {
  x0 = storedX;
  y0 = storedY;
  x1 = i32(storedX) + storedWidth;
  y1 = i32(storedY) + storedHeight;
  if (x1 > width) x1 = width;
  if (y1 > height) y1 = height;
  if (x0 > x1) x0 = x1;
  if (y0 > y1) y0 = y1;
}

bool SMapArea::Load(SMapGame& game) {
  const u32 now = game.GameMinutes();
  if (lastVisit && now > lastVisit + kResetMinutes) Reset();
  lastVisit = now;
  for (i32 row = 0; row < i32(kWindowSize); ++row)
    for (i32 column = 0; column < i32(kWindowSize); ++column) game.ClearWindowCell(column, row);
  if (!archive || !module) return false;
  std::unique_ptr<SRecordData> r = archive->ReadRecord(recordId);
  if (!r) return false;
  SStream s{u32(dataVersion)};
  s.OpenForRead(*r);
  s.SerializeMarker('H');
  // Cells outside the map's size are read and dropped: the stream stays in step, the window is untouched.
  for (i32 y = 0; y < storedHeight && s.Ok(); ++y)
    for (i32 x = 0; x < storedWidth && s.Ok(); ++x) {
      i32 column = i32(storedX) + x, row = i32(storedY) + y;
      if (column >= width || row >= height) column = row = -1;
      if (!game.ReadWindowCell(column, row, s, *module, u32(dataVersion))) s.SetFailed();
    }
  if (s.Failed()) return false;
  PlaceMonsters(game, false, 0, 0, 0, 0);
  for (SItemContainer* c : containers) {
    FillContainer(game, *c);
    if (c->cellX == 255 && c->cellY == 255) continue;
    if (!game.PlaceBagInCell(*this, *c, c->cellX, c->cellY)) c->cellX = c->cellY = 255;
  }
  return true;
}

bool SMapArea::LoadAt(SMapGame& game, i32 mapX, i32 mapY, i32 w, i32 h, i32 windowX, i32 windowY) {
  const u32 now = game.GameMinutes();
  if (lastVisit && now > lastVisit + kResetMinutes) Reset();
  lastVisit = now;
  if (!archive || !module) return false;
  std::unique_ptr<SRecordData> r = archive->ReadRecord(recordId);
  if (!r) return false;
  i32 x0, y0, x1, y1;
  StoredRect(x0, y0, x1, y1);
  bool ok = true;
  for (i32 dy = 0; dy < h; ++dy)
    for (i32 dx = 0; dx < w; ++dx) {
      const i32 column = windowX + dx, row = windowY + dy;
      if (column < 0 || row < 0 || column >= i32(kWindowSize) || row >= i32(kWindowSize)) continue;
      const i32 mx = mapX + dx, my = mapY + dy;
      game.ClearWindowCell(column, row);
      if (!cellOffsets || mx < x0 || my < y0 || mx >= x1 || my >= y1) continue;
      const u32 at = u32(my - storedY) * storedWidth + u32(mx - storedX);
      const u32 offset = u32(cellOffsets[2 * at]) | u32(cellOffsets[2 * at + 1]) << 8;
      // An offset must name an even position past the marker inside the cell record.
      if (offset == 0 || (offset & 1) || offset >= r->size) {
        ok = false;
        continue;
      }
      SStream s{u32(dataVersion)};
      s.OpenForRead(*r);
      s.Seek(offset);
      if (!game.ReadWindowCell(column, row, s, *module, u32(dataVersion)) || s.Failed()) {
        game.ClearWindowCell(column, row);
        ok = false;
      }
    }
  PlaceMonsters(game, true, mapX, mapY, w, h);
  for (SItemContainer* c : containers) {
    FillContainer(game, *c);
    if (c->cellX < mapX || c->cellY < mapY || c->cellX >= mapX + w || c->cellY >= mapY + h) continue;
    game.PlaceBagInCell(*this, *c, c->cellX, c->cellY);
  }
  return ok;
}

void SMapArea::PlaceMonsters(SMapGame& game, bool inRect, i32 mapX, i32 mapY, i32 w, i32 h) {
  for (SMapMonster* m : monsters) {
    game.MarkTemplateNeeded(m->monster);
    SMapObjectInst* bound = m->objectId ? FindObjectById(m->objectId) : nullptr;
    if (bound && !bound->IsActive()) continue;
    if (inRect) {
      if (game.TemplateKind(m->monster) == 4) {
        // People are not placed here; the items they carry go into their container once.
        SItemContainer* bag = m->containerId ? FindContainerById(m->containerId) : nullptr;
        if (bag && !(bag->flags & SItemContainer::kFilled)) {
          game.FillFromTemplate(*this, *m, *bag);
          bag->flags |= SItemContainer::kFilled;
        }
        continue;
      }
      if (m->cellX < mapX || m->cellY < mapY || m->cellX >= mapX + w || m->cellY >= mapY + h) continue;
    }
    game.PlaceObjectInArea(*this, *m, m->cellX, m->cellY);
  }
}

// --- lookups and ids --------------------------------------------------------------------------------

SMapObjectInst* SMapArea::FindObjectById(u8 id) const {
  if (!id) return nullptr;
  for (SMapObjectInst* o : objects)
    if (o->id == id) return o;
  return nullptr;
}

SMapMonster* SMapArea::FindMonsterById(u8 id) const {
  for (SMapMonster* m : monsters)
    if (m->id == id) return m;
  return nullptr;
}

SItemContainer* SMapArea::FindContainerById(u8 id) const {
  if (!id) return nullptr;
  for (SItemContainer* c : containers)
    if (c->id == id) return c;
  return nullptr;
}

SMapMonster* SMapArea::FindMonsterOfObject(const SMapObjectInst* object) const {
  if (!object || !object->id) return nullptr;
  for (SMapMonster* m : monsters)
    if (m->objectId == object->id) return m;
  return nullptr;
}

void SMapArea::ClearObjectMarks() {
  for (SMapObjectInst* o : objects) o->state = u8(o->state & 0x7F);
}

namespace {
// The counter hands out 1..254 and stops at 255; from there the lowest unused id is searched.
template <class Used>
u8 AllocateId(u16& next, Used&& used) {
  if (next == 0 || next > 255) next = 255;
  if (next < 255) return u8(next++);
  for (u32 id = 1; id <= 255; ++id)
    if (!used(u8(id))) return u8(id);
  return 0;
}
}  // namespace

u8 SMapArea::AllocateMonsterId() {
  return AllocateId(nextMonsterId, [this](u8 id) { return FindMonsterById(id) != nullptr; });
}

u8 SMapArea::AllocateContainerId() {
  return AllocateId(nextContainerId, [this](u8 id) { return FindContainerById(id) != nullptr; });
}

SItemContainer* SMapArea::AddContainer() {
  u8 id = AllocateContainerId();
  if (!id) return nullptr;
  SItemContainer* c = new (std::nothrow) SItemContainer;
  if (!c) return nullptr;
  c->id = id;
  c->cellX = c->cellY = 255;
  SMapGame* game = Game();
  c->serial = u16(game ? game->NextContainerSerial() : 0);
  if (!containers.Add(c)) {
    delete c;
    return nullptr;
  }
  return c;
}

void SMapArea::RemoveContainer(u8 id) {
  SItemContainer* c = FindContainerById(id);
  if (!c) return;
  containers.Remove(c);
  delete c;
}

void SMapArea::RemoveTransientContainers() {
  for (i32 i = containers.Count() - 1; i >= 0; --i)
    if (!(containers[i]->flags & SItemContainer::kPersistent)) delete containers.RemoveAt(i);
}

void SMapArea::DeleteAllContainers() { containers.DeleteAll(); }

// --- monsters ---------------------------------------------------------------------------------------

SMapMonster* SMapArea::AddMonster(SMonster* monsterTemplate, i32 x, i32 y) {
  if (!monsterTemplate) return nullptr;
  u8 id = AllocateMonsterId();
  if (!id) return nullptr;
  SMapMonster* m = new (std::nothrow) SMapMonster;
  if (!m) return nullptr;
  SMapGame* game = Game();
  m->monster = monsterTemplate;
  m->id = id;
  m->hp = game ? game->TemplateMaxHp(monsterTemplate) : 0;
  m->flags = SMapMonster::kDefault;
  m->cellX = u8(x);
  m->cellY = u8(y);
  if (game && game->TemplateKind(monsterTemplate) == 4)
    if (SItemContainer* bag = AddContainer()) m->containerId = bag->id;
  if (!monsters.Add(m)) {
    RemoveContainer(m->containerId);
    delete m;
    return nullptr;
  }
  return m;
}

SMapMonster* SMapArea::AddMarkedMonster(SMonster* monsterTemplate, i32 x, i32 y) {
  SMapMonster* m = AddMonster(monsterTemplate, x, y);
  if (m) m->flags |= SMapMonster::kMarked;
  return m;
}

void SMapArea::MarkPlaceholder(u8 objectId) {
  if (SMapObjectInst* bound = FindObjectById(objectId)) bound->monsterPlaceholder = 1;
}

void SMapArea::RemoveMonsterAt(i32 index, bool withContainer) {
  SMapMonster* m = monsters.RemoveAt(index);
  if (!m) return;
  // Whoever still points at the entry lets go of it before it is freed.
  if (SMapGame* game = Game()) game->MonsterFreed(*this, *m);
  DeleteEffectHolder(m->id);
  if (withContainer && m->containerId) RemoveContainer(m->containerId);
  delete m;
}

void SMapArea::RemoveMonster(u8 id) {
  for (i32 i = 0; i < monsters.Count(); ++i)
    if (monsters[i]->id == id) {
      RemoveMonsterAt(i);
      return;
    }
}

void SMapArea::RemoveMonstersOfType(const SMonster* monsterTemplate) {
  for (i32 i = monsters.Count() - 1; i >= 0; --i)
    if (monsters[i]->monster == monsterTemplate && (monsters[i]->flags & SMapMonster::kMarked)) RemoveMonsterAt(i);
}

void SMapArea::RemoveAllMonsters() {
  // Containers are left to their own rules: a weekly reset keeps the persistent ones, people's too.
  while (monsters.Count()) RemoveMonsterAt(monsters.Count() - 1, false);
}

bool SMapArea::MoveMonsterTo(SMapMonster& m, SMapArea& to) {
  if (&to == this || monsters.IndexOf(&m) < 0) return false;
  SItemContainer* bag = m.containerId ? FindContainerById(m.containerId) : nullptr;
  const u8 id = to.AllocateMonsterId();
  const u8 bagId = bag ? to.AllocateContainerId() : 0;
  if (!id || (bag && !bagId)) return false;
  if (!to.monsters.Add(&m)) return false;
  if (bag && !to.containers.Add(bag)) {
    to.monsters.Remove(&m);
    return false;
  }
  monsters.Remove(&m);
  if (bag) {
    containers.Remove(bag);
    bag->id = bagId;
    m.containerId = bagId;
  }
  // The effects follow the monster under its new id.
  while (SMonsterEffectHolder* h = RemoveEffectHolder(m.id)) {
    h->monsterId = id;
    if (!to.AddEffectHolder(h)) delete h;
  }
  m.id = id;
  return true;
}

void SMapArea::VisitKind4MonstersInRect(SMapGame& game, i32 x, i32 y, i32 w, i32 h) {
  for (SMapMonster* m : monsters) {
    if (game.TemplateKind(m->monster) != 4) continue;
    if (m->cellX < x || m->cellY < y || m->cellX >= x + w || m->cellY >= y + h) continue;
    SMapObjectInst* bound = m->objectId ? FindObjectById(m->objectId) : nullptr;
    if (bound && !bound->IsActive()) continue;
    game.PlaceObjectInArea(*this, *m, m->cellX, m->cellY);
  }
}

bool SMapArea::IsAggressive(const SMapMonster& m) {
  SMapGame* game = Game();
  if (!game || game->TemplateKind(m.monster) == 4) return false;
  if (m.flags & SMapMonster::kAggressive) return true;
  return (m.flags & SMapMonster::kDefault) && game->TemplateAggressive(m.monster);
}

u32 SMapArea::GetHealthPercent(const SMapMonster& m) {
  SMapGame* game = Game();
  i32 max = game ? game->TemplateMaxHp(m.monster) : 0;
  if (max <= 0) return 0;
  i32 p = i32(m.hp) * 100 / max;
  return u32(p < 0 ? 0 : p > 100 ? 100 : p);
}

void SMapArea::Heal(SMapMonster& m) {
  if (SMapGame* game = Game()) m.hp = game->TemplateMaxHp(m.monster);
}

void SMapArea::ClampHealth(SMapMonster& m) {
  SMapGame* game = Game();
  if (game && m.hp > game->TemplateMaxHp(m.monster)) m.hp = game->TemplateMaxHp(m.monster);
}

// --- effects ----------------------------------------------------------------------------------------

SMonsterEffectHolder* SMapArea::FindEffectHolder(u8 n) const {
  for (SMonsterEffectHolder* h : effectHolders)
    if (h->monsterId == n) return h;
  return nullptr;
}

SMonsterEffectHolder* SMapArea::NewEffectHolder(u8 n) {
  SMonsterEffectHolder* h = new (std::nothrow) SMonsterEffectHolder;
  if (!h) return nullptr;
  h->monsterId = n;
  if (!effectHolders.Add(h)) {
    delete h;
    return nullptr;
  }
  return h;
}

SMonsterEffectHolder* SMapArea::RemoveEffectHolder(u8 n) {
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (h) effectHolders.Remove(h);
  return h;
}

void SMapArea::DeleteEffectHolder(u8 n) {
  while (SMonsterEffectHolder* h = RemoveEffectHolder(n)) delete h;
}

SMonsterEffect* SMapArea::FindMonsterEffect(u8 n, i8 attribute, u8 subkind, const char* text) const {
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (!h) return nullptr;
  for (SMonsterEffect* e : h->effects)
    if (e->attribute == attribute && e->subkind == subkind && SameText(e->text, text)) return e;
  return nullptr;
}

void SMapArea::AddMonsterEffect(u8 n, i16 value, i8 duration, i8 attribute, u8 subkind, const char* text) {
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (!h && !(h = NewEffectHolder(n))) return;
  if (SMonsterEffect* e = FindMonsterEffect(n, attribute, subkind, text)) {
    if (value > e->value) {
      e->value = value;
      e->duration = duration;
    } else if (value == e->value && duration > e->duration) {
      e->duration = duration;
    }
    return;
  }
  SMonsterEffect* e = new (std::nothrow) SMonsterEffect;
  if (!e) return;
  e->kind = SMonsterEffect::kPlain;
  e->value = value;
  e->duration = duration;
  e->attribute = attribute;
  e->subkind = subkind;
  e->text = text ? StrDup(text) : nullptr;
  if (!h->effects.Add(e)) delete e;
}

i32 SMapArea::SumMonsterEffects(u8 n, i8 attribute) const {
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (!h) return 0;
  const bool flag = attribute == kCursed || attribute == kParalysis || attribute == kFlag39;
  i32 sum = 0;
  for (SMonsterEffect* e : h->effects) {
    if (e->kind != SMonsterEffect::kPlain || e->attribute != attribute) continue;
    if (flag) return 1;
    sum += e->value;
  }
  return sum;
}

bool SMapArea::HasMonsterEffect(u8 n, i8 attribute) const {
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (!h) return false;
  for (const SMonsterEffect* e : h->effects)
    if (e->kind == SMonsterEffect::kPlain && e->attribute == attribute) return true;
  return false;
}

i16 SMapArea::SumMonsterEffectsWithDiseases(u8 n, i8 attribute, u8 subkind) const {
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (!h) return 0;
  SWorldTable* diseases =
      module && module->env && module->env->tables ? (*module->env->tables)[kBlockDiseases] : nullptr;
  i32 sum = 0;
  for (SMonsterEffect* e : h->effects) {
    if (e->kind == SMonsterEffect::kPlain) {
      if (e->attribute == attribute && e->subkind == subkind && (!e->text || !*e->text)) sum += Beyond100(e->value);
    } else if (e->kind == SMonsterEffect::kDisease && diseases && e->text) {
      const SDisease* d = static_cast<const SDisease*>(diseases->FindForIndex(e->text));
      if (!d) continue;
      for (u32 i = 0; i < d->effects.Count(); ++i) {
        const SEffect* x = d->effects.Entry(i32(i));
        if (x && x->kind == u8(attribute) && x->sub == subkind && (!x->name || !*x->name)) sum += Beyond100(x->base);
      }
    }
  }
  return i16(sum);
}

void SMapArea::RemoveMonsterEffects(u8 n, i8 attribute) {
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (!h) return;
  for (i32 i = h->effects.Count() - 1; i >= 0; --i) {
    SMonsterEffect* e = h->effects[i];
    if (e->kind == SMonsterEffect::kPlain && e->attribute == attribute) delete h->effects.RemoveAt(i);
  }
}

bool SMapArea::MonsterHasDisease(u8 n, const char* disease) const {
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (!h || !disease) return false;
  for (SMonsterEffect* e : h->effects)
    if (e->kind == SMonsterEffect::kDisease && SameText(e->text, disease)) return true;
  return false;
}

void SMapArea::InfectMonster(u8 n, const char* disease) {
  if (!disease || !*disease || MonsterHasDisease(n, disease)) return;
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (!h && !(h = NewEffectHolder(n))) return;
  SMonsterEffect* e = new (std::nothrow) SMonsterEffect;
  if (!e) return;
  e->kind = SMonsterEffect::kDisease;
  e->text = StrDup(disease);
  if (!h->effects.Add(e)) delete e;
}

void SMapArea::CureMonsterDisease(u8 n, const char* disease) {
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (!h || !disease) return;
  for (i32 i = 0; i < h->effects.Count(); ++i) {
    SMonsterEffect* e = h->effects[i];
    if (e->kind == SMonsterEffect::kDisease && SameText(e->text, disease)) {
      delete h->effects.RemoveAt(i);
      return;
    }
  }
}

void SMapArea::TickMonsterEffects(u8 n, u32 turns) {
  SMonsterEffectHolder* h = FindEffectHolder(n);
  if (!h) return;
  SMapMonster* m = FindMonsterById(n);
  SMapGame* game = Game();
  const i32 p = GetMonsterPoison(n);
  if (p && m) {
    // Poison wears a monster down but never kills it.
    m->hp = i16(m->hp <= p ? 1 : m->hp - p);
    m->flags = u8((m->flags & 0x1F) | SMapMonster::kPoisoned);
    m->poisonShown = 10;
    u16 shown = p >= 60 ? 100 : p > 10 ? u16(50 + (p - 10) * 100 / 50) : 50;
    if (game) game->ShowMonsterPoisoned(*this, *m, shown);
  }
  bool refresh = false;
  for (i32 i = h->effects.Count() - 1; i >= 0; --i) {
    SMonsterEffect* e = h->effects[i];
    if (e->kind != SMonsterEffect::kPlain || e->duration == 0) continue;
    e->duration = i8(i64(e->duration) < i64(turns) ? 0 : e->duration - i32(turns));
    if (e->duration != 0) continue;
    if (e->attribute == kParalysis) refresh = true;
    delete h->effects.RemoveAt(i);
  }
  if (refresh && m && game) game->RefreshMonsterPicture(*this, *m);
}

// --- saved state ------------------------------------------------------------------------------------

bool SMapArea::WriteSavedState(SStream& s, u32 saveVersion) { return WriteSavedState(s, saveVersion, Game()); }
bool SMapArea::ReadSavedState(SStream& s, u32 saveVersion) { return ReadSavedState(s, saveVersion, Game()); }

bool SMapArea::WriteSavedState(SStream& s, u32 saveVersion, SMapGame* game) {
  u8 marker = 2;
  s.SerializeByte(marker);
  s.SerializeU32(lastVisit);
  u8 nextMonster = u8(nextMonsterId > 255 || nextMonsterId == 0 ? 255 : nextMonsterId);
  u8 nextContainer = u8(nextContainerId > 255 || nextContainerId == 0 ? 255 : nextContainerId);
  s.SerializeByte(nextMonster);
  s.SerializeByte(nextContainer);
  u16 n = 0;
  for (SMapObjectInst* o : objects)
    if (o->id) ++n;
  s.SerializeU16(n);
  for (SMapObjectInst* o : objects)
    if (o->id) o->WriteState(s);
  u8 form = u8(AutomapCoverage());
  s.SerializeByte(form);
  if (form == 2) s.SerializeBytes(automap, u32(automapRowBytes) * height);
  if (lastVisit) {
    // Without the game's name table the monsters cannot be named: none are kept.
    u16 count = game ? monsters.Count() : 0;
    s.SerializeU16(count);
    if (game)
      for (SMapMonster* m : monsters) m->WriteState(s, game);
    SItemNames* names = game ? game->ItemNames() : nullptr;
    u16 bags = names ? containers.Count() : 0;
    s.SerializeU16(bags);
    if (names)
      for (SItemContainer* c : containers)
        if (!c->WriteState(s, *names)) return false;
    u16 holders = effectHolders.Count();
    s.SerializeU16(holders);
    for (SMonsterEffectHolder* h : effectHolders) h->WriteState(s);
  }
  return s.Ok();
}

bool SMapArea::ReadSavedState(SStream& s, u32 saveVersion, SMapGame* game) {
  s.SerializeMarker(2);
  s.SerializeU32(lastVisit);
  if (saveVersion > 92) {
    u8 nextMonster = 1, nextContainer = 1;
    s.SerializeByte(nextMonster);
    s.SerializeByte(nextContainer);
    nextMonsterId = nextMonster ? nextMonster : 255;
    nextContainerId = nextContainer ? nextContainer : 255;
  }
  u16 n = 0;
  s.SerializeU16(n);
  for (u32 i = 0; i < n && s.Ok(); ++i) {
    u8 id = 0;
    s.SerializeByte(id);
    SMapObjectInst scratch;
    SMapObjectInst* o = FindObjectById(id);
    (o ? o : &scratch)->ReadState(s);
  }
  u8 form = 0;
  s.SerializeByte(form);
  if (s.Failed()) return false;
  const u32 bytes = u32(automapRowBytes) * height;
  if (form == 0) {
    ClearAutomap();
  } else if (form == 1) {
    FillAutomap();
  } else if (form == 2) {
    if (!automap || s.Remaining() < bytes) return false;
    s.SerializeBytes(automap, bytes);
  } else {
    return false;
  }
  if (lastVisit == 0) return s.Ok();

  RemoveAllMonsters();
  DeleteAllContainers();
  u16 count = 0;
  s.SerializeU16(count);
  u32 highest = 0;
  for (u32 i = 0; i < count && s.Ok(); ++i) {
    SMapMonster m;
    u16 index = 0;
    m.flags = 0;
    s.SerializeByte(m.id);
    s.SerializeU16(index);
    m.ReadStateFields(s);
    if (s.Failed()) break;
    MarkPlaceholder(m.objectId);
    m.monster = game ? game->SavedMonster(index) : nullptr;
    if (!m.monster || m.id == 0) continue;
    const i16 max = game->TemplateMaxHp(m.monster);
    if (m.hp > max) m.hp = max;
    if (game->TemplateKind(m.monster) != 4) m.flags &= 7;
    SMapMonster* kept = FindMonsterById(m.id);
    if (kept) {
      *kept = m;
    } else {
      kept = new (std::nothrow) SMapMonster(m);
      if (!kept) return false;
      if (!monsters.Add(kept)) {
        delete kept;
        return false;
      }
    }
    if (m.id > highest) highest = m.id;
  }
  if (highest + 1 > nextMonsterId) nextMonsterId = u16(highest >= 254 ? 255 : highest + 1);
  u16 bags = 0;
  s.SerializeU16(bags);
  SItemNames* names = game ? game->ItemNames() : nullptr;
  if (bags && !names) return false;
  highest = 0;
  for (u32 i = 0; i < bags && s.Ok(); ++i) {
    u8 id = 0;
    s.SerializeByte(id);
    SItemContainer* c = FindContainerById(id);
    if (!c) {
      c = new (std::nothrow) SItemContainer;
      if (!c) return false;
      c->id = id;
      if (!containers.Add(c)) {
        delete c;
        return false;
      }
    }
    if (!c->ReadMapState(s, *names)) return false;
    if (id > highest) highest = id;
  }
  if (highest + 1 > nextContainerId) nextContainerId = u16(highest >= 254 ? 255 : highest + 1);
  if (saveVersion > 91) {
    u16 holders = 0;
    s.SerializeU16(holders);
    for (u32 i = 0; i < holders && s.Ok(); ++i) {
      SMonsterEffectHolder* h = new (std::nothrow) SMonsterEffectHolder;
      if (!h) return false;
      if (!h->ReadState(s) || !effectHolders.Add(h)) {
        delete h;
        return false;
      }
    }
  }
  return s.Ok();
}
