#include "world/SEffect.h"

#include "foundation/StrUtil.h"
#include "world/SWorldRules.h"

#include <cstdlib>
#include <new>

namespace {
bool TextsEqual(const char* a, const char* b) {
  if (!a || !b) return a == b;
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}
bool In(u32 v, std::initializer_list<u32> set) {
  for (u32 x : set)
    if (x == v) return true;
  return false;
}
i32 Clamp32(i64 v) { return v > 0x7FFFFFFF ? 0x7FFFFFFF : v < -0x7FFFFFFF ? -0x7FFFFFFF : i32(v); }
u32 Abs(i32 v) { return v < 0 ? u32(-i64(v)) : u32(v); }
const char* MonsterKindName(u32 kind) {
  static const char* const kNames[4] = {"", "humanoid", "creature", "undead"};
  return kind < 4 ? kNames[kind] : "";
}
// The spell's name as the player reads it.
const char* SpellDisplayName(const SSpell* spell) {
  if (!spell) return "";
  if (spell->texts[0]) return spell->texts[0];
  return spell->name.text ? spell->name.text : "";
}
}  // namespace

SEffect::SEffect(u32 itemKind) {
  mode = SEffectTable::DefaultMode(itemKind);
  kind = itemKind == kItemKindPotion ? 3 : 1;
}

void SEffect::Clear() {
  delete[] name;
  name = nullptr;
  base = perLevel = duration = durationPerLevel = 0;
  radius = sub = mode = kind = 0;
}

void SEffect::SetName(const char* text) {
  char* copy = text ? StrDup(text) : nullptr;
  delete[] name;
  name = copy;
}

SEffect* SEffect::Copy() const {
  SEffect* e = new (std::nothrow) SEffect;
  if (!e) return nullptr;
  e->SetName(name);
  if (name && !e->name) {
    delete e;
    return nullptr;
  }
  e->base = base;
  e->perLevel = perLevel;
  e->duration = duration;
  e->durationPerLevel = durationPerLevel;
  e->radius = radius;
  e->sub = sub;
  e->mode = mode;
  e->kind = kind;
  return e;
}

bool SEffect::Equals(const SEffect& o) const {
  return mode == o.mode && kind == o.kind && sub == o.sub && radius == o.radius && base == o.base &&
         perLevel == o.perLevel && duration == o.duration && durationPerLevel == o.durationPerLevel &&
         TextsEqual(name, o.name);
}

bool SEffect::Matches(u32 k, u32 s, const char* n) const {
  if (kind != k) return false;
  if ((k == 1 || k == 2) && sub != s) return false;
  if (k == 17 && !(name && n && TextsEqual(name, n))) return false;
  return true;
}

bool SEffect::IsHarmfulKind(u32 k) { return In(k, {23, 24, 25, 26, 27, 28, 29, 30, 32, 40, 53}); }

