// Reads arbitrary bytes as effect lists (archive, enchantment and saved forms) and as a spell record at
// a data version taken from the first byte, then works every text, cost and damage rule over what was
// read.
#include "common/Outcome.h"
#include "common/RulesRig.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size < 2) return 0;
  FuzzOutcome outcome;
  SWorldRules* rules = &Rules();
  const u32 version = data[0];
  const u8 form = data[1] & 3;
  SStream s(version);
  s.OpenForRead(data + 2, u32(size - 2));
  SEffectList list;
  auto* spell = new SSpell;
  switch (form) {
    case 0: list.Serialize(s, version); break;
    case 1: list.SerializeEnchantment(s, version); break;
    case 2: list.SerializeSaved(s); break;
    default: spell->Serialize(s, version); break;
  }
  if (form == 3 && s.Ok() && spell->name.text) {
    rules->spells.records.InsertByNameHash(spell);
  } else {
    list.Assign(spell->effects);
    delete spell;
    spell = nullptr;
  }
  const SEffectList& effects = spell ? spell->effects : list;
  SString text;
  for (u32 context = 0; context <= 17; ++context) {
    effects.Describe(*rules, context, 37, text, context & 1);
    outcome.Add(text.CStr(), text.Length());
    for (const SEffect* e : effects.entries) {
      i32 storage = 0, price = 0;
      e->GetEnchantCost(*rules, context, storage, price);
      e->Describe(*rules, context, 120, text, true, context & 2);
      outcome.Add(text.CStr(), text.Length());
      outcome.AddValue(u64(u32(storage)) << 32 | u32(price));
    }
  }
  effects.ChargeValue(*rules, 7);
  effects.ApplyToPlayer(*rules, kSourceEquipment, &effects);
  if (spell) {
    spell->GetManaCost(*rules);
    SSpell::Target target;
    target.monsterKind = 3;
    target.hp = 40;
    target.magicResistance = 50;
    spell->ComputeMonsterDamage(250, &target);
    rules->spells.IsHarmfulSpell(spell->name.text);
    rules->spells.records.Remove(spell);
    delete spell;
  }
  if (SPlayer* p = static_cast<SPlayer*>(rules->player)) {
    p->ClearEffects();
    p->effects[0].DeleteAll();
  }
  return 0;
}
