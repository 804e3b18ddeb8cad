// Spell casting: the player's casts from the book and from items with the casting hands, the cast proper
// at the player, at the faced cell or along a line, direct casts of scripts and traps, monsters' casts,
// and the spell's effect at a cell (with its neighbours for area spells), its picture and its missile.
#include "core/SGameCore.h"
#include "game/SMonster.h"
#include "game/SStateGame.h"
#include "player/SPlayer.h"
#include "script/SScriptContext.h"
#include "world/SCharacterTables.h"
#include "world/SEffectKinds.h"
#include "world/SItemTable.h"
#include "world/SMapArea.h"
#include "world/SSoundTable.h"
#include "world/SSpell.h"
#include "world/SWorldRules.h"

#include <algorithm>
#include <new>

using namespace EffectKind;

namespace {

constexpr u32 kCastInterval = 40, kEffectInterval = 80, kMissileInterval = 40;
constexpr i32 kHalfCell = 32768, kCell = 65536;
constexpr i32 kMaxCells = 7;
constexpr u16 kEffectSize = 4000, kDirectSize = 2000;
constexpr i32 kDirectAhead = 16000;
constexpr u16 kSpellHeight = 30000;
constexpr u16 kDeathEvent = 64;
constexpr u8 kStaffSubtype = 7;
constexpr u8 kMagicItemClass = 9;

bool HasText(const char* text) { return text && *text; }

// The spell an item casts: scrolls and wands (subtypes 1 and 4) that of their type, blank scrolls and
// empty wands (3 and 5) their own enchantment's; staffs their type's too.
const SSpell* ItemSpell(SWorldRules& rules, const SItem* item) {
  if (!item || !item->type) return nullptr;
  const u8 sub = item->type->subtype;
  const SEffectList* list = (sub == 3 || sub == 5) ? item->enchantments : item->type->enchantment;
  if (!list) list = item->Enchantment();
  if (!list) return nullptr;
  for (const SEffect* e : list->entries) {
    if (e && e->name)
      if (const SSpell* spell = rules.spells.FindByName(e->name)) return spell;
  }
  return nullptr;
}

}  // namespace

// ---- power and the command

i32 SStateGame::SpellPower(const SSpell& spell) {
  if (!core) return 0;
  SPlayer& player = core->player;
  const u32 skill = core->world.rules.spells.SchoolSkill(&spell);
  i32 power = 0;
  if (skill >= 1 && skill <= kPlayerSkills && skill != BarredSkill(player.Race()))
    power = i32(player.SkillLevel(skill)) + player.SumEffects(kCategoryFortifySkill, skill, nullptr, nullptr);
  power += power * player.GetMagicBonus() / 100;
  return std::max(power, 0);
}

void SStateGame::CastCommand() {
  // The book's magic items cast the chosen item's spell; every other page a known spell.
  if (spellbook.category == SDialogSpellbook::kItemsCategory)
    CastChosen(nullptr, spellbook.GetSelectedItem());
  else
    CastChosen(spellbook.GetSelectedSpell(), nullptr);
}

void SStateGame::CastChosen(const SSpell* known, SItem* item) {
  if (!core) return;
  SPlayer& player = core->player;
  SWorldRules& rules = core->world.rules;
  const SSpell* spell = item ? ItemSpell(rules, item) : known;
  if (!spell) return;
  if (player.IsParalyzed() && spell->TargetKind() != 1) {
    QueueMessage("You can cast spells only on yourself when you're paralyzed.", 1, nullptr);
    return;
  }
  if (item) {
    BeginItemCast(item);
  } else {
    const u32 cost = spell->GetManaCost(rules);
    if (player.mana < cost) {
      QueueMessage("You don't have enough mana.", 1, nullptr);
      return;
    }
    player.ChangeMana(-i32(cost), false);
    if (const u32 skill = rules.spells.SchoolSkill(spell)) player.PracticeSkill(skill);
    BeginCast(*spell);
  }
  ScanFightRange(false, window.playerX, window.playerY);
  PassMinute();
}

// ---- the casting hands

