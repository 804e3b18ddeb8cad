#include "game/SMonster.h"

#include "foundation/SDatabase.h"
#include "foundation/SStream.h"
#include "world/SImageCache.h"
#include "world/SSoundTable.h"

#include <cstring>

namespace {
// Same-named exact search, as the index lists and the templates' base-type names resolve.
template <class T>
T* FindExact(const SPtrArray<T>& list, const char* name) {
  if (!name) return nullptr;
  for (T* t : list)
    if (t->name.Text() && !std::strcmp(t->name.Text(), name)) return t;
  return nullptr;
}
}  // namespace

SMonsterBaseType::~SMonsterBaseType() = default;

bool SMonsterBaseType::Serialize(SStream& s, u32 version) {
  s.SerializeMarker(29);
  s.SerializeName(name);
  s.SerializeString(text1);
  s.SerializeString(text2);
  u16 count = u16(FrameCount());
  s.SerializeU16(count);
  // The kind that sizes the frame arrays comes after the names: read them aside first.
  const char* names[10] = {};
  if (s.IsWriting()) {
    for (u32 i = 0; i < count; ++i) s.SerializeString(frameNames[i]);
  } else {
    for (u32 i = 0; i < count && s.Ok(); ++i) {
      const char* n = nullptr;
      s.SerializeString(n);
      if (i < 10) names[i] = n;
    }
  }
  if (version >= 16) s.SerializeString(text3);
  if (version >= 22) {
    s.SerializeString(sound1);
    s.SerializeString(sound2);
  }
  if (version >= 105) s.SerializeString(sound3);
  if (version >= 22) s.SerializeString(sound4);
  for (u16& v : stats) s.SerializeU16(v);
  s.SerializeByte(kind);
  if (s.IsReading()) {
    // Seven frames, ten for kind 4: names past that are dropped, missing ones stay null.
    for (u32 i = 0; i < 10; ++i) {
      frameNames[i] = i < FrameCount() ? names[i] : nullptr;
      frames[i] = 0;
    }
  }
  if (version >= 45) s.SerializeByte(imageFlag);
  if (version >= 46) s.SerializeByte(p1);
  if (version >= 95) s.SerializeByte(p2);
  if (version >= 97) s.SerializeByte(p3);
  SPaletteHolder::Serialize(s, version);
  if (s.IsReading()) {
    // Empty names after the first are dropped.
    for (i32 i = palettes.Count() - 1; i >= 1; --i) {
      const char* t = palettes.Text(i);
      if (!t || !*t) delete[] palettes.RemoveAt(i);
    }
  }
  if (version >= 79) s.SerializeByte(behaviour);
  if (version >= 80) s.SerializeString(text4);
  return s.Ok();
}

void SMonster::Serialize(SStream& s, u32 version, const SMonsterTable* table) {
  s.SerializeMarker(31);
  s.SerializeName(name);
  s.SerializeString(baseTypeName);
  if (s.IsReading()) baseType = table ? table->FindBaseType(baseTypeName) : nullptr;
  s.SerializeString(label);
  s.SerializeString(normalLookName);
  const char* dropped = nullptr;
  if (version < 94) s.SerializeString(dropped);
  if (version > 20) s.SerializeString(talk);
  if (version >= 22 && version <= 104)
    for (u32 i = 0; i < 3; ++i) s.SerializeString(dropped);
  effects.SerializeList(s, [version](SEffect& e, SStream& st) { e.Serialize(st, version); });
  items.entries.SerializeList(s, [version](SItemSpawn& e, SStream& st) { e.Serialize(st, version); });
  for (u16* v : {&minDamage, &maxDamage, &armourClass, &maxHp, &experience, &attribute1, &attribute2, &attribute3,
                 &attribute4, &spareValue})
    s.SerializeU16(*v);
  s.SerializeByte(kind);
  s.SerializeByte(level);
  s.SerializeByte(flags);
  if (version > 78) s.SerializeByte(behaviour);
  if (version > 79) s.SerializeString(castPalette);
  if (version > 87) s.SerializeByte(theftDifficulty);
  if (version > 95) s.SerializeByte(widePlacement);
  if (version > 96) s.SerializeByte(layer2Blocking);
}

void SMonsterBaseType::MarkSoundsNeeded(SSoundTable& sounds) {
  soundsNeeded = 1;
  for (const char* n : {sound1, sound2, sound3, sound4})
    if (n && sounds.FindSound(n)) sounds.MarkSoundNeeded(n);
}

