// The player's record in a saved game (record 3003) in every version the game reads, the save manager's
// name tables (record 3006) and the globals' record (3002): round trips, older forms, what a world that
// changed drops, and damaged records refused.
#include "PlayerFixture.h"
#include "foundation/SStream.h"
#include "player/SSaveGame.h"
#include "script/SGlobalVariables.h"
#include "world/SPeopleTables.h"
#include "world/SSpell.h"
#include "world/SWorldExtras.h"

#include <algorithm>
#include <functional>
#include <sstream>

namespace {

using Bytes = std::vector<u8>;

const char* Text(const char* t) { return t ? t : "-"; }

// Everything the record holds, in words; effect lines sorted, since reading rebuilds the derived ones
// after the saved ones.
std::string Dump(const SPlayer& p) {
  std::ostringstream o;
  o << Text(p.name.CStr()) << " " << Text(p.portrait.CStr()) << " sex " << u32(p.sex) << " hp " << p.hp << " mana "
    << p.mana << " level " << u32(p.level) << " xp " << p.xp << "," << p.peakXp << "," << p.restorableXp << ","
    << p.nextLevelXp << " money " << p.money << " fame " << p.fame << " crime " << p.crime << " race " << p.race
    << " potion " << u32(p.permanentPotionTaken) << "\nattributes";
  for (u32 a = 1; a <= 5; ++a) o << " " << p.attributes[a];
  o << " points " << p.attributePoints << " allowances";
  for (u16 v : p.attributeAllowance) o << " " << v;
  o << "\nmajor";
  for (u8 s : p.majorSkills) o << " " << u32(s);
  o << " minor";
  for (u8 s : p.minorSkills) o << " " << u32(s);
  o << " points " << p.skillPoints << "\nskills";
  for (u32 s = 1; s <= kPlayerSkills; ++s)
    o << " " << p.skills[s] << "/" << p.skillAllowance[s] << "/" << p.practice[s];
  o << "\nspells";
  for (u32 school = 1; school <= 7; ++school)
    for (const SSpell* s : p.knownSpells[school]) o << " " << school << ":" << s->name.Text();
  o << "\nquests";
  for (const SQuestState* q : p.quests) o << " " << q->name.Text() << ":" << u32(q->state);
  o << "\ncarried";
  for (const SItem* item : p.inventory.items)
    o << " " << (item->type ? item->type->name.Text() : "?") << ":" << item->count;
  o << "\nequipped";
  for (u32 slot = 1; slot <= kEquipmentSlots; ++slot)
    if (const SItem* item = p.Equipped(slot)) o << " " << slot << ":" << p.inventory.items.IndexOf(item);
  o << "\nabilities";
  for (const SAbility* a : p.abilities) o << " " << a->name.Text();
  o << " diseases";
  for (const SDisease* d : p.diseases) o << " " << d->name.Text();
  o << " read";
  for (u16 i = 0; i < p.itemsRead.Count(); ++i) o << " " << p.itemsRead.Text(i);
  o << "\nmarked";
  for (const SMarkedPosition* m : p.markedPositions)
    o << " " << Text(m->worldName.CStr()) << "/" << Text(m->worldTitle.CStr()) << "/" << Text(m->mapName.CStr()) << "/"
      << Text(m->mapTitle.CStr()) << "/" << u32(m->column) << "," << u32(m->row) << "," << u32(m->facing);
  std::vector<std::string> effects;
  for (u32 c = 0; c < kEffectCategories; ++c)
    for (const SPlayerEffect* e : p.effects[c]) {
      std::ostringstream line;
      const char* source = e->sourceType == kSourceItem    ? static_cast<const SItemType*>(e->source)->name.Text()
                           : e->sourceType == kSourceSpell ? static_cast<const SSpell*>(e->source)->name.Text()
                                                           : "-";
      line << u32(e->category) << "/" << u32(e->sourceType) << "/" << source << "/" << e->strength << "/"
           << u32(e->duration) << "/" << u32(e->sub) << "/" << Text(e->text);
      effects.push_back(line.str());
    }
  std::sort(effects.begin(), effects.end());
  o << "\neffects";
  for (const std::string& e : effects) o << " " << e;
  return o.str();
}

class SaveRecord : public PlayerTest {
 protected:
  SaveRecord() {
    sword = Type({"base_sword", "Sword", 1, 1});
    boots = Type({"base_boots", "Boots", 3, 6});
    boots->enchantment = Enchant({Effect(11, 2)});
    potion = Type({"base_potion", "Potion", 8, 1});
    stone = Spell("base_stone", "Stone", 2);
    Quest("base_quest", "Quest");
    Ability("base_ab", "Ab", {Effect(5, 10)});
    Disease("base_rot", "Rot", {Effect(2, -3, 3, 1)});
  }
  ~SaveRecord() override { saves.ClearNameTables(); }