namespace {

const char* CastingHands(u8 target) {
  switch (target) {
    case 1: return "bres_fpscastself";
    case 2: return "bres_fpscasttouch";
    default: return "bres_fpscastother";
  }
}

}  // namespace

void SStateGame::BeginCast(const SSpell& spell) {
  if (!core) return;
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return;
  r->kind = kActionCast;
  r->spell = &spell;
  r->power = SpellPower(spell);
  SFpsItem* hands = FindHandPicture(CastingHands(spell.TargetKind()));
  r->firstPicture = r->secondPicture = hands;
  // A staff in the weapon hand is held up by the first hand.
  SItem* weapon = core->player.GetMainWeapon();
  if (weapon && weapon->type && weapon->type->itemClass == kMagicItemClass && weapon->type->subtype == kStaffSubtype) {
    u16 palette = 0;
    if (SFpsItem* staff = ItemHandPicture(weapon, palette)) {
      r->firstPicture = staff;
      r->palette = palette;
      r->staff = 1;
    }
  }
  // Paralysed, the casting hands take their pictures' other colours as the resting hands do.
  r->palette = HandPalette(r->firstPicture, r->palette);
  r->secondPalette = HandPalette(r->secondPicture, r->secondPalette);
  if (!actions.Add(r)) delete r;
}

void SStateGame::BeginItemCast(SItem* item) {
  if (!core || !item || !item->type) return;
  const SSpell* spell = ItemSpell(core->world.rules, item);
  if (!spell) return;
  if (core->player.IsParalyzed() && spell->TargetKind() != 1) {
    Attack();  // the nudge of a paralysed player
    return;
  }
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return;
  r->kind = kActionCast;
  r->spell = spell;
  r->item = item;
  r->itemCast = 1;
  // An item's cast is as strong as the caster's school skill would make it.
  r->power = SpellPower(*spell);
  SFpsItem* hands = FindHandPicture(CastingHands(spell->TargetKind()));
  r->firstPicture = r->secondPicture = hands;
  const u8 sub = item->type->subtype;
  if (sub == 4 || sub == 5) {
    u16 palette = 0;
    if (SFpsItem* own = ItemHandPicture(item, palette)) {
      r->firstPicture = own;
      r->palette = palette;
    }
  }
  if (sub == kStaffSubtype) r->staff = 1;
  r->palette = HandPalette(r->firstPicture, r->palette);
  r->secondPalette = HandPalette(r->secondPicture, r->secondPalette);
  if (!actions.Add(r)) delete r;
}

bool SStateGame::StepCast(SActionRecord& r, u32 now) {
  if (!r.Due(now, kCastInterval) || !core) return false;
  if (r.phase == 0 && r.spell && HasText(r.spell->CastSound())) core->world.sounds.PlayByName(r.spell->CastSound(), 10);
  const i32 d = HalfSizeView() ? 3 : 5;
  ++r.phase;
  if (r.phase > 2 + d + (r.itemCast ? 1 : 0)) {
    SPlayer& player = core->player;
    // A scroll or wand spends a charge; a spent scroll or wand of a spell of its type goes.
    if (r.itemCast && !r.staff && r.item && r.item->type && r.item->type->itemClass == kMagicItemClass &&
        player.inventory.items.IndexOf(r.item) >= 0) {
      player.UseCharge(r.item);
      const u8 sub = r.item->type->subtype;
      if ((sub == 1 || sub == 3) && r.item->count == 0) {
        SItem* spent = r.item;
        player.UnequipAndRemoveItem(spent);
        r.item = nullptr;
      }
    }
    SetHandView(false, false);
    if (r.spell) RunSpellCast(*r.spell, r.power, 0, 0, false);
    return true;
  }
  const u32 frame = u32(std::min(r.phase, d));
  ShowHand(0, r.firstPicture, r.palette, r.staff ? HandRestFrame(r.firstPicture) : frame);
  ShowHand(1, r.secondPicture, r.secondPalette, frame);
  // The hands rise into the view: the share of their pictures shown grows with the phase.
  const i32 shown = 100 / d * std::min(d, r.phase);
  handInputX[0] = handInputX[1] = u16(std::clamp(shown, 0, 100));
  handInputY[0] = handInputY[1] = u16(std::clamp(shown, 0, 100));
  return false;
}

