#include "player/SMonsterEffectText.h"

#include "world/SCharacterTables.h"
#include "world/SEffectKinds.h"
#include "world/SMapArea.h"
#include "world/SPeopleTables.h"
#include "world/SWorldRules.h"

namespace {

// A percentage kept beyond 100 prints its plain form.
i32 PlainPercent(i32 v) { return v > 100 ? v - 100 : v < -100 ? v + 100 : v; }

const char* DiseaseTitle(SWorldRules& rules, const char* key) {
  const SDisease* d = key ? rules.diseases.FindByName(key) : nullptr;
  if (!d) return nullptr;
  return d->text && *d->text ? d->text : d->name.Text();
}

}  // namespace

void FormatMonsterEffects(SWorldRules& rules, const SMapArea& area, u8 monsterId, SString& out) {
  const SMonsterEffectHolder* holder = area.FindEffectHolder(monsterId);
  if (!holder || holder->effects.IsEmpty()) {
    out.Append("none\r");
    return;
  }
  out.Append("\r");
  for (const SMonsterEffect* e : holder->effects) {
    if (!e) continue;
    // Durations are counts of rounds: read unsigned, so that 128 and more are not negative.
    const u32 d = u8(e->duration);
    const char* rounds = d == 1 ? "round" : "rounds";
    const char* turns = d == 1 ? "turn" : "turns";
    const i32 v = e->value;
    if (e->kind == SMonsterEffect::kDisease) {
      if (const char* title = DiseaseTitle(rules, e->text)) out.FormatAppend("%s disease\r", title);
      continue;
    }
    auto plain = [&](const char* what) { out.FormatAppend("%+d %s (%u %s)\r", v, what, d, rounds); };
    auto percent = [&](const char* what) { out.FormatAppend("%+d%% %s (%u %s)\r", PlainPercent(v), what, d, rounds); };
    switch (u8(e->attribute)) {
      case EffectKind::kFortifySkill: {
        const char* name = rules.skills.FullName(e->subkind);
        if (name) plain(name);
        break;
      }
      case EffectKind::kFortifyAttribute: {
        const char* name = rules.attributes.Name(e->subkind);
        if (name) plain(name);
        break;
      }
      case EffectKind::kFortifyHp: plain("hp"); break;
      case EffectKind::kFortifyUnholy: plain("unholy hp"); break;
      case EffectKind::kFortifyMana: plain("mana"); break;
      case EffectKind::kFortifyAc: plain("ac"); break;
      case EffectKind::kResistPoison: percent("poison resistance"); break;
      case EffectKind::kResistParalysis: percent("paralysis resistance"); break;
      case EffectKind::kResistDisease:
        if (const char* title = DiseaseTitle(rules, e->text)) {
          SString what(title);
          what.Append(" resistance");
          percent(what.CStr());
        }
        break;
      case 18: percent("normal weapon resistance"); break;
      case EffectKind::kFeather: plain("feather"); break;
      case EffectKind::kResistMagic: percent("magic resistance"); break;
      case EffectKind::kPoison: out.FormatAppend("Poisoned, %u hp\r", u32(u16(v))); break;
      case EffectKind::kCurse: out.FormatAppend("Cursed, %u %s\r", d, turns); break;
      case EffectKind::kParalyze: out.FormatAppend("Paralyzed, %u %s\r", d, turns); break;
      case EffectKind::kResistDiseases: percent("diseases resistance"); break;
      case EffectKind::kFortifyMagic: percent("magic"); break;
      case EffectKind::kFortifyMelee: percent("melee"); break;
      case EffectKind::kMagicImmunity: out.FormatAppend("Magic immunity, %u %s\r", d, turns); break;
      case EffectKind::kLevelDrops: out.Append("Level drop\r"); break;
      case 58: plain("outfit"); break;
      default: break;
    }
  }
}