  // A character with something in every part of the record.
  void MakeCharacter() {
    player.name.Assign("Ada");
    player.portrait.Assign("bres_head35");
    player.sex = 0;
    player.race = 3;
    player.level = 4;
    player.xp = 1600;
    player.peakXp = 1700;
    player.restorableXp = 100;
    player.nextLevelXp = 2500;
    player.money = 1234;
    player.fame = -5;
    player.crime = 7;
    for (u32 a = 1; a <= 5; ++a) player.attributes[a] = u16(10 + a);
    player.attributePoints = 2;
    player.attributeAllowance[3] = 1;
    for (u32 i = 0; i < 6; ++i) player.majorSkills[i] = u8(2 * i + 1);
    for (u32 i = 0; i < 14; ++i) player.minorSkills[i] = u8(i < 6 ? 2 * i + 2 : i + 7);
    player.skillPoints = 3;
    for (u32 s = 1; s <= kPlayerSkills; ++s) {
      player.skills[s] = u16(10 + s);
      player.skillAllowance[s] = u16(s % 3);
      player.practice[s] = u16(s * 7);
    }
    player.hp = 33;
    player.mana = 21;
    player.AddKnownSpell(stone);
    player.AddQuest("base_quest");
    player.EndQuest("base_quest", true);
    Carry(potion);
    Carry(sword, true);
    Carry(boots, true);
    player.AddAbility("base_ab", false);
    player.Infect("base_rot");
    player.AddReadItemName("base_potion");
    player.AddEffect(kSourceItem, potion, 7, 20, 5, 0, nullptr);
    player.AddEffect(kSourceSpell, stone, 4, 30, 11, 0, "stone");
    player.AddEffect(kSourceCondition, nullptr, 2, 9, 26, 0, nullptr);
    TakeEvents();
  }
  void AddMarkedPosition() {
    auto* m = new SMarkedPosition;
    m->worldName.Assign("base");
    m->worldTitle.Assign("Duskmire");
    m->mapName.Assign("base_town");
    m->mapTitle.Assign("Town");
    m->column = 3;
    m->row = 4;
    m->facing = 2;
    player.markedPositions.Add(m);
  }

  // The player's record in the form of `version`, with the name tables it used.
  void Save(u32 version) {
    saves.ResetNameTables();
    SStream s(version);
    ASSERT_TRUE(s.OpenForWriteOwned());
    ASSERT_TRUE(player.Write(s, version, saves));
    record.assign(s.Data(), s.Data() + s.BytesUsed());
    SStream n(version);
    ASSERT_TRUE(n.OpenForWriteOwned());
    saves.WriteNameTables(n);
    names.assign(n.Data(), n.Data() + n.BytesUsed());
    saves.ClearNameTables();
  }
  // Reads them back as a load does: the names against the world first.
  bool Load(u32 version, const Bytes& bytes) {
    SStream n(version);
    n.OpenForRead(names.data(), u32(names.size()));
    if (!saves.ReadNameTables(n)) return false;
    SStream s(version);
    s.OpenForRead(bytes.data(), u32(bytes.size()));
    const bool ok = player.Read(s, version, saves);
    saves.ClearNameTables();
    return ok;
  }
  bool Load(u32 version) { return Load(version, record); }

  SSaveGame& saves = core.saveGame;
  SItemType *sword = nullptr, *boots = nullptr, *potion = nullptr;
  SSpell* stone = nullptr;
  Bytes record, names;
};

}  // namespace

// The version-116 record comes back whole; records of versions 86, 114 and 115 (older layouts: extra
// numbers after the pools, one-byte attributes and skills, no potion flag, no marked positions) read into
// the same player.
TEST_F(SaveRecord, EveryVersionReadsIntoTheSamePlayer) {
  MakeCharacter();
  player.permanentPotionTaken = 1;
  AddMarkedPosition();
  const std::string whole = Dump(player);
  Save(116);
  player.ClearLists();
  player.name.Assign("Someone else");
  ASSERT_TRUE(Load(116));
  EXPECT_EQ(Dump(player), whole);
  EXPECT_EQ(record[0], '2');
  EXPECT_EQ(record[1], 'Y');

  player.permanentPotionTaken = 0;
  player.markedPositions.DeleteAll();
  const std::string plain = Dump(player);
  size_t size116 = 0;
  for (u32 version : {116u, 115u, 114u, 86u}) {
    SCOPED_TRACE(version);
    Save(version);
    if (version == 116) size116 = record.size();
    ASSERT_TRUE(Load(version));
    EXPECT_EQ(Dump(player), plain);
  }
  // Version 86 carries two more numbers but one byte per attribute, skill and counter.
  EXPECT_LT(record.size(), size116);
}