// ---- the cast proper

void SStateGame::RunSpellCast(const SSpell& spell, i32 power, i32 x, i32 y, bool cellGiven) {
  if (!core) return;
  SPlayer& player = core->player;
  core->world.sounds.PlayByName("bsnd_spellcast0", 10);
  const i32 direction = SMapWindow::DirectionOfFacing(facing);
  SSpellEffect* picture =
      HasText(spell.EffectPicture()) ? core->world.rules.spellEffects.FindByName(spell.EffectPicture()) : nullptr;
  const u16 palette = ResidentPalette(spell.EffectPalette());
  if (spell.TargetKind() == 1 && !cellGiven) {
    spellHitMessage = 1;
    ShowDrinkPotion(picture, palette, spell.HitSound());
    player.ApplySpell(&spell, power, true, -1, false);
    return;
  }
  if (spell.TargetKind() == 2 || cellGiven) {
    SMapArea* area = nullptr;
    SMapCell* cell = nullptr;
    if (cellGiven) {
      cell = window.Cell(x, y);
      area = window.BlockArea(x, y);
    } else {
      i32 opposite = 0;
      cell = window.GetCellAhead(-1, facing, x, y, opposite, area);
      i32 side = -1;
      // A touch needs something to touch.
      if (!cell || !IsMissileStopped(cell, x, y, direction, side, true)) return;
    }
    if (!cell) return;
    spellHitMessage = 1;
    ApplySpellAtCell(spell, power, area, cell, x, y, direction, true);
    if (!picture || !picture->frames.Count()) {
      if (HasText(spell.HitSound())) core->world.sounds.PlayByName(spell.HitSound(), 10);
      return;
    }
    SActionRecord* r = NewSpellEffect(spell, picture, palette, x, y);
    if (!r) return;
    r->size = kEffectSize;
    // Placed on the side the cast came from.
    const i32 back = (direction + 2) & 3;
    auto place = [](i32 step) {
      const i32 v = (step + 1) * kHalfCell;
      return v == 0 ? 65000 : v == kCell ? 535 : v;
    };
    r->posX = place(SMapWindow::kDx[back]);
    r->posY = place(SMapWindow::kDy[back]);
    r->stepped = 0;
    picture->LoadFrames(core->world.images);
    if (!actions.Add(r)) delete r;
    return;
  }
  // A ranged spell: a missile, or the first cell on the line that stops one.
  if (HasText(spell.MissilePicture())) {
    if (SActionRecord* r = NewSpellMissile(spell, power, direction, window.playerX, window.playerY))
      if (!actions.Add(r)) delete r;
    return;
  }
  i32 tx = 0, ty = 0, side = -1;
  if (TraceLine(window.playerX, window.playerY, direction, tx, ty, false) &&
      FindDoorSide(window.Cell(tx, ty), tx, ty, direction, side))
    RunSpellCast(spell, power, tx, ty, true);
}

bool SStateGame::CastSpellByName(const char* name, i32 power) {
  const SSpell* spell = core && HasText(name) ? core->world.rules.spells.FindByName(name) : nullptr;
  if (!spell) return false;
  CastSpell(*spell, power);
  return true;
}

void SStateGame::CastSpell(const SSpell& spell, i32 power) {
  if (!core) return;
  const i32 direction = SMapWindow::DirectionOfFacing(facing);
  spellHitMessage = 0;
  const i32 x = window.playerX, y = window.playerY;
  ApplySpellAtCell(spell, power, window.BlockArea(x, y), window.Cell(x, y), x, y, direction, true);
  SSpellEffect* picture =
      HasText(spell.EffectPicture()) ? core->world.rules.spellEffects.FindByName(spell.EffectPicture()) : nullptr;
  if (!picture || !picture->frames.Count()) return;
  SActionRecord* r = NewSpellEffect(spell, picture, ResidentPalette(spell.EffectPalette()), x, y);
  if (!r) return;
  r->size = kDirectSize;
  r->posX = kHalfCell + SMapWindow::kDx[direction] * kDirectAhead;
  r->posY = kHalfCell + SMapWindow::kDy[direction] * kDirectAhead;
  picture->LoadFrames(core->world.images);
  if (!actions.Add(r)) delete r;
}

