// A window filled by hand (HandWindow) with monsters made by hand: two base types (a creature of seven
// pictures and people of ten, picture n being image 100 + n), templates by kind and behaviour, spells in
// the world's table, and placed monsters put into window cells of the area that shows them.
#pragma once
#include "HandWindow.h"
#include "game/SMonster.h"
#include "world/SMapArea.h"
#include "world/SMapObjectType.h"
#include "world/SSpell.h"

#include <array>
#include <memory>
#include <vector>

struct MonsterWindow : HandWindow {
  MonsterWindow() {
    creature.kind = 2;
    people.kind = 4;
    for (SMonsterBaseType* b : {&creature, &people}) {
      for (u32 i = 0; i < 10; ++i) b->frames[i] = u16(i < b->FrameCount() ? 100 + i : 0);
      b->sound1 = "bsnd_attack";
      b->sound2 = "bsnd_hurt";
      b->sound3 = "bsnd_death";
      b->sound4 = "bsnd_voice";
    }
  }

  // A template of the kind and behaviour on the matching base type; aggressive unless flags say else.
  SMonster& Template(u8 kind = 2, u8 behaviour = 1, u8 flags = 4) {
    templates.push_back(std::make_unique<SMonster>());
    SMonster& t = *templates.back();
    t.kind = kind;
    t.behaviour = behaviour;
    t.flags = flags;
    t.maxHp = 20;
    t.minDamage = 2;
    t.maxDamage = 6;
    t.baseType = kind == 4 ? &people : &creature;
    t.label = "Monster";
    t.lookNormal = 90;
    t.lookParalysed = 91;
    return t;
  }
  // A spell the world knows, of effects (kind, sub, radius) and target byte (1 self, 2 touch, 3 other).
  SSpell* Spell(const char* name, std::vector<std::array<u8, 3>> effects, u8 target = 3) {
    auto* s = new SSpell;
    s->name.SetOwns();
    s->name.Set(name);
    s->extra[0] = target;
    for (const auto& e : effects) {
      auto* x = new SEffect;
      x->kind = e[0];
      x->sub = e[1];
      x->radius = e[2];
      x->mode = 4;
      s->effects.Add(x);
    }
    core.world.rules.spells.records.InsertByNameHash(s);
    return s;
  }
  // The template knows the spell.
  static void Know(SMonster& t, const char* spell) {
    auto* e = new SEffect;
    e->mode = 2;
    e->kind = 31;
    e->SetName(spell);
    t.effects.Add(e);
  }
  // A placed monster of the template in window cell (x, y), in the area that shows it there (null when
  // the cell is full or shown by no area).
  SMapMonster* Place(SMonster& t, i32 x, i32 y) {
    SMapArea* a = nullptr;
    i32 ax = 0, ay = 0;
    if (!state.window.AreaPosition(x, y, a, ax, ay)) return nullptr;
    auto* m = new SMapMonster;
    m->monster = &t;
    m->id = a->AllocateMonsterId();
    m->hp = i16(t.maxHp);
    m->cellX = u8(ax);
    m->cellY = u8(ay);
    if (!m->id || !state.LinkMonsterToCell(x, y, m->id, 0)) {
      delete m;
      return nullptr;
    }
    a->AddMonsterEntry(m);
    return m;
  }
  // Numbers the window's monsters and builds their draw records, as entering a map does.
  void Number() {
    state.window.ResolveCellObjects();
    state.RebuildAllCells();
  }
  u16* Draw(const SMapMonster& m) { return state.scene.Monster(m.displayIndex); }
  // A wall in the cell: it stops missiles and keeps monsters out.
  void Wall(i32 x, i32 y) {
    if (!wall) wall = Make(5, "wall", {1});
    Cell(x, y).centreType = wall;
  }
  void Seed(u32 seed) { core.random->Seed(&core, seed); }

  SMonsterBaseType creature, people;
  std::vector<std::unique_ptr<SMonster>> templates;
  SMapObjectType* wall = nullptr;
};
