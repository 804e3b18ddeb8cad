// A game core that has not been started, with its game state, script context and a seeded random
// generator, and the core's player attached to it; world records (item types, spells, diseases,
// abilities, quests) are made in code in the core's tables. What the player reports and queues is read
// back from the game state's event queue and action list.
#pragma once
#include "core/SGameCore.h"
#include "foundation/SRandom.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "support/MakeEffect.h"
#include "world/SItemTable.h"
#include "world/SWorldRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline constexpr u32 kSeed = 2024;

// What an item type needs for the player's rules.
struct TypeSpec {
  const char* name;
  const char* display;
  u8 itemClass, subtype;
  u16 maxCondition = 1000;
  u16 weight = 0;
  u16 armorClass = 0;
  u8 outfit = 0;
  u16 damageMin = 0, damageMax = 0;
  u8 flags = 0;
  u32 value = 0;
};

// A queued event as the tests compare it.
struct Shown {
  u32 kind;
  std::string text;
  std::string sound;
  bool operator==(const Shown&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Shown& s) {
  return os << "{" << s.kind << ", \"" << s.text << "\", \"" << s.sound << "\"}";
}

class PlayerTest : public ::testing::Test {
 protected:
  PlayerTest() {
    core.random = new SRandom;
    core.random->Seed(nullptr, kSeed);
    mirror.Seed(nullptr, kSeed);
    core.stateGame = &state;
    state.Attach(&core);
    core.scriptContext = &context;
    context.Bind(&core);
    player.Attach(&core);
    // The game's own world is the current one.
    SWorldModule* base = core.world.modules.Add();
    base->resourcePrefix.Assign("base_");
    base->name.Assign("base");
    base->firstText.Assign("Duskmire");
    core.world.modules.current = base;
  }
  ~PlayerTest() override {
    for (SItem*& slot : player.equipment) slot = nullptr;
    player.inventory.DeleteAllItems();
    player.ClearEffects();
    core.stateGame = nullptr;
    core.scriptContext = nullptr;
  }

  SItemType* Type(const TypeSpec& s) {
    auto* t = new SItemType;
    t->name.Set(s.name);
    t->text3 = s.display;
    t->itemClass = s.itemClass;
    t->subtype = s.subtype;
    t->maxCondition = s.maxCondition;
    t->weight = s.weight;
    t->armorClass = s.armorClass;
    t->outfit = s.outfit;
    t->damageMin = s.damageMin;
    t->damageMax = s.damageMax;
    t->flags = s.flags;
    t->value = s.value;
    core.world.items.types.Add(t);
    return t;
  }
  // One item of the type in the inventory (its count as a new one gets it), optionally equipped.
  SItem* Carry(SItemType* type, bool equip = false, bool secondHand = false) {
    SItem* item = player.AddItems(type, 1);
    if (equip) player.EquipItem(item, secondHand);
    return item;
  }
  static SEffect* Effect(u8 kind, i16 base, u8 mode = 3, u8 sub = 0, const char* name = nullptr) {
    return MakeEffect(kind, base, mode, sub, name);
  }
  static SEffectList* Enchant(std::initializer_list<SEffect*> effects) {
    auto* list = new SEffectList;
    for (SEffect* e : effects) list->Add(e);
    return list;
  }
  SSpell* Spell(const char* name, const char* display, u8 school) {
    auto* s = new SSpell;
    s->name.Set(name);
    s->texts[0] = display;
    s->school = school;
    rules.spells.records.Add(s);
    return s;
  }
  SDisease* Disease(const char* name, const char* display, std::initializer_list<SEffect*> effects) {
    return Record<SDisease>(rules.diseases, name, display, effects);
  }
  SAbility* Ability(const char* name, const char* display, std::initializer_list<SEffect*> effects) {
    return Record<SAbility>(rules.abilities, name, display, effects);
  }
  void Quest(const char* name, const char* title) {
    auto* q = new SQuest;
    q->name.Set(name);
    q->texts[0] = title;
    rules.quests.records.Add(q);
  }

  // A record of a table with a name, a display text and effects.
  template <class R, class Table>
  R* Record(Table& table, const char* name, const char* display, std::initializer_list<SEffect*> effects) {
    auto* r = new R;
    r->name.Set(name);
    r->text = display;
    for (SEffect* e : effects) r->effects.Add(e);
    table.records.Add(r);
    return r;
  }

  // The queued events, oldest first; the queue is emptied.
  std::vector<Shown> TakeEvents() {
    std::vector<Shown> out;
    for (SGameEvent* e : state.events) out.push_back({e->kind, e->textA.CStr(), e->sound.CStr()});
    state.events.DeleteAll();
    return out;
  }
  // The texts of the queued messages, oldest first; the queue is emptied.
  std::vector<std::string> TakeMessages() {
    std::vector<std::string> out;
    for (const Shown& s : TakeEvents())
      if (s.kind == kEventMessage) out.push_back(s.text);
    return out;
  }

  SGameCore core;
  SStateGame state;
  SScriptContext context;
  SPlayer& player = core.player;
  SWorldRules& rules = core.world.rules;
  SRandom mirror;  // seeded as the game's generator: the draws a rule is expected to make
};