SActionRecord* SStateGame::NewSpellEffect(const SSpell& spell, SSpellEffect* picture, u16 palette, i32 x, i32 y) {
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return nullptr;
  r->kind = kActionSpellEffect;
  r->spell = &spell;
  r->effectPicture = picture;
  r->palette = palette;
  r->cellX = x;
  r->cellY = y;
  return r;
}

SActionRecord* SStateGame::NewSpellMissile(const SSpell& spell, i32 power, i32 direction, i32 x, i32 y) {
  auto* r = new (std::nothrow) SActionRecord;
  if (!r) return nullptr;
  r->kind = kActionMonsterSpell;
  r->spell = &spell;
  r->power = power;
  r->direction = direction;
  r->cellX = x;
  r->cellY = y;
  r->size = kEffectSize;
  r->firstPicture = FindHandPicture(spell.MissilePicture());
  r->palette = ResidentPalette(spell.MissilePalette());
  return r;
}

// ---- a monster's cast

void SStateGame::MonsterCast(i32 x, i32 y, i32 direction, SMapArea& area, SMapMonster& monster, const SSpell& spell,
                             i32 power, bool cellGiven) {
  if (!core) return;
  spellHitMessage = 0;
  direction &= 3;
  SSpellEffect* picture =
      HasText(spell.EffectPicture()) ? core->world.rules.spellEffects.FindByName(spell.EffectPicture()) : nullptr;
  auto showEffect = [&](i32 cx, i32 cy) {
    if (!picture || !picture->frames.Count()) {
      if (HasText(spell.HitSound())) core->world.sounds.PlayByName(spell.HitSound(), VolumeByDistance(cx, cy));
      return;
    }
    SActionRecord* r = NewSpellEffect(spell, picture, ResidentPalette(spell.EffectPalette()), cx, cy);
    if (!r) return;
    r->area = &area;
    r->monsterId = monster.id;
    picture->LoadFrames(core->world.images);
    if (!actions.Add(r)) delete r;
  };
  if (spell.TargetKind() == 1 && !cellGiven) {
    ApplySpellAtCell(spell, power, &area, window.Cell(x, y), x, y, (direction + 2) & 3, false);
    showEffect(x, y);
    return;
  }
  if (spell.TargetKind() == 2 || cellGiven) {
    const i32 tx = cellGiven ? x : x + SMapWindow::kDx[direction], ty = cellGiven ? y : y + SMapWindow::kDy[direction];
    if (!SMapWindow::Inside(tx, ty)) return;
    ApplySpellAtCell(spell, power, window.BlockArea(tx, ty), window.Cell(tx, ty), tx, ty, (direction + 2) & 3, true);
    showEffect(tx, ty);
    return;
  }
  if (HasText(spell.MissilePicture())) {
    SActionRecord* r = NewSpellMissile(spell, power, direction, x, y);
    if (!r) return;
    r->area = &area;
    r->monsterId = monster.id;
    const SMapCell* cell = window.Cell(x, y);
    if (cell && cell->monsterId[0] && cell->monsterId[1]) {
      const i32 slot = cell->monsterId[1] == monster.id ? 1 : 0;
      const i32 side = (direction + 1) & 3;
      const i32 offset = (monster.monster && monster.monster->widePlacement ? 16000 : 10000) * (slot == 0 ? 1 : -1);
      r->posX = kHalfCell + SMapWindow::kDx[side] * offset;
      r->posY = kHalfCell + SMapWindow::kDy[side] * offset;
    }
    if (!actions.Add(r)) delete r;
    return;
  }
  i32 tx = 0, ty = 0;
  if (TraceLine(x, y, direction, tx, ty, true)) MonsterCast(tx, ty, direction, area, monster, spell, power, true);
}

// ---- the spell at a cell

