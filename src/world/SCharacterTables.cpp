#include "world/SCharacterTables.h"

#include "foundation/StrUtil.h"

#include <memory>

namespace {
bool EqualNoCase(const char* a, const char* b) {
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
  }
  return *a == *b;
}
bool EqualExact(const char* a, const char* b) {
  if (!a || !b) return false;
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}
}  // namespace

void SCodeRowTable::SerializeBlock(SStream& s, u32 version, bool withRows) {
  s.SerializeMarker(Marker());
  u16 count = withRows ? 1 : 0;
  s.SerializeU16(count);
  if (s.Ok() && count != 0) SerializeRows(s, version);
}

bool SCodeRowTable::Load(SDatabase& db, u16& record, u32 version) {
  std::unique_ptr<SRecordData> r = db.TakeRecord(record);
  if (!r) return false;
  SStream s(version);
  s.OpenForRead(*r);
  s.SerializeMarker(Marker());
  u16 count = 0;
  s.SerializeU16(count);
  if (s.Failed()) return false;
  if (count == 0) return true;  // the code-made rows stay
  // The rows are read over the code-made ones; a short record leaves them half replaced, so it puts
  // the code-made rows back.
  SerializeRows(s, version);
  if (s.Failed()) {
    Fill();
    return false;
  }
  SRecordData* kept = r.release();
  if (!rawRecords.Add(kept)) {
    Fill();
    delete kept;
    return false;
  }
  return true;
}

// ---- attributes

void SAttributeTable::Fill() {
  static const char* const kRows[kAttributeCount + 1][3] = {{nullptr, nullptr, nullptr},
                                                            {"base_strength", "Strength", "Str"},
                                                            {"base_dexterity", "Dexterity", "Dex"},
                                                            {"base_endurance", "Endurance", "End"},
                                                            {"base_intelligence", "Intelligence", "Int"},
                                                            {"base_personality", "Personality", "Per"}};
  for (u32 i = 0; i <= kAttributeCount; ++i) {
    rows[i].id.Set(kRows[i][0]);
    rows[i].name = kRows[i][1];
    rows[i].shortName = kRows[i][2];
  }
}

void SAttributeTable::SerializeRows(SStream& s, u32) {
  for (u32 i = 1; i <= kAttributeCount && s.Ok(); ++i) {
    s.SerializeMarker('S');
    s.SerializeName(rows[i].id);
    s.SerializeString(rows[i].name);
    s.SerializeString(rows[i].shortName);
  }
}

u32 SAttributeTable::FindByKey(const char* text) const {
  if (!text) return 0;
  for (u32 i = 1; i <= kAttributeCount; ++i)
    if (EqualExact(rows[i].id.text, text) || EqualNoCase(rows[i].name, text) || EqualNoCase(rows[i].shortName, text))
      return i;
  return 0;
}

// ---- skills

namespace {

struct SkillDef {
  const char *id, *full, *medium, *shortName;
  u8 attribute, second;
};
const SkillDef kSkills[kSkillCount] = {
    {"base_block", "Block", "Block", "Block", 2, 9},
    {"base_lightweapon", "Light Weapon", "Light Weapon", "Light Weap", 2, 8},
    {"base_heavyweapon", "Heavy Weapon", "Heavy Weap", "Heavy W", 1, 9},
    {"base_dualwield", "Dual Wield", "Dual Wield", "Dual Wield", 2, 10},
    {"base_lightarmor", "Light Armor", "Light Armor", "Light Arm", 2, 9},
    {"base_heavyarmor", "Heavy Armor", "Heavy Armor", "Heavy Arm", 3, 9},
    {"base_accuracy", "Accuracy", "Accuracy", "Accuracy", 2, 10},
    {"base_healmagic", "Heal Magic", "Heal Magic", "Heal Magic", 4, 11},
    {"base_protectionmagic", "Protection Magic", "Prot. Magic", "Prot. Magic", 4, 11},
    {"base_attackmagic", "Attack Magic", "Attack Magic", "Attack M", 4, 11},
    {"base_mindmagic", "Mind Magic", "Mind Magic", "Mind Magic", 5, 11},
    {"base_undeadmagic", "Undead Magic", "Undead Magic", "Undead M", 4, 11},
    {"base_environmagic", "Environment Magic", "Env. Magic", "Env. Magic", 4, 11},
    {"base_repair", "Repair", "Repair", "Repair", 2, 9},
    {"base_mercantile", "Mercantile", "Mercantile", "Mercantile", 5, 9},
    {"base_alchemy", "Alchemy", "Alchemy", "Alchemy", 4, 10},
    {"base_persuade", "Persuade", "Persuade", "Persuade", 5, 10},
    {"base_lockpick", "Lockpick", "Lockpick", "Lockpick", 2, 9},
    {"base_disarm", "Disarm", "Disarm", "Disarm", 4, 9},
    {"base_stealth", "Stealth", "Stealth", "Stealth", 2, 9},
};

}  // namespace