void SEffect::GetEnchantCost(SWorldRules& rules, u32 itemKind, i32& storage, i32& price) const {
  const i64 m = base;
  const i64 d = m >= -100 ? std::llabs(m - 100) : std::llabs(m + 100);
  const i64 f = radius ? 5 * i64(radius) : 1;
  const i64 a = std::llabs(m);
  const bool outside = m > 100 || m < -100;
  i64 st = 0, pr = 0;
  switch (kind) {
    case 1: st = 15 * m, pr = 100 * m; break;
    case 2: st = 25 * m, pr = 200 * m; break;
    case 3:
    case 6:
    case 9: st = m * m / 8, pr = m * m / 4; break;
    case 4:
    case 7:
    case 55: st = m * m / 3, pr = 2 * m * m; break;
    case 5:
    case 8:
    case 10: st = 10 * m, pr = 75 * m; break;
    case 11: st = 20 * m, pr = 100 * m; break;
    case 12:
    case 13:
    case 14:
    case 19:
    case 21: st = 50, pr = 50; break;
    case 15: st = 10 * d, pr = 100 * d; break;
    case 16: st = 15 * d, pr = 100 * d; break;
    case 17:
      if (const SDisease* disease = rules.diseases.FindByName(name)) {
        i64 x = i64(disease->strength) * (m >= -100 ? m - 100 : m + 100) / 10;
        st = 15 * x, pr = 200 * x;
      }
      break;
    case 20: st = 10 * m, pr = 50 * m; break;
    case 22:
    case 33: st = 15 * d, pr = 200 * d; break;
    case 23:
      if (name && rules.Hooks().MonsterBaseTypeExists(name)) {
        st = outside ? ((d / 17) * f + 3) * d + 50 : (a * a / 4) * f + 6 * a + 50;
        pr = outside ? ((d / 2) * f + 4) * d + 200 : ((f * a + 3) * a + 50) * 4;
      }
      break;
    case 24:
      st = outside ? ((d / 18) * f + 3) * d + 50 : (a * a / 3) * f + 8 * a + 50;
      pr = outside ? ((d / 3) * f + 4) * d + 200 : ((f * a + 3) * a + 40) * 5;
      break;
    case 25:
      st = outside ? ((d / 15) * f + 4) * d + 50 : (a * a / 2) * f + 10 * (a + 5);
      pr = outside ? ((d / 2) * f + 5) * d + 200 : ((f * a + 4) * a + 40) * 5;
      break;
    case 26:
    case 27: st = 100 * f, pr = 1000 * f; break;
    case 28: st = 400 * f, pr = 4000 * f; break;
    case 29:
    case 30: st = 200, pr = 2000; break;
    case 31:
      if (const SSpell* spell = rules.spells.FindByName(name)) {
        i64 v = spell->enchantValue;
        st = (v / 5) * m, pr = (v / 2) * m;
        if ((itemKind == 10 || itemKind == 11) && perLevel != 0 && spell->HasGradedEffect()) {
          st = st * perLevel / 20;
          pr = pr * perLevel / 20;
        } else if (itemKind == 12) {
          pr *= 4;
        }
      }
      break;
    case 32:
      if (rules.diseases.FindByName(name)) st = 100, pr = 1000;
      break;
    case 34: st = (d / 8) * d + 50, pr = ((d / 4) * d) / 2 + 200; break;
    case 35: st = (d / 6) * d + 100, pr = ((d / 3) * d) / 2 + 200; break;
    case 36:
    case 38: st = 25 * d, pr = 200 * d; break;
    case 39: st = 400, pr = 1000; break;
    case 40: st = 300, pr = 800; break;
    case 41: st = 200, pr = 600; break;
    case 43:
    case 46:
    case 47:
    case 48: st = 100, pr = 500; break;
    case 44:
    case 45: st = 100, pr = 400; break;
    case 49: st = 300, pr = 2000; break;
    case 50:
    case 51: st = 400, pr = 3000; break;
    case 52: st = 100, pr = 200; break;
    case 53: st = 1000, pr = 1000; break;
    case 56: st = 2 * m * m, pr = 5 * m * m; break;
    case 57: st = d, pr = d; break;
    case 58: st = 15 * a, pr = 100 * a; break;
    default: break;
  }
  if (itemKind == 15) pr /= 2;
  if (itemKind == 6 || itemKind == 10 || itemKind == 11) pr = 2 * pr / 3;
  storage = Clamp32(st);
  price = Clamp32(pr);
}

