#include "world/SWorldExtras.h"

#include "world/SImageCache.h"
#include "world/SItemTable.h"
#include "world/SWorldRules.h"

// ---- interiors

void SInterior::Serialize(SStream& s, u32 version) {
  s.SerializeMarker(':');
  s.SerializeName(name);
  if (version >= 112) s.SerializeString(text);
  s.Align(2);
  u16 n = u16(pictures.Count());
  s.SerializeU16(n);
  for (u32 i = 0; i < n && s.Ok(); ++i) {
    SInteriorPicture p = s.IsReading() ? SInteriorPicture{} : pictures[i];
    s.SerializeString(p.image);
    for (u16& v : p.values) s.SerializeU16(v);
    if (s.IsReading() && s.Ok() && !pictures.Add(p)) s.SetFailed();
  }
}

void SInterior::LoadImages(SImageCache& cache) {
  if (loaded_) return;
  loaded_ = true;
  for (const SInteriorPicture& p : pictures) cache.LoadImage(cache.FindImage(p.image));
}

void SInterior::ReleaseImages(SImageCache& cache) {
  if (!loaded_) return;
  loaded_ = false;
  for (const SInteriorPicture& p : pictures) cache.ReleaseImage(cache.FindImage(p.image));
}

// ---- alchemy

void SAlchemyRecipe::Serialize(SStream& s, u32) {
  s.SerializeMarker(15);
  s.SerializeName(name);
  for (u32 i = 0; i < 3; ++i) {
    s.SerializeByte(kinds[i]);
    s.SerializeByte(subs[i]);
    s.SerializeString(names[i]);
  }
  s.SerializeString(potion);
  s.SerializeI16(base);
  s.SerializeI16(perSkill);
  s.SerializeI16(duration);
  s.SerializeI16(durationPerSkill);
  s.SerializeByte(parameter);
}

void SAlchemyRecipe::ApplyToPotion(SEffectList& effects, i32 skill) const {
  SEffect* e = effects.Entry(0);
  if (!e) return;
  const i32 magnitude = base + perSkill * skill / 100;
  const i32 time = duration + durationPerSkill * skill / 100;
  auto to16 = [](i32 v) { return i16(v > 32767 ? 32767 : v < -32768 ? -32768 : v); };
  switch (e->kind) {
    case 2:
    case 5:
    case 8:
    case 10:
    case 20:
      e->base = to16(magnitude);
      e->duration = to16(time);
      break;
    case 3:
    case 6:
    case 9:
    case 26:
    case 56:
    case 57:
      e->base = to16(magnitude);
      e->duration = 0;
      break;
    case 4:
    case 7:
    case 12:
    case 13:
    case 14:
    case 19:
    case 55:
      e->base = 0;
      e->duration = 0;
      break;
    case 15:
    case 16:
    case 17:
    case 22:
    case 33:
    case 36:
    case 38:
      e->base = to16(magnitude + 100);
      e->duration = to16(time);
      break;
    default: break;
  }
}

void SAlchemyTable::ListMakeable(i32 skill, const SEffectList* const* ingredients, u32 count,
                                 std::vector<SMakeableRecipe>& out) const {
  out.clear();
  for (const SAlchemyRecipe* r : records) {
    bool used[3][3] = {};  // [ingredient slot][entry] taken by this recipe
    SMakeableRecipe made;
    made.recipe = r;
    bool makeable = true, lastUnknown = false;
    for (u32 req = 0; req < 3 && makeable; ++req) {
      if (!r->kinds[req]) continue;
      bool found = false;
      for (u32 i = 0; i < count && i < 3 && !found; ++i) {
        const SEffectList* list = ingredients[i];
        if (!list) continue;
        for (u32 k = 0; k < 3 && k < list->Count() && !found; ++k) {
          if (used[i][k] || !list->Entry(i32(k))->Matches(r->kinds[req], r->subs[req], r->names[req])) continue;
          used[i][k] = true;
          found = true;
          lastUnknown = (k == 1 && skill < 30) || (k == 2 && skill < 60);
          bool listed = false;
          for (u32 u = 0; u < made.usedCount; ++u) listed |= made.used[u] == i;
          if (!listed) made.used[made.usedCount++] = u8(i);
        }
      }
      makeable = found;
    }
    if (!makeable) continue;
    made.unknown = lastUnknown;
    out.push_back(made);
  }
}