void SSkillTable::Fill() {
  rows[0] = SSkillRow{};
  rows[0].id.Set(nullptr);
  for (u32 i = 1; i <= kSkillCount; ++i) {
    const SkillDef& d = kSkills[i - 1];
    rows[i].id.Set(d.id);
    rows[i].fullName = d.full;
    rows[i].mediumName = d.medium;
    rows[i].shortName = d.shortName;
    rows[i].fourth = nullptr;
    rows[i].attribute = d.attribute;
    rows[i].second = d.second;
  }
  static const u32 kCurve[11] = {50, 100, 200, 300, 450, 600, 800, 1100, 1500, 2000, 3000};
  for (u32 i = 0; i < 11; ++i) curve[i] = kCurve[i];
}

void SSkillTable::SerializeRows(SStream& s, u32 version) {
  for (u32 i = 1; i <= kSkillCount && s.Ok(); ++i) {
    SSkillRow& r = rows[i];
    s.SerializeMarker('Q');
    s.SerializeName(r.id);
    s.SerializeString(r.fullName);
    if (version >= 74) s.SerializeString(r.mediumName);
    if (version >= 110) s.SerializeString(r.shortName);
    s.SerializeByte(r.attribute);
    // The governing attribute indexes the player's five attributes: a world's row naming another keeps
    // the attribute the game gives that skill.
    if (s.IsReading() && (r.attribute < 1 || r.attribute > kAttributeCount)) r.attribute = kSkills[i - 1].attribute;
    if (version >= 83) s.SerializeByte(r.second);
    if (version >= 86) s.SerializeString(r.fourth);
  }
}

u32 SSkillTable::FindByName(const char* text) const {
  if (!text) return 0;
  u16 h = HashResourceName(text);
  for (u32 i = 1; i <= kSkillCount; ++i)
    if (rows[i].id.Equals(text, h) || EqualNoCase(rows[i].fullName, text)) return i;
  return 0;
}

u32 SSkillTable::LevelCost(u32 level) const {
  if (level >= 100) return curve[10];
  u32 i = level / 10, r = level - 10 * i;
  return curve[i] + r * (curve[i + 1] - curve[i]) / 10;
}

// ---- races

void SRaceTable::Fill() {
  static const char* const kRaces[6][2] = {{"base_creature", "Creature"}, {"base_rasvim", "Rasvim"},
                                           {"base_etherim", "Etherim"},   {"base_seiry", "Seiry"},
                                           {"base_derth", "Derth"},       {"base_nogur", "Nogur"}};
  for (u32 i = 0; i < kRaceRows; ++i) {
    rows[i].id.Set(i < 6 ? kRaces[i][0] : nullptr);
    rows[i].name.Assign(i < 6 ? kRaces[i][1] : "");
    for (const char*& t : rows[i].texts) t = nullptr;
  }
}

void SRaceTable::SerializeRows(SStream& s, u32 version) {
  for (u32 i = 0; i < 6 && s.Ok(); ++i) {
    SRaceRow& r = rows[i];
    s.SerializeMarker('O');
    s.SerializeName(r.id);
    s.SerializeSString(r.name);
    s.SerializeString(r.texts[0]);
    s.SerializeString(r.texts[1]);
    if (version >= 52) s.SerializeString(r.texts[2]);
  }
}

// ---- classes

void SClassTable::Fill() {
  struct Def {
    const char *id, *name, *description;
    u8 skills[6];
  };
  static const Def kClasses[6] = {
      {"fighter", "Fighter", "fighter description", {3, 6, 4, 14, 1, 2}},
      {"thief", "Thief", "thief description", {2, 5, 7, 17, 18, 19}},
      {"mage", "Mage", "mage description", {2, 8, 9, 10, 13, 16}},
      {"battlemage", "Battlemage", "battlemage description", {2, 5, 1, 10, 9, 11}},
      {"ranger", "Ranger", "ranger description", {7, 2, 20, 8, 5, 16}},
      {"priest", "Priest", "priest description", {2, 5, 8, 9, 16, 17}},
  };
  for (u32 i = 1; i < kClassRows; ++i) {
    const Def& d = kClasses[i - 1];
    rows[i].id.Set(d.id);
    rows[i].name = d.name;
    rows[i].descriptionId = d.description;
    for (u32 k = 0; k < 6; ++k) rows[i].skills[k] = d.skills[k];
    rows[i].flag = 1;
  }
}