void SEffect::Describe(SWorldRules& rules, u32 context, i32 level, SString& text, bool shortForm, bool shortest) const {
  text.Assign("");
  const i32 b = base, d = duration;
  const i32 M = MagnitudeAt(level), D = DurationAt(level);
  const i32 q = Percent();
  const u32 c = context;
  const char* res = shortForm ? "res." : "resistance";
  auto fw = [](i32 v) { return v >= 0 ? "Fortifies" : "Weakens"; };
  auto turns = [](i32 v) { return v == 1 ? "turn" : "turns"; };
  auto pts = [](i32 v) { return Abs(v) == 1 ? "pt" : "pts"; };
  const bool worn = In(c, {2, 3, 4, 8, 9, 14, 16});
  const bool resistWorn = In(c, {1, 2, 3, 4, 8, 9, 14});
  const SDisease* disease = rules.diseases.FindByName(name);
  const SSpell* spell = rules.spells.FindByName(name);
  const char* diseaseName = disease ? (disease->name.text ? disease->name.text : "") : nullptr;

  switch (kind) {
    case 1: {
      const char* skill = rules.skills.FullName(sub);
      if (c == 8 && shortest)
        skill = rules.skills.ShortName(sub);
      else if (c == 8 && shortForm)
        skill = rules.skills.MediumName(sub);
      if (!skill) skill = "";
      if (worn)
        text.Format("%+d %s", b, skill);
      else if (c == 5)
        text.Format("%s %s by %u, for %u %s", fw(M), skill, Abs(M), Abs(D), turns(D));
      else if (c == 13)
        text.Format("Teaches %s (%+d)", skill, b);
      break;
    }
    case 2: {
      const char* attribute = rules.attributes.Name(sub);
      if (!attribute) break;
      if (worn)
        text.Format("%+d %s", b, attribute);
      else if (c == 5)
        text.Format("%s %s by %u, for %u %s", fw(M), attribute, Abs(M), Abs(D), turns(D));
      else if (c == 6)
        text.Format("%s %s by %u for %u %s", fw(b), attribute, Abs(b), Abs(d), turns(d));
      else if (c == 7)
        text.Format("Fortify %s", attribute);
      break;
    }
    case 3:
      if (c == 5)
        text.Format("Heals %u hp", Abs(M));
      else if (c == 6)
        text.Format("Heals %u hp", Abs(b));
      else if (c == 7)
        text.Assign("Restore health");
      break;
    case 4:
      if (c == 5)
        text.Assign("Restoress full health");
      else if (c == 6)
        text.Assign("Restores full health");
      break;
    case 5:
    case 8: {
      const char* what = kind == 5 ? "hp" : "unholy hp";
      if (worn)
        text.Format(kind == 5 ? "%+d HP" : "%+d unholy HP", b);
      else if (c == 5)
        text.Format("%s %s by %u, for %u %s", fw(M), what, Abs(M), Abs(D), turns(D));
      else if (c == 6)
        text.Format("%s %s by %u for %u %s", fw(b), what, Abs(b), Abs(d), turns(d));
      else if (c == 7)
        text.Assign(kind == 5 ? "Fortify health" : "Fortify unholy HP");
      break;
    }
    case 6:
      if (c == 5)
        text.Format("Restores unholy %u hp", Abs(M));
      else if (c == 6)
        text.Format("Restores %u unholy hp", Abs(b));
      else if (c == 7)
        text.Assign("Restore unholy HP");
      break;
    case 7:
      if (c == 5 || c == 6) text.Assign("Restores full unholy hp");
      break;
    case 9:
      if (c == 6)
        text.Format("Restores %u mana", Abs(b));
      else if (c == 7)
        text.Assign("Restore mana");
      break;
    case 10:
      if (worn)
        text.Format("%+d SP", b);
      else if (c == 6)
        text.Format("%s mana by %u, for %u %s", fw(b), Abs(b), Abs(d), turns(d));
      else if (c == 7)
        text.Assign("Fortify mana");
      break;
    case 11:
      if (worn)
        text.Format("%+d AC", b);
      else if (c == 5)
        text.Format("%s AC by %u, for %u %s", M >= 0 ? "Fortfies" : "Weakens", Abs(M), Abs(D), turns(D));
      break;
    case 12:
      if (c == 5 || c == 6) text.Assign("Cures poison");
      break;
    case 13:
      if (c == 5 || c == 6) text.Assign("Cures paralysis");
      break;
    case 14:
      if ((c == 5 || c == 6) && diseaseName) text.Format("Cures %s disease", diseaseName);
      break;
    case 15:
    case 16:
    case 22: {
      const char* worded = kind == 15 ? "Poison" : kind == 16 ? "Paralysis" : "Magic";
      const char* lower = kind == 15 ? "poison" : kind == 16 ? "paralysis" : "magic";
      if (resistWorn)
        text.Format("%+d%% %s %s", q, worded, res);
      else if (c == 5)
        text.Format(kind == 15 ? "%s %s resistance by %u%%, for %u %s." : "%s %s resistance by %u%%, for %u %s", fw(M),
                    lower, Abs(M), Abs(D), turns(D));
      else if (c == 6)
        text.Format("%s %s resistance by %u%% for %u %s", fw(q), lower, Abs(q), Abs(d), turns(d));
      else if (c == 7)
        text.Format("Resist %s", lower);
      break;
    }
    case 17:
      if (!diseaseName) break;
      if (In(c, {2, 3, 4, 8, 9}))
        text.Format("%+d%% %s %s", q, diseaseName, res);
      else if (c == 5)
        text.Format("%s %s resistance by %u%%, for %u %s", fw(M), diseaseName, Abs(M), Abs(D), turns(D));
      else if (c == 6)
        text.Format("%s %s resistance by %u%% for %u %s", fw(q), diseaseName, Abs(q), Abs(d), turns(d));
      else if (c == 7)
        text.Format("Resist %s", diseaseName);
      break;
    case 18:
      if (c == 1) text.Format("%+d%% normal weapon resistance", q);
      break;
    case 19:
      if (c == 5 || c == 6)
        text.Assign("Dispels magic effects");
      else if (c == 7)
        text.Assign("Dispel");
      break;
    case 20:
      if (c == 2 || c == 4)
        text.Format("Feather %+d", b);
      else if (c == 5)
        text.Format("%s encumbrances by %u %s, for %u %s", M >= 0 ? "Lightens" : "Burdens", Abs(M), pts(M), Abs(D),
                    turns(D));
      else if (c == 6)
        text.Format("%s encumbrances by %u %s for %u %s", b >= 0 ? "Lightens" : "Burdens", Abs(b), pts(b), Abs(d),
                    turns(d));
      else if (c == 7)
        text.Assign("Feather");
      break;
    case 21:
      if (c == 5) text.Assign("Removes curse");
      break;
    case 23:
    case 24:
    case 25: {
      const char* target = kind == 23 ? (name ? name : "") : MonsterKindName(sub);
      if (c == 5) {
        if (kind == 25)
          text.Format("Applies %u damage", Abs(M));
        else
          text.Format("Damages %s by %u", target, Abs(M));
      } else if (c == 3 || c == 15) {
        const bool percent = b > 100 || b < -100;
        if (kind == 25)
          text.Format("%+d%s damage", percent ? q : b, percent ? "%" : "");
        else
          text.Format("%+d%s damage to %s", percent ? q : b, percent ? "%" : "", target);
      }
      break;
    }
    case 26:
      if (c == 5)
        text.Format("Poisons by %u hp", Abs(M));
      else if (c == 6)
        text.Format("Poisons %u hp", Abs(b));
      else if (c == 7)
        text.Assign("Poison");
      else if (In(c, {1, 3, 14, 15}))
        text.Assign("Poisons opponents");
      break;
    case 27:
    case 28:
      if (c == 5)
        text.Format(kind == 27 ? "Curses for %u %s" : "Paralyzes for %u %s", Abs(D), turns(D));
      else if (In(c, {1, 3, 14, 15}))
        text.Assign(kind == 27 ? "Curses opponents" : "Paralyzes opponents");
      break;
    case 29:
    case 30:
      if (c == 5)
        text.Format(kind == 29 ? "Drains %u hp" : "Drains %u mana", Abs(M));
      else if (In(c, {1, 3, 14}))
        text.Assign(kind == 29 ? "Drains hp" : "Drains sp");
      break;
    case 31: {
      if (!spell) break;
      const char* spellName = SpellDisplayName(spell);
      const char* charges = b == 1 ? "charge" : "charges";
      const bool outOf = level != b;
      const u32 skill = Abs(perLevel);
      if (c == 1)
        text.Format("%s knowledge", spellName);
      else if (c == 8) {
        if (shortest)
          text.Format("%s spell", spellName);
        else
          text.Assign(spellName);
      } else if (c == 10) {
        if (shortForm) {
          if (skill == 0 && !outOf)
            text.Format("%s (%u %s)", spellName, Abs(b), charges);
          else if (skill == 0)
            text.Format("%s (%u/%u %s)", spellName, Abs(level), Abs(b), charges);
          else if (!outOf)
            text.Format("%s (skill: %u) (%u %s)", spellName, skill, Abs(b), charges);
          else
            text.Format("%s (skill: %u) (%u/%u %s)", spellName, skill, Abs(level), Abs(b), charges);
        } else {
          if (skill == 0 && !outOf)
            text.Format("Casts %s (%u %s)", spellName, Abs(b), charges);
          else if (skill == 0)
            text.Format("Casts %s (%u out of %u %s)", spellName, Abs(level), Abs(b), charges);
          else if (!outOf)
            text.Format("Casts %s at skill level %u (%u %s)", spellName, skill, Abs(b), charges);
          else
            text.Format("Casts %s at skill level %u (%u out of %u %s)", spellName, skill, Abs(level), Abs(b), charges);
        }
      } else if (c == 11) {
        if (shortest) {
          if (skill == 0)
            text.Assign(spellName);
          else
            text.Format("%s (sk: %u)", spellName, skill);
        } else if (skill == 0) {
          text.Format("Casts %s", spellName);
        } else if (shortForm) {
          text.Format("Casts %s (skill: %u)", spellName, skill);
        } else {
          text.Format("Casts %s at skill level %u", spellName, skill);
        }
      } else if (c == 12) {
        text.Format("Teaches %s", spellName);
      }
      break;
    }
    case 32:
      if (!diseaseName) break;
      if (c == 1)
        text.Format("Infects %s disease at %u%% chance", diseaseName, Abs(q));
      else if (In(c, {3, 5, 14, 15}))
        text.Format("Infects %s disease", diseaseName);
      break;
    case 33:
      if (In(c, {2, 4, 8, 9}))
        text.Format("%+d%% Disease %s", q, res);
      else if (c == 5)
        text.Format("%s diseases resistance by %u%%, for %u %s", fw(M), Abs(M), Abs(D), turns(D));
      else if (c == 6)
        text.Format("%s diseases resistance by %u%% for %u %s", fw(q), Abs(q), Abs(d), turns(d));
      else if (c == 7)
        text.Assign("Resist diseases");
      else if (c == 1)
        text.Format("%+d%% diseases resistance", q);
      break;
    case 34:
      if (!spell) break;
      if (In(c, {4, 8, 9, 14}))
        text.Format("%+d%% %s resistance", q, SpellDisplayName(spell));
      else if (c == 1)
        text.Format("resist %s %+d%%", SpellDisplayName(spell), q);
      break;
    case 35:
      if (spell && In(c, {1, 4, 8, 9, 14})) text.Format("Fortify %s %+d%%", SpellDisplayName(spell), q);
      break;
    case 36:
      if (In(c, {1, 4, 8, 9, 14}))
        text.Format("Fortify Magic %+d%%", q);
      else if (c == 6)
        text.Format("%s magic by %u%% for %u %s", fw(q), Abs(q), Abs(d), turns(d));
      else if (c == 7)
        text.Assign("Fortify Magic");
      break;
    case 38:
      if (In(c, {1, 4, 8, 9, 14}))
        text.Format("Fortify Melee %+d%%", q);
      else if (c == 5)
        text.Format("%s melee %u%%, for %u %s", fw(M), Abs(M), Abs(D), turns(D));
      else if (c == 6)
        text.Format("%s melee by %u%% for %u %s", fw(q), Abs(q), Abs(d), turns(d));
      else if (c == 7)
        text.Assign("Fortify Melee");
      break;
    case 39:
      if (c == 5) text.Format("Magic immunity for %u %s", Abs(D), turns(D));
      break;
    case 40:
      if (c == 5) text.Format("Crushes by %u damage", Abs(M));
      break;
    case 41:
      if (c == 5) text.Format("Calms at chance %u%%", Abs(M));
      break;
    case 43:
      if (c == 5) text.Assign("Detects mind");
      break;
    case 44:
    case 45:
      if (c == 5) text.Format(kind == 44 ? "Disarms traps by %u %s" : "Unlocks things by %u %s", Abs(M), pts(M));
      break;
    case 46:
    case 47:
    case 48:
      if (c == 5) text.Assign(kind == 46 ? "Marks location" : kind == 47 ? "Recalls location" : "Town portal");
      break;
    case 49:
      if (c == 5) text.Format("Recharges a wand up to %u storage.", Abs(3 * level));
      break;
    case 50:
    case 51:
      if (c == 5) text.Format("Enchants an item up to %u storage.", Abs(3 * level));
      break;
    case 52:
      if (c == 5) text.Assign("Creates food");
      break;
    case 53:
      if (c == 5)
        text.Assign("Level drop");
      else if (c == 1)
        text.Format("Level drop at %u%% chance", Abs(b));
      break;
    case 55:
      if (c == 6) text.Assign("Restores full mana");
      break;
    case 56:
      if (c == 6 && rules.attributes.Name(sub))
        text.Format("Permanently fortifies %s by %+d", rules.attributes.Name(sub), b);
      break;
    case 57:
      if (c == 6)
        text.Format("Alcoholic %u%%", Abs(q));
      else if (c == 7)
        text.Assign("Alcoholic");
      break;
    case 58:
      if (In(c, {2, 3, 4, 14, 16})) text.Format("%+d outfit pts", b);
      break;
    default: break;
  }
  if (c == 5 && radius != 0 && !text.IsEmpty() && In(kind, {23, 24, 25, 26, 27, 29, 30, 32, 40, 41, 53}))
    text.FormatAppend(", in %u radius", u32(radius));
}