void SStateGame::ApplySpellAtCell(const SSpell& spell, i32 power, SMapArea* area, SMapCell* cell, i32 x, i32 y,
                                  i32 direction, bool spread) {
  if (!core || !cell) return;
  SScriptContext* context = core->scriptContext;
  if (!area) area = window.BlockArea(x, y);
  const i32 side = (direction + 2) & 3;
  if (x == window.playerX && y == window.playerY) {
    core->player.ApplySpell(&spell, power, false, side, false);
  } else if (!cell->monsterId[0] && !cell->monsterId[1]) {
    i64 damage = 0;
    for (const SEffect* e : spell.effects.entries)
      if (e && (e->kind == kDamageAll || e->kind == kPoison || e->kind == kDrainHp || e->kind == kCrush))
        damage += e->MagnitudeAt(power);
    if (context) {
      context->SetSpell(spell.name.Text(), power);
      context->damage = i32(std::clamp<i64>(damage, -0x7FFFFFFF, 0x7FFFFFFF));
    }
    TriggerCellAction(MapEvent::kSpellHit, 3, area, cell, x, y, side, false, nullptr);
  }
  if (cell->monsterId[0] || cell->monsterId[1]) {
    if (selectedHand == 1 && !cell->monsterId[1]) selectedHand = 0;
    SpellStrikesMonsters(spell, power, area, x, y);
  }
  if (spread && spell.HasFlaggedEffect()) ApplySpellAround(spell, power, area, x, y, direction);
  if (subDialog) subDialog->Paint();
}

void SStateGame::ApplySpellAround(const SSpell& spell, i32 power, SMapArea* /*area*/, i32 x, i32 y, i32 direction) {
  if (!core) return;
  for (i32 dy = -1; dy <= 1; ++dy)
    for (i32 dx = -1; dx <= 1; ++dx) {
      const i32 nx = x + dx, ny = y + dy;
      if ((!dx && !dy) || !SMapWindow::Inside(nx, ny)) continue;
      if (nx == window.playerX && ny == window.playerY) {
        core->player.ApplySpell(&spell, power, false, (direction + 2) & 3, true);
        continue;
      }
      SpellStrikesMonsters(spell, power, window.BlockArea(nx, ny), nx, ny);
    }
}

void SStateGame::SpellStrikesMonsters(const SSpell& spell, i32 power, SMapArea* area, i32 x, i32 y) {
  // The first slot's, the one that took its place, and the second slot's.
  const SMapCell* c = window.Cell(x, y);
  const u16 first = c ? c->monsterId[0] : 0;
  SpellStrikesMonster(spell, power, area, x, y, 0);
  c = window.Cell(x, y);
  if (c && !c->monsterId[1] && c->monsterId[0] && c->monsterId[0] != first)
    SpellStrikesMonster(spell, power, area, x, y, 0);
  else if (c && c->monsterId[1])
    SpellStrikesMonster(spell, power, area, x, y, 1);
}

bool SStateGame::SpellStrikesMonster(const SSpell& spell, i32 power, SMapArea* area, i32 x, i32 y, u32 slot) {
  SMapCell* c = window.Cell(x, y);
  if (!core || !c || !area || !c->monsterId[slot]) return false;
  SMapMonster* placed = window.FindBlockMonsterById(x, y, u8(c->monsterId[slot]));
  if (!placed || !placed->monster) return false;
  SSpell::Target target;
  target.monsterKind = placed->monster->kind;
  target.hp = placed->hp;
  target.magicResistance = placed->monster->GetMagicResistance(*area, *placed);
  target.baseTypeName = placed->monster->baseTypeName;
  if (SScriptContext* context = core->scriptContext) {
    context->SetSpell(spell.name.Text(), power);
    context->damage = spell.ComputeMonsterDamage(power, &target);
  }
  const u32 targets = slot == 1 ? 12 : 4;
  const u8 id = placed->id;
  TriggerCellAction(MapEvent::kSpellHit, targets, area, c, x, y, -1, false, nullptr);
  SMapMonster* after = area->FindMonsterById(id);
  if (after && after == placed && after->hp < 1) {
    after->hp = 1;
    TriggerCellAction(kDeathEvent, targets, area, c, x, y, -1, false, nullptr);
  }
  return true;
}

// ---- the effect picture and the flying spell

