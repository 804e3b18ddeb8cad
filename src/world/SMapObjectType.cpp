#include "world/SMapObjectType.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "world/SImageCache.h"
#include "world/SSoundTable.h"
#include "world/kinds/SMapObjectDoor.h"
#include "world/kinds/SMapObjectScenery.h"
#include "world/kinds/SMapObjectSwitch.h"
#include "world/kinds/SMapObjectWall.h"

#include <memory>
#include <new>

SMapObjectType::SMapObjectType() : imageIndices(4) { imageNames.SetOwns(false); }

SMapObjectType::~SMapObjectType() {
  // The names point into the table's kept records.
  imageNames.Reset();
  needed = false;
  imagesLoaded = false;
  for (const char*& t : texts) t = nullptr;
}

SMapObjectType* SMapObjectType::Create(SMapObjectTypeTable* table, u32 classNumber) {
  SMapObjectType* t = nullptr;
  switch (classNumber) {
    case 1: t = new (std::nothrow) SMapObjectTexture; break;
    case 2:
    case 3:
    case 21:
    case 23:
    case 30:
    case 34:
    case 36: t = new (std::nothrow) SMapObjectType; break;
    case 4: t = new (std::nothrow) SMapObjectTextureDecor; break;
    case 5: t = new (std::nothrow) SMapObjectWall; break;
    case 6: t = new (std::nothrow) SMapObjectWallLine; break;
    case 7:
    case 8: t = new (std::nothrow) SMapObjectBlock; break;
    case 9: t = new (std::nothrow) SMapObjectWallDecor; break;
    case 10: t = new (std::nothrow) SMapObjectCityWindow; break;
    case 11: t = new (std::nothrow) SMapObjectCityDoor; break;
    case 12: t = new (std::nothrow) SMapObjectNpc; break;
    case 13: t = new (std::nothrow) SMapObjectFlower; break;
    case 14: t = new (std::nothrow) SMapObjectContainer; break;
    case 15: t = new (std::nothrow) SMapObjectHole; break;
    case 16: t = new (std::nothrow) SMapObjectLever; break;
    case 17: t = new (std::nothrow) SMapObjectShelf; break;
    case 18: t = new (std::nothrow) SMapObjectSign; break;
    case 19: t = new (std::nothrow) SMapObjectTable; break;
    case 20:
    case 22: t = new (std::nothrow) SMapObjectDoor; break;
    case 24: t = new (std::nothrow) SMapObjectFootbridge; break;
    case 25: t = new (std::nothrow) SMapObjectTeleport; break;
    case 26: t = new (std::nothrow) SMapObjectTree; break;
    case 27: t = new (std::nothrow) SMapObjectGroup; break;
    case 28: t = new (std::nothrow) SMapObjectSecretSwitch; break;
    case 29: t = new (std::nothrow) SMapObjectPillar; break;
    case 31: t = new (std::nothrow) SMapObjectFloorSwitch; break;
    case 32: t = new (std::nothrow) SMapObjectStand; break;
    case 33: t = new (std::nothrow) SMapObjectStair; break;
    case 35: t = new (std::nothrow) SMapObjectWeb; break;
    case 37: t = new (std::nothrow) SMapObjectWallOfForce; break;
    case 38: t = new (std::nothrow) SMapObjectBush; break;
    case 39: t = new (std::nothrow) SMapObjectPosition; break;
    case 40: t = new (std::nothrow) SMapObjectWallFloorDecor; break;
    case 41: t = new (std::nothrow) SMapObjectBlockAnim; break;
    case 42: t = new (std::nothrow) SMapObjectTrap; break;
    case 43: t = new (std::nothrow) SMapObjectAmbientSound; break;
    default: return nullptr;
  }
  if (!t) return nullptr;
  t->classNumber = u8(classNumber);
  t->table = table;
  if (table) {
    const SMapObjectClassRow& row = table->ClassRow(classNumber);
    t->classFlags = row.classFlags;
    t->typeFlags = u16(row.typeFlags);
  }
  if (classNumber == 7 || classNumber == 8 || classNumber == 41) t->typeFlags |= MapTypeFlag::kBlockClass;
  return t;
}