// ---- lists

void SEffectList::Remove(SEffect* e) {
  i32 i = entries.IndexOf(e);
  if (i >= 0) delete entries.RemoveAt(i);
}

bool SEffectList::Assign(const SEffectList& other) {
  if (&other == this) return true;
  entries.DeleteAll();
  worth = other.worth;
  for (SEffect* e : other.entries) {
    SEffect* copy = e ? e->Copy() : nullptr;
    if (!copy || !entries.Add(copy)) {
      delete copy;
      return false;
    }
  }
  return true;
}

SEffectList* SEffectList::Clone() const {
  SEffectList* list = new (std::nothrow) SEffectList;
  if (list && !list->Assign(*this)) {
    delete list;
    return nullptr;
  }
  return list;
}

bool SEffectList::Equals(const SEffectList* other) const {
  if (!other || other->Count() != Count()) return false;
  for (u32 i = 0; i < Count(); ++i)
    if (!Entry(i32(i))->Equals(*other->Entry(i32(i)))) return false;
  return true;
}

bool SEffectList::HasPermanentAttribute() const {
  for (const SEffect* e : entries)
    if (e->kind == 56) return true;
  return false;
}

bool SEffectList::HasUndeadSpell(SWorldRules& rules) const {
  for (const SEffect* e : entries)
    if (e->mode == 2)
      if (const SSpell* s = rules.spells.FindByName(e->name); s && s->school == 5) return true;
  return false;
}

