#include "world/SSpell.h"

#include "world/SImageCache.h"
#include "world/SWorldRules.h"

void SSpell::Serialize(SStream& s, u32 version) {
  s.SerializeMarker(4);
  s.SerializeName(name);
  static const u8 kOrder[6] = {0, 1, 2, 4, 3, 5};  // text 5 is stored before text 4
  for (u8 i : kOrder) s.SerializeString(texts[i]);
  if (version >= 27) {
    s.SerializeString(texts[6]);
    s.SerializeString(texts[7]);
  }
  if (version < 51) {
    const u8* dropped = nullptr;
    u16 length = 0;
    s.SerializeSizedBlock(dropped, length);
  }
  s.SerializeU16(enchantValue);
  s.SerializeU16(baseCost);
  s.SerializeU16(costPerSkill);
  if (!effects.Serialize(s, version)) return;
  s.SerializeByte(school);
  for (u8& b : extra) s.SerializeByte(b);
  if (version >= 52) s.SerializeString(texts[8]);
}

u32 SSpell::GetManaCost(SWorldRules& rules) const {
  const u32 skill = rules.spells.SchoolSkill(this);
  if (skill < 1 || skill > kSkillCount || !rules.player) return baseCost;
  if (skill == BarredSkill(rules.player->Race())) return baseCost;
  const i32 level =
      i32(rules.player->SkillLevel(skill)) + rules.player->SumEffects(kCategoryFortifySkill, skill, nullptr, nullptr);
  const i32 cost = i32(baseCost) + i32(costPerSkill) * level / 100;
  return cost > 0 ? u32(cost) : 0;  // a heavily weakened skill does not make casting pay mana back
}

bool SSpell::HasEffectKind(u32 kind) const {
  for (const SEffect* e : effects.entries)
    if (e->kind == kind) return true;
  return false;
}

bool SSpell::PreventsWandRecharge() const { return HasEffectKind(49); }

bool SSpell::HasGradedEffect() const {
  static const u8 kUngraded[] = {4, 7, 12, 13, 14, 19, 21, 27, 37, 41, 46, 47, 48, 49, 52, 55};
  for (const SEffect* e : effects.entries) {
    bool ungraded = false;
    for (u8 k : kUngraded) ungraded |= e->kind == k;
    if (!ungraded) return true;
  }
  return false;
}

bool SSpell::HasFlaggedEffect() const {
  for (const SEffect* e : effects.entries)
    if (e->radius) return true;
  return false;
}

i32 SSpell::ComputeMonsterDamage(i32 casterLevel, const Target* target) const {
  i64 total = 0;
  for (const SEffect* e : effects.entries) {
    const i32 m = e->MagnitudeAt(casterLevel);
    if (!target) {
      if (e->kind == 25 || e->kind == 26 || e->kind == 29 || e->kind == 40) total += m;
      continue;
    }
    const bool undead = target->monsterKind == 3;
    switch (e->kind) {
      case 3:
        if (undead) total += m;
        break;
      case 4:
        if (undead) total += target->hp - 1;
        break;
      case 5:
        if (undead) total += m < target->hp - 1 ? m : target->hp - 1;
        break;
      case 6:
        if (!undead) total += m;
        break;
      case 7:
        if (!undead) total += target->hp - 1;
        break;
      case 8:
        if (!undead) total += m < target->hp - 1 ? m : target->hp - 1;
        break;
      case 23:
        if (e->name && target->baseTypeName && StrCompare(e->name, target->baseTypeName) == 0) total += m;
        break;
      case 24:
        if (e->sub == target->monsterKind) total += m;
        break;
      case 25:
      case 26:
      case 29:
      case 40: total += m; break;
      default: break;
    }
  }
  if (target) total -= target->magicResistance * total / 100;
  return total > 0x7FFFFFFF ? 0x7FFFFFFF : total < -0x7FFFFFFF ? -0x7FFFFFFF : i32(total);
}

void SSpellTable::InitSchoolNames() {
  static const char* const kNames[kSpellSchools] = {"",
                                                    "Heal spells",
                                                    "Protection spells",
                                                    "Attack spells",
                                                    "Mind spells",
                                                    "Undead spells",
                                                    "Environment spells",
                                                    "Magic items"};
  static const u8 kSkills[kSpellSchools] = {0, 8, 9, 10, 11, 12, 13, 0};
  for (u32 i = 0; i < kSpellSchools; ++i) {
    schoolNames[i] = kNames[i];
    schoolSkills[i] = kSkills[i];
  }
}

bool SSpellTable::IsHarmfulSpell(const char* name) const {
  const SSpell* spell = FindByName(name);
  if (!spell) return false;
  for (const SEffect* e : spell->effects.entries)
    if (e->IsHarmful()) return true;
  return false;
}

void SSpellEffect::Serialize(SStream& s, u32 version) {
  s.SerializeMarker('1');
  s.SerializeName(name);
  s.SerializeByte(kind);
  if (version >= 26 && version <= 108) {
    const char* dropped = nullptr;
    s.SerializeString(dropped);
  }
  // Frame names point into the kept record: the list does not own them.
  frameNames.SetOwns(false);
  s.Align(2);
  u16 n = frameNames.Count();
  s.SerializeU16(n);
  if (s.IsReading()) {
    for (u32 i = 0; i < n && s.Ok(); ++i) {
      const char* text = nullptr;
      s.SerializeString(text);
      if (s.Ok() && !frameNames.Add(const_cast<char*>(text))) s.SetFailed();
    }
  } else {
    for (u32 i = 0; i < n; ++i) {
      const char* text = frameNames.Text(i32(i));
      s.SerializeString(text);
    }
  }
  SPaletteHolder::Serialize(s, version);
}

void SSpellEffect::LoadFrames(SImageCache& cache) {
  // By name: the loading phases preload the frames before their numbers are resolved.
  for (u32 i = 0; i < frameNames.Count(); ++i)
    if (const char* n = frameNames.Text(i32(i))) cache.LoadImageByName(n);
  AcquirePalettes(cache);
}

void SSpellEffectTable::ResolveFrames(SImageCache& cache) {
  for (SSpellEffect* e : records) {
    e->frames.Clear();
    for (u32 i = 0; i < e->frameNames.Count(); ++i) e->frames.Add(cache.FindImageIndex(e->frameNames.Text(i32(i))));
  }
}