// ---- abilities

void SAbility::Serialize(SStream& s, u32 version) {
  s.SerializeMarker(11);
  s.SerializeName(name);
  s.SerializeString(text);
  effects.Serialize(s, version);
}

// Everywhere but the race picker the texts are the plain ones, whatever the screen.
void SAbility::DescribeAll(SWorldRules& rules, SString& out) const {
  DescribeEntries(rules, out, 0, effects.Count(), false, false);
}

void SAbility::DescribeRange(SWorldRules& rules, SString& out, u32 first, u32 last) const {
  const i32 mode = rules.Hooks().DisplayMode();
  const bool compact =
      mode == 2 || mode == 5 || mode == 6 || mode == 7 || mode == 8 || mode == 12 || mode == 13 || mode == 16;
  DescribeEntries(rules, out, first, last, compact, mode == 5 || mode == 8);
}

void SAbility::DescribeEntries(SWorldRules& rules, SString& out, u32 first, u32 last, bool compact,
                               bool shortest) const {
  out.Assign("");
  SString line;
  for (u32 i = first; i < last && i < effects.Count(); ++i) {
    effects.Entry(i32(i))->Describe(rules, kItemKindAbility, 0, line, compact, shortest);
    if (i > first) out.Append("\r");
    out.Append(line.CStr());
  }
  rules.Hooks().ConvertNumberGlyphs(out);
}

void SAbility::GrantToPlayer(SWorldRules& rules) const {
  SPlayerAccess* player = rules.player;
  if (!player) return;
  for (const SEffect* e : effects.entries) {
    if (e->kind == 31) {
      SSpell* spell = rules.spells.FindByName(e->name);
      if (!spell) continue;
      const u32 barredSchool = player->IsUndead() ? 1 : 5;
      if (spell->school == barredSchool || player->KnowsSpellRecord(spell)) continue;
      player->AddKnownSpell(spell);
      continue;
    }
    player->AddEffect(kSourceAbility, this, e->base, 0, e->kind, e->sub, e->name);
  }
}

// ---- alchemy over item types

void SAlchemyTable::ListMakeable(SWorldRules& rules, i32 skill, const SItemType* const* ingredients, u32 count,
                                 std::vector<SMakeableRecipe>& out) const {
  const SEffectList* lists[3] = {};
  u8 given[3] = {};  // where each considered ingredient stands in the caller's list
  u32 n = 0;
  // Only ingredients that carry effects count, in the order given.
  for (u32 i = 0; i < count && n < 3; ++i)
    if (ingredients[i] && ingredients[i]->enchantment && ingredients[i]->enchantment->Count()) {
      given[n] = u8(i);
      lists[n++] = ingredients[i]->enchantment;
    }
  ListMakeable(skill, lists, n, out);
  std::vector<SMakeableRecipe> kept;
  for (SMakeableRecipe& m : out) {
    for (u32 u = 0; u < m.usedCount; ++u) m.used[u] = given[m.used[u]];
    m.potion = rules.items ? rules.items->FindType(m.recipe->potion) : nullptr;
    if (!m.potion) continue;
    m.text = m.unknown ? "? Unknown" : (m.potion->text3 ? m.potion->text3 : "");
    kept.push_back(m);
  }
  out.swap(kept);
}

SItem* SAlchemyTable::CreatePotion(SWorldRules& rules, const SAlchemyRecipe& recipe, i32 skill, SRandom& random) const {
  SItemType* type = rules.items ? rules.items->FindType(recipe.potion) : nullptr;
  if (!type) return nullptr;
  SItem* item = type->CreateInstance(0, random);
  if (!item || !type->enchantment) return item;
  delete item->enchantments;
  item->enchantments = type->enchantment->Clone();
  if (item->enchantments) recipe.ApplyToPotion(*item->enchantments, skill);
  return item;
}