bool SStateGame::StepSpellEffect(SActionRecord& r, u32 now) {
  if (!r.Due(now, kEffectInterval) || !core) return false;
  if (r.phase == 0 && r.spell && HasText(r.spell->HitSound()))
    core->world.sounds.PlayByName(r.spell->HitSound(), VolumeByDistance(r.cellX, r.cellY));
  const u32 n = r.effectPicture ? r.effectPicture->frames.Count() : 0;
  if (!scene.IsAllocated() || !SMapWindow::Inside(r.cellX, r.cellY)) return true;
  u16* rc = scene.Cell(u32(r.cellX + SMapWindow::kSize * r.cellY));
  if (u32(r.phase) >= n) {
    rc[RenderCell::kSprite] = 0;
    rc[RenderCell::kSpritePalette] = 0;
    rc[RenderCell::kSpriteHeight] = 0;
    return true;
  }
  const u16 image = u16(r.effectPicture->frames[u32(r.phase)]);
  MakeResident(image);
  rc[RenderCell::kSprite] = image;
  rc[RenderCell::kSpritePalette] = image ? r.palette : 0;
  rc[RenderCell::kSpriteX] = u16(std::clamp(r.posX, 0, 65535));
  rc[RenderCell::kSpriteY] = u16(std::clamp(r.posY, 0, 65535));
  rc[RenderCell::kSpriteHeight] = image ? kSpellHeight : 0;
  ++r.phase;
  return false;
}

bool SStateGame::StepSpellMissile(SActionRecord& r, u32 now) {
  if (!r.Due(now, kMissileInterval) || !r.spell) return false;
  const i32 d = r.direction & 3;
  ShowMissile(r, false);
  const i32 ax = r.cellX * kCell + r.posX + SMapWindow::kDx[d] * kHalfCell;
  const i32 ay = r.cellY * kCell + r.posY + SMapWindow::kDy[d] * kHalfCell;
  const i32 x = ax >> 16, y = ay >> 16;
  if (ax < 0 || ay < 0 || !SMapWindow::Inside(x, y)) return true;
  if (x != r.cellX || y != r.cellY) ++r.cells;
  r.cellX = x;
  r.cellY = y;
  r.posX = ax & 0xFFFF;
  r.posY = ay & 0xFFFF;
  if (r.cells > kMaxCells) return true;
  if (r.cells > 0 && (d & 1 ? r.posX : r.posY) == kHalfCell) {
    SMapCell* cell = window.Cell(x, y);
    i32 side = -1;
    const bool stopped = IsMissileStopped(cell, x, y, d, side, false);
    if (r.monsterId < 0) {
      if (stopped) {
        RunSpellCast(*r.spell, r.power, x, y, true);
        return true;
      }
    } else {
      SMapMonster* attacker = r.area ? r.area->FindMonsterById(u8(r.monsterId)) : nullptr;
      if (!attacker || !attacker->monster) return true;
      if (stopped || (x == window.playerX && y == window.playerY)) {
        MonsterCast(x, y, d, *r.area, *attacker, *r.spell, attacker->monster->GetSpellPower(*r.area, *attacker), true);
        return true;
      }
    }
  }
  // The picture's frames cycle for an animated missile.
  const SFpsItem* p = r.firstPicture;
  const u32 n = p ? p->frames.Count() : 0;
  const u32 frame = p && p->kind == 1 && n > 1 ? u32(r.phase++) % n : 0;
  if (scene.IsAllocated()) {
    u16* rc = scene.Cell(u32(r.cellX + SMapWindow::kSize * r.cellY));
    const u16 image = n ? u16(p->frames[frame]) : 0;
    if (image) MakeResident(image);
    rc[RenderCell::kSprite] = image;
    rc[RenderCell::kSpritePalette] = image ? r.palette : 0;
    rc[RenderCell::kSpriteX] = u16(std::clamp(r.posX, 0, 65535));
    rc[RenderCell::kSpriteY] = u16(std::clamp(r.posY, 0, 65535));
    rc[RenderCell::kSpriteHeight] = image ? kSpellHeight : 0;
  }
  return false;
}