bool SEffectList::HasHealSpell(SWorldRules& rules) const {
  for (const SEffect* e : entries)
    if (e->mode == 2)
      if (const SSpell* s = rules.spells.FindByName(e->name); s && s->school == 1) return true;
  return false;
}

void SEffectList::ApplyToPlayer(SWorldRules& rules, u32 sourceType, const void* source) const {
  if (!rules.player) return;
  for (const SEffect* e : entries)
    if (e->mode == 3) rules.player->AddEffect(sourceType, source, e->base, 0, e->kind, e->sub, e->name);
}

void SEffectList::GetEnchantCost(SWorldRules& rules, u32 itemKind, i32& storage, i32& price) const {
  i64 st = 0, pr = 0;
  if (itemKind != kItemKindIngredient)
    for (const SEffect* e : entries) {
      i32 s = 0, p = 0;
      e->GetEnchantCost(rules, itemKind, s, p);
      st += s;
      pr += p;
    }
  storage = Clamp32(st);
  price = Clamp32(pr);
}

i32 SEffectList::ChargeValue(SWorldRules& rules, i32 charges) const {
  const SEffect* first = Entry(0);
  if (!first) return 0;
  i32 storage = 0, price = 0;
  first->GetEnchantCost(rules, 10, storage, price);
  return Clamp32(i64(price) * charges / (first->base != 0 ? first->base : 1));
}