void SMapObjectType::Serialize(SStream& s, u32 version, const SMapObjectClassRow* params) {
  s.SerializeName(name);
  s.SerializeString(secondText);
  s.SerializeByte(classNumber);
  s.SerializeString(linkedTypeName);
  s.Align(2);
  for (i16& p : placement) s.SerializeI16(p);
  s.SerializeI16(decalX);
  s.SerializeI16(decalY);
  if (version > 7) s.SerializeString(texts[0]);
  if (version > 9) s.SerializeString(texts[1]);
  if (version > 105) s.SerializeString(texts[2]);
  if (version > 107) s.SerializeString(texts[3]);
  if (version > 58) s.SerializeByte(defaultState);
  if (s.IsReading() && params) classFlags = params->classFlags;
  if (version >= 11) {
    s.SerializeU16(typeFlags);
  } else if (s.IsReading()) {
    typeFlags = params ? u16(params->typeFlags) : 0;
  }
  if (s.IsReading()) {
    eventMask = params ? u16(params->eventMask) : 0;
    if (classNumber == 11 || classNumber == 33) typeFlags |= MapTypeFlag::kTravels;
  }
  // Image names: align 2, count, the texts (an empty one means no image).
  s.Align(2);
  u16 n = imageNames.Count();
  s.SerializeU16(n);
  if (s.IsReading()) {
    imageNames.Reset();
    for (u32 i = 0; i < n && s.Ok(); ++i) {
      const char* text = nullptr;
      s.SerializeString(text);
      if (s.Ok() && !imageNames.Add(const_cast<char*>(text))) s.SetFailed();
    }
  } else {
    for (u32 i = 0; i < n; ++i) {
      const char* text = imageNames.Text(i32(i));
      s.SerializeString(text);
    }
  }
  SPaletteHolder::Serialize(s, version);
}

SMapObjectType* SMapObjectType::LinkedType() const {
  if (!linkedTypeName || !table) return nullptr;
  SMapObjectType* t = table->FindType(linkedTypeName);
  return t == this ? nullptr : t;
}

namespace {
void LoadNamedImages(SImageCache& cache, const SMapObjectType& t) {
  for (u32 i = 0; i < t.imageNames.Count(); ++i) {
    const char* n = t.imageNames.Text(i32(i));
    if (n && *n) cache.LoadImage(cache.FindImage(n));
  }
}
void ReleaseNamedImages(SImageCache& cache, const SMapObjectType& t) {
  for (u32 i = 0; i < t.imageNames.Count(); ++i) {
    const char* n = t.imageNames.Text(i32(i));
    if (n && *n) cache.ReleaseImage(cache.FindImage(n));
  }
}
}  // namespace

void SMapObjectType::LoadImages(SImageCache& cache) {
  if (imagesLoaded) return;
  LoadNamedImages(cache, *this);
  linkedLoaded_ = LinkedType();
  if (linkedLoaded_) LoadNamedImages(cache, *linkedLoaded_);
  AcquirePalettes(cache);
  imagesLoaded = true;
}

void SMapObjectType::ReleaseImages(SImageCache& cache) {
  if (!imagesLoaded) return;
  ReleaseNamedImages(cache, *this);
  // The linked type as it was when loading: a release always balances its load.
  if (linkedLoaded_) ReleaseNamedImages(cache, *linkedLoaded_);
  linkedLoaded_ = nullptr;
  ReleasePalettes(cache);
  imagesLoaded = false;
}

void SMapObjectType::MarkNeeded(SSoundTable* sounds) {
  needed = true;
  if (!sounds) return;
  for (u32 i = 1; i < 4; ++i)
    if (texts[i]) sounds->MarkSoundNeeded(texts[i]);
}

SMapObjectTypeTable::SMapObjectTypeTable() : types(true, 4), rawRecords(true, 4) { InitClassParameters(); }

SMapObjectTypeTable::~SMapObjectTypeTable() { Clear(); }

void SMapObjectTypeTable::Clear() {
  if (images)
    for (SMapObjectType* t : types) t->ReleaseImages(*images);
  types.DeleteAll();
  rawRecords.DeleteAll();
}