// Equipment effects are not saved but come back through the equipment; an item type, spell, quest,
// ability or disease the world no longer has is dropped with whatever named it; a saved hp of 0 loads
// as 1.
TEST_F(SaveRecord, WhatTheWorldLacksIsDroppedAndHpZeroLoadsAsOne) {
  MakeCharacter();
  player.hp = 0;
  Save(116);
  core.world.items.types.Remove(potion);
  rules.spells.records.Remove(stone);
  ASSERT_TRUE(Load(116));
  EXPECT_EQ(player.hp, 1);
  const std::string d = Dump(player);
  EXPECT_EQ(d.find("base_potion"), std::string::npos) << d;
  EXPECT_EQ(d.find("base_stone"), std::string::npos) << d;
  EXPECT_NE(d.find("6/1/-/2/0/0/-"), std::string::npos) << "the boots' effect comes back: " << d;
  EXPECT_NE(d.find("23/6/-/2/10/0/-"), std::string::npos) << "the condition stays: " << d;
  EXPECT_NE(d.find("equipped 5:0 11:1"), std::string::npos) << "the slots follow their items: " << d;
  delete potion;
  delete stone;
}

// An equipment slot that names no item read, or one whose item it cannot hold, stays empty: the items
// stay carried and the record is not refused.
TEST_F(SaveRecord, EquipmentThatFitsNoSlotStaysCarried) {
  SItemType* gone = Type({"base_gone", "Gone", 2, 4});
  Carry(gone, true);  // slot 1, the helm
  SItem* carried = Carry(sword);
  Carry(boots);
  player.equipment[10] = carried;  // a sword where the boots go
  Save(116);
  core.world.items.types.Remove(gone);
  ASSERT_TRUE(Load(116));
  EXPECT_EQ(player.Equipped(1), nullptr) << "its item was not read";
  EXPECT_EQ(player.Equipped(11), nullptr) << "a sword is no boots";
  EXPECT_EQ(player.inventory.GetItemCount(), 2);
  delete gone;
}