void SEffectList::Describe(SWorldRules& rules, u32 context, i32 level, SString& text, bool comma) const {
  text.Assign("");
  SString line;
  const i32 alchemy = context == kItemKindIngredient ? rules.PlayerSkill(kSkillAlchemy) : 0;
  u32 shown = 0;
  for (u32 i = 0; i < Count(); ++i) {
    if (context == kItemKindIngredient) {
      if (i >= 3) break;
      if ((i == 1 && alchemy < 30) || (i == 2 && alchemy < 60))
        line.Assign("Unknown effect");
      else
        Entry(i32(i))->Describe(rules, context, level, line, false, false);
    } else {
      Entry(i32(i))->Describe(rules, context, level, line, false, false);
    }
    if (shown++) text.Append(comma ? ", " : "\r");
    text.Append(line.CStr());
  }
}

bool SEffectList::SerializeEnchantment(SStream& s, u32 version) {
  s.SerializeMarker(6);
  s.Align(4);
  s.SerializeU32(worth);
  if (version < 84) {
    u16 dropped = 0;
    s.SerializeU16(dropped);
  }
  return Serialize(s, version) && s.Ok();
}

bool SEffectList::SerializeSaved(SStream& s) {
  s.Align(4);
  s.SerializeU32(worth);
  return entries.SerializeList(s, [](SEffect& e, SStream& st) { e.SerializeSaved(st); }) && s.Ok();
}