bool SMapObjectTypeTable::SerializeBlock(SStream& s, u32 version) {
  if (s.IsWriting()) {
    u8 tag = kTag;
    s.SerializeByte(tag);
  } else {
    s.SerializeMarker(kTag);
  }
  s.Align(2);
  u16 n = types.Count();
  s.SerializeU16(n);
  if (s.IsWriting()) {
    for (SMapObjectType* t : types) {
      u8 c = t->classNumber;
      s.SerializeByte(c);
      t->Serialize(s, version, &ClassRow(c));
    }
    // The types carry their palette lists themselves: the block after them stays empty.
    if (version <= 41) return s.Ok();
    u16 none = 0;
    s.SerializeU16(none);
    return s.Ok();
  }
  droppedTypes = 0;
  for (u32 i = 0; i < n && s.Ok(); ++i) {
    u8 c = 0;
    s.SerializeByte(c);
    if (s.Failed()) break;
    SMapObjectType* t = SMapObjectType::Create(this, c);
    if (!t) {
      // No kind for this class: read its fields into a scratch plain type and drop it.
      SMapObjectType scratch;
      scratch.Serialize(s, version, &ClassRow(0));
      ++droppedTypes;
      continue;
    }
    t->Serialize(s, version, &ClassRow(c));
    if (s.Failed() || !types.InsertByNameHash(t)) {
      delete t;
      s.SetFailed();
      break;
    }
  }
  if (s.Failed()) return false;
  return ReadPaletteBlock(s, version, [this](const char* name) -> SPaletteHolder* { return FindType(name); });
}

bool SMapObjectTypeTable::Load(SDatabase& db, u16& record, u32 version) {
  std::unique_ptr<SRecordData> r = db.ReadRecord(record);
  if (!r) return false;
  ++record;
  SStream s(version);
  s.OpenForRead(*r);
  bool ok = SerializeBlock(s, version);
  // Types read so far point into the record: it stays, also after a fault.
  SRecordData* kept = r.release();
  if (!rawRecords.Add(kept)) return false;
  return ok;
}

void SMapObjectTypeTable::ClearGlobalSoundMarks(SSoundTable& sounds) {
  for (SMapObjectType* t : types)
    for (u32 i = 1; i < 4; ++i)
      if (t->texts[i]) sounds.ClearGlobalMark(t->texts[i]);
}

void SMapObjectTypeTable::ResolveNames(SImageCache& cache, u8* imageFlags) {
  images = &cache;
  for (SMapObjectType* t : types) {
    t->imageIndices.Clear();
    const u32 n = t->imageNames.Count();
    for (u32 i = 0; i < n; ++i) {
      const char* name = t->imageNames.Text(i32(i));
      // A name the cache does not hold resolves to 0 in its position, so the array keeps its length.
      u16 index = name && *name ? cache.FindImageIndex(name) : 0;
      t->imageIndices.Add(index);
      if (!index || !imageFlags) continue;
      u8 flag = u8(t->placement[2]);
      if ((t->classNumber == 20 || t->classNumber == 22) && i == 2) flag = 20;
      if (t->classNumber == 11 && i == 1) flag = 2;
      imageFlags[index] = flag;
    }
    auto run = [t](u32 from, u32 limit) {
      u8 count = 0;
      for (u32 i = from; i < from + limit && i < t->imageIndices.Count() && t->imageIndices[i]; ++i) ++count;
      return count;
    };
    t->frameCountA = t->frameCountB = 0;
    switch (t->classNumber) {
      case 1:
      case 3:
      case 4:
      case 30:
      case 36:
      case 37:
      case 41: t->frameCountA = u8(n); break;
      case 9:
      case 40:
        t->frameCountA = run(1, 7);
        t->frameCountB = run(9, 7);
        break;
      case 10:
        t->frameCountA = run(2, 3);
        t->frameCountB = run(5, 3);
        break;
      case 25: t->frameCountA = u8(n - 1); break;
      default: break;
    }
    switch (t->classNumber) {
      case 3:
      case 20:
      case 22:
      case 25:
      case 33:
      case 37:
      case 41:
      case 42: t->animated = true; break;
      case 4:
      case 9:
      case 10:
      case 40: t->animated = t->frameCountA || t->frameCountB; break;
      case 7:
      case 8: t->animated = t->linkedTypeName != nullptr; break;
      default: t->animated = false; break;
    }
  }
}

void SMapObjectTypeTable::MarkAlwaysNeeded(SSoundTable* sounds) {
  for (SMapObjectType* t : types) {
    if (t->classNumber == 34 || t->name.Equals("bres_animfire"))
      t->MarkNeeded(sounds);
    else
      t->needed = false;
  }
}

u16 SMapObjectTypeTable::CountKind3() const {
  u16 n = 0;
  for (const SMapObjectType* t : types)
    if (t && t->classNumber == 3) ++n;
  return n;
}

SMapObjectType* SMapObjectTypeTable::FirstOfClass(u8 classNumber) const {
  for (SMapObjectType* t : types)
    if (t->classNumber == classNumber) return t;
  return nullptr;
}