// A damaged record is refused, not clamped.
TEST_F(SaveRecord, DamagedRecordsAreRefused) {
  auto effect = [&](u8 sourceType, u8 category) {
    auto* e = new SPlayerEffect;
    e->sourceType = sourceType;
    e->category = category;
    e->strength = 0x1234;
    e->duration = 0x55;
    e->sub = 0x77;
    return e;
  };
  const struct Case {
    const char* what;
    std::function<void(SPlayer&)> make;
    std::function<void(Bytes&)> damage;
  } cases[] = {
      {"a race beyond the table", [](SPlayer& p) { p.race = 6; }, nullptr},
      {"level 0", [](SPlayer& p) { p.level = 0; }, nullptr},
      {"level 100", [](SPlayer& p) { p.level = 100; }, nullptr},
      {"a major skill id 21", [](SPlayer& p) { p.majorSkills[2] = 21; }, nullptr},
      {"a minor skill id 200", [](SPlayer& p) { p.minorSkills[13] = 200; }, nullptr},
      {"an effect of category 0", [&](SPlayer& p) { p.effects[23].Add(effect(kSourceCondition, 0)); }, nullptr},
      {"an effect of category 24", [&](SPlayer& p) { p.effects[23].Add(effect(kSourceCondition, 24)); }, nullptr},
      {"an effect of source 1", [&](SPlayer& p) { p.effects[21].Add(effect(kSourceCondition, 21)); },
       [](Bytes& b) {
         // The condition entry: source type, category, index, empty text, strength 0x1234, 0x55, 0x77.
         for (size_t i = b.size() - 8; i > 0; --i)
           if (b[i] == kSourceCondition && b[i + 1] == 21) {
             b[i] = kSourceEquipment;
             return;
           }
       }},
      {"cut short", nullptr, [](Bytes& b) { b.resize(b.size() - 3); }},
      {"cut in the texts", nullptr, [](Bytes& b) { b.resize(5); }},
      {"a spell count the record cannot hold", nullptr,
       [](Bytes& b) {
         // The first school's count follows the marker '\' (all schools are empty here).
         for (size_t i = 0; i + 3 < b.size(); ++i)
           if (b[i] == '\\') {
             const size_t at = (i + 2) & ~size_t(1);
             b[at] = 0xFF;
             b[at + 1] = 0x7F;
             return;
           }
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    player.ClearLists();
    player.race = 2;
    player.level = 1;
    for (u32 i = 0; i < 6; ++i) player.majorSkills[i] = u8(i + 1);
    for (u32 i = 0; i < 14; ++i) player.minorSkills[i] = u8(i + 7);
    if (c.make) c.make(player);
    Save(116);
    Bytes damaged = record;
    if (c.damage) {
      c.damage(damaged);
      EXPECT_NE(damaged, record) << "the case changed nothing";
    }
    EXPECT_FALSE(Load(116, damaged));
  }
  player.ClearLists();
}

// The name tables: entry 0 is the empty name, two saves of one game give the same tables, an index at or
// beyond the counter names nothing, and a table whose counter cannot fit its record is refused.
TEST_F(SaveRecord, NameTables) {
  MakeCharacter();
  Save(116);
  const Bytes first = names;
  Save(116);
  EXPECT_EQ(names, first);
  // Tag 'U', then the item table: counter 4 (empty, potion, sword, boots).
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(names[0], 'U');
  EXPECT_EQ(names[2], 4);
  EXPECT_EQ(names[4], 0) << "entry 0 is the empty name";

  SStream n(116);
  n.OpenForRead(names.data(), u32(names.size()));
  ASSERT_TRUE(saves.ReadNameTables(n));
  EXPECT_EQ(saves.ItemTypeAt(0), nullptr);
  EXPECT_EQ(saves.ItemTypeAt(1), potion);
  EXPECT_EQ(saves.ItemTypeAt(3), boots);
  EXPECT_EQ(saves.ItemTypeAt(4), nullptr);
  EXPECT_EQ(saves.ItemTypeAt(0xFFFF), nullptr);
  EXPECT_EQ(saves.SpellAt(1), stone);
  EXPECT_EQ(saves.MonsterAt(1), nullptr);

  Bytes damaged = names;
  damaged[2] = 0xFF;
  damaged[3] = 0x7F;
  SStream d(116);
  d.OpenForRead(damaged.data(), u32(damaged.size()));
  EXPECT_FALSE(saves.ReadNameTables(d));
  EXPECT_EQ(saves.ItemTypeAt(1), nullptr) << "a refused table is left empty";
}

// Record 3002: the values of the variables the world defines come back, a variable the world lacks is
// dropped, those the record does not name keep their values, and a damaged record is refused.
TEST(SaveGlobals, SavedValuesOfTheVariablesTheWorldHas) {
  auto variable = [](SGlobalVariables& g, const char* name, const char* text, i32 n) {
    auto* v = new SGlobalVariable;
    v->name.Set(name);
    if (text)
      v->value.SetText(text);
    else
      v->value.SetInt(n);
    g.records.Add(v);
  };
  SGlobalVariables saved;
  variable(saved, "base_door", nullptr, 5);
  variable(saved, "base_name", "Marta", 0);
  variable(saved, "base_gone", nullptr, 9);
  SStream s(116);
  ASSERT_TRUE(s.OpenForWriteOwned());
  ASSERT_TRUE(saved.WriteSaved(s, 116));
  const Bytes bytes(s.Data(), s.Data() + s.BytesUsed());
  EXPECT_EQ(bytes[0], 16);
  EXPECT_EQ(bytes[2], 3);

  SGlobalVariables world;
  variable(world, "base_name", "Mara", 0);
  variable(world, "base_door", nullptr, 1);
  variable(world, "base_other", nullptr, 4);
  SStream r(116);
  r.OpenForRead(bytes.data(), u32(bytes.size()));
  ASSERT_TRUE(world.ReadSaved(r, 116));
  EXPECT_EQ(world.GetValue("base_door"), 5);
  EXPECT_STREQ(world.Find("base_door")->value.Text(), "5");
  EXPECT_STREQ(world.Find("base_name")->value.Text(), "Marta");
  EXPECT_EQ(world.GetValue("base_other"), 4);
  EXPECT_EQ(world.Find("base_gone"), nullptr);

  for (size_t cut : {size_t(3), bytes.size() - 2}) {
    SStream c(116);
    c.OpenForRead(bytes.data(), u32(cut));
    EXPECT_FALSE(world.ReadSaved(c, 116)) << cut;
  }
  Bytes many = bytes;
  many[3] = 0x40;  // 16,387 variables in a few bytes
  SStream m(116);
  m.OpenForRead(many.data(), u32(many.size()));
  EXPECT_FALSE(world.ReadSaved(m, 116));
}