// ---- the code-made table

u8 SEffectTable::DefaultMode(u32 itemKind) {
  static const u8 kModes[kItemKinds] = {0, 3, 3, 3, 3, 4, 4, 4, 3, 3, 2, 2, 2, 3, 3, 1, 3};
  return itemKind < kItemKinds ? kModes[itemKind] : 0;
}

u8 SEffectTable::AllowedMode(u32 itemKind, u32 kind) const {
  if (itemKind >= kItemKinds) return 0;
  for (u32 i = 0; allowed[itemKind][i]; ++i)
    if (allowed[itemKind][i] == kind) return modes[itemKind][i];
  return 0;
}

void SEffectTable::Fill() {
  static const char* const kNames[kEffectKinds + 1] = {"",
                                                       "Fortify skill",
                                                       "Fortify attribute",
                                                       "Restore hp",
                                                       "Restore full hp",
                                                       "Fortify hp",
                                                       "Restore unholy",
                                                       "Restore full unholy",
                                                       "Fortify unholy",
                                                       "Restore mana",
                                                       "Fortify mana",
                                                       "Fortify ac",
                                                       "Cure poison",
                                                       "Cure paralysis",
                                                       "Cure disease",
                                                       "Resist poison",
                                                       "Resist paralysis",
                                                       "Resist disease",
                                                       "Resist normal weapons",
                                                       "Dispel",
                                                       "Feather",
                                                       "Remove curse",
                                                       "Resist magic",
                                                       "Damage base",
                                                       "Damage type",
                                                       "Damage all",
                                                       "Poison",
                                                       "Curse",
                                                       "Paralyze",
                                                       "Drain hp",
                                                       "Drain sp",
                                                       "Cast spell",
                                                       "Infect disease",
                                                       "Resist diseases",
                                                       "Resist spell",
                                                       "Fortify spell",
                                                       "Fortify magic",
                                                       "Create wall",
                                                       "Fortify melee",
                                                       "Magic immunity",
                                                       "Crush",
                                                       "Calm",
                                                       "Detect secrets",
                                                       "Detect mind",
                                                       "Disarm",
                                                       "Unlock",
                                                       "Mark",
                                                       "Recall",
                                                       "Town portal",
                                                       "Recharge wand",
                                                       "Enchant",
                                                       "Enchant",
                                                       "Create food",
                                                       "Level drops",
                                                       "Reveal map",
                                                       "Restore full mana",
                                                       "Permanent attribute",
                                                       "Alcoholic",
                                                       "Fortify outfit"};
  for (u32 i = 0; i <= kEffectKinds; ++i) names[i] = kNames[i];

  // kind:mode pairs; a mode of 0 takes the item kind's default.
  struct Allowed {
    u8 itemKind;
    const u8* kinds;
    u32 count;
    const u8* modes;  // null: every kind takes the default mode
  };
  static const u8 k1[] = {15, 16, 33, 18, 22, 26, 27, 28, 29, 30, 31, 32, 36, 38, 53};
  static const u8 m1[] = {3, 3, 3, 3, 3, 1, 1, 1, 1, 1, 2, 1, 3, 3, 1};
  static const u8 k2[] = {1, 2, 5, 8, 10, 11, 15, 16, 17, 20, 22, 33, 58};
  static const u8 k3[] = {1, 2, 5, 8, 10, 11, 23, 24, 25, 26, 27, 29, 30, 32, 58};
  static const u8 m3[] = {3, 3, 3, 3, 3, 3, 1, 1, 1, 1, 1, 1, 1, 1, 3};
  static const u8 k4[] = {1, 2, 5, 8, 10, 11, 15, 16, 17, 20, 22, 33, 36, 58};
  static const u8 k5[] = {1,  2,  3,  4,  5,  6,  7,  8,  11, 12, 13, 14, 15, 16, 17, 19, 20, 21, 22, 23, 24, 25,
                          26, 27, 28, 29, 30, 32, 33, 38, 39, 40, 41, 43, 44, 45, 46, 47, 48, 49, 50, 52, 53};
  static const u8 k6[] = {2, 3, 4, 5, 6, 7, 8, 9, 55, 10, 12, 13, 14, 15, 16, 17, 19, 20, 22, 26, 33, 36, 38, 56, 57};
  static const u8 k7[] = {2, 3, 6, 9, 10, 15, 16, 17, 19, 20, 22, 26, 33, 36, 38, 57};
  static const u8 k8[] = {1, 2, 5, 8, 10, 11, 15, 16, 17, 22, 31, 33, 34, 35, 36, 38};
  static const u8 m8[] = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 2, 3, 3, 3, 3, 3};
  static const u8 k9[] = {1, 2, 5, 8, 10, 11, 15, 16, 17, 22, 33, 34, 35, 36, 38};
  static const u8 k10[] = {31};
  static const u8 k13[] = {1};
  static const u8 k14[] = {1, 2, 5, 8, 10, 11, 15, 16, 22, 26, 27, 29, 30, 32, 36, 38, 58};
  static const u8 m14[] = {3, 3, 3, 3, 3, 3, 3, 3, 3, 1, 1, 1, 1, 1, 3, 3, 3};
  static const u8 k15[] = {23, 24, 25, 26, 27, 28, 32};
  static const u8 k16[] = {1, 2, 5, 8, 10, 11, 58};
  static const Allowed kAllowed[] = {
      {1, k1, sizeof k1, m1},        {2, k2, sizeof k2, nullptr}, {3, k3, sizeof k3, m3},
      {4, k4, sizeof k4, nullptr},   {5, k5, sizeof k5, nullptr}, {6, k6, sizeof k6, nullptr},
      {7, k7, sizeof k7, nullptr},   {8, k8, sizeof k8, m8},      {9, k9, sizeof k9, nullptr},
      {10, k10, 1, nullptr},         {11, k10, 1, nullptr},       {12, k10, 1, nullptr},
      {13, k13, 1, nullptr},         {14, k14, sizeof k14, m14},  {15, k15, sizeof k15, nullptr},
      {16, k16, sizeof k16, nullptr}};
  for (auto& row : allowed)
    for (u8& k : row) k = 0;
  for (auto& row : modes)
    for (u8& m : row) m = 0;
  for (const Allowed& a : kAllowed)
    for (u32 i = 0; i < a.count && i < kMaxAllowed; ++i) {
      allowed[a.itemKind][i] = a.kinds[i];
      modes[a.itemKind][i] = a.modes ? a.modes[i] : DefaultMode(a.itemKind);
    }
}