void SMonsterBaseType::LoadImages(SImageCache& cache) {
  if (imagesLoaded_) return;
  for (u32 f = 0; f < FrameCount(); ++f)
    if (frameNames[f]) cache.LoadImageByName(frameNames[f]);
  AcquirePalettes(cache);
  imagesLoaded_ = true;
}

void SMonsterBaseType::ReleaseImages(SImageCache& cache) {
  if (!imagesLoaded_) return;
  for (u32 f = 0; f < FrameCount(); ++f)
    if (frameNames[f]) cache.ReleaseImageByName(frameNames[f]);
  ReleasePalettes(cache);
  imagesLoaded_ = false;
}

void SMonsterTable::ClearNeededMarks() {
  for (SMonsterBaseType* b : baseTypes) b->soundsNeeded = 0;
}

void SMonsterTable::UpdateResidency(SImageCache& images) {
  for (SMonsterBaseType* b : baseTypes)
    if (!b->soundsNeeded) b->ReleaseImages(images);
  for (SMonsterBaseType* b : baseTypes)
    if (b->soundsNeeded) b->LoadImages(images);
}

void SMonsterTable::InitKindNames() {
  static const char* const kNames[4] = {"", "humanoid", "creature", "undead"};
  static const char* const kPlurals[4] = {"", "humanoids", "creatures", "undeads"};
  for (u32 i = 0; i < 4; ++i) {
    kindNames[i] = kNames[i];
    kindPlurals[i] = kPlurals[i];
  }
}

SMonsterBaseType* SMonsterTable::FindBaseType(const char* name) const { return FindExact(baseTypes, name); }

SMonster* SMonsterTable::FindMonster(const char* name) const { return FindExact(monsters, name); }

bool SMonsterTable::SerializeBaseTypes(SStream& s, u32 version) {
  s.SerializeMarker(28);
  bool ok = baseTypes.SerializeNamed(s, [version](SMonsterBaseType& b, SStream& st) {
    if (!b.Serialize(st, version)) st.SetFailed();
  });
  if (!ok) return false;
  if (s.IsWriting()) {
    // The records carry their own palette lists: the block that follows them stays empty.
    u16 none = 0;
    if (version > 41) s.SerializeU16(none);
    return s.Ok();
  }
  return ReadPaletteBlock(s, version, [this](const char* n) -> SPaletteHolder* { return FindBaseType(n); });
}

bool SMonsterTable::SerializeMonsters(SStream& s, u32 version) {
  s.SerializeMarker(30);
  return monsters.SerializeNamed(s, [this, version](SMonster& m, SStream& st) { m.Serialize(st, version, this); });
}

bool SMonsterTable::Load(SDatabase& db, u16& record, u32 version) {
  for (u32 k = 0; k < 2; ++k) {
    std::unique_ptr<SRecordData> r = db.TakeRecord(record);
    if (!r) return false;
    SStream s(version);
    s.OpenForRead(*r);
    if (!(k == 0 ? SerializeBaseTypes(s, version) : SerializeMonsters(s, version))) {
      // Records read before the fault point into this record: keep it for the table's life.
      rawRecords.Add(r.release());
      return false;
    }
    rawRecords.Add(r.release());
  }
  return true;
}

void SMonsterTable::Clear() {
  monsters.DeleteAll();
  baseTypes.DeleteAll();
  rawRecords.DeleteAll();
}

void SMonsterTable::ClearGlobalSoundMarks(SSoundTable& sounds) {
  for (SMonsterBaseType* b : baseTypes)
    for (const char* n : {b->sound1, b->sound2, b->sound3, b->sound4}) sounds.ClearGlobalMark(n);
}

void SMonsterTable::ResolveNames(SImageCache& images, u8* imageFlags) {
  for (SMonsterBaseType* b : baseTypes)
    for (u32 f = 0; f < b->FrameCount(); ++f) {
      b->frames[f] = images.FindImageIndex(b->frameNames[f]);
      if (b->frames[f] && imageFlags && b->frames[f] < images.ImageCapacity()) imageFlags[b->frames[f]] = b->imageFlag;
    }
  for (SMonster* m : monsters) {
    m->lookNormal = images.FindImageIndex(m->normalLookName);
    // The paralysed look is the base type's last frame.
    m->lookParalysed = m->baseType ? images.FindImageIndex(m->baseType->LastFrameName()) : 0;
    m->castPaletteSlot = images.FindPaletteIndex(m->castPalette);
    m->basePaletteSlot = m->baseType ? images.FindPaletteIndex(m->baseType->text3) : 0;
  }
}
