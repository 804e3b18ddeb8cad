#include "WorldRules.h"

#include "WorldScripts.h"
#include "WorldSources.h"
#include "script/SDialogEntry.h"
#include "world/SImageCache.h"
#include "world/SWorldRules.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace worldbuild {
namespace {
using nlohmann::json;
// Texts the records point at while they are written; null for a JSON null or a missing key.
const char* Keep(const json& j) { return j.is_string() ? KeepText(j.get<std::string>()) : nullptr; }
const char* Keep(const json& j, const char* key) { return j.contains(key) ? Keep(j[key]) : nullptr; }

void AddEffects(SEffectList& list, const json& effects) {
  for (const json& ej : effects) list.Add(EffectFromJson(ej));
}

SDialogEntryList* BaseReference(const json& name) {
  auto* list = new SDialogEntryList;
  list->name.Set(Keep(name));
  list->baseFlag = 1;
  return list;
}
// The scenes of a source file as the archive's scene block; the page scripts are named for the compiler.
void AddSceneBlock(Context& ctx, const json& j, const char* file, WorldArchiveSpec& spec) {
  if (!j.contains("scenes")) return;
  SSceneTable scenes;
  for (const json& n : j["scenes"]["names"]) scenes.names.Add(Keep(n));
  for (const json& sj : j["scenes"]["list"]) {
    auto* scene = new SScene;
    scene->name.Set(Keep(sj, "name"));
    scene->text = Keep(sj, "text");
    scene->music = Keep(sj, "music");
    for (const json& pj : sj["pages"]) {
      scene->pages.Add(SScenePage{{Keep(pj[0]), Keep(pj[1]), Keep(pj[2])}});
      if (pj[2].is_string())  // a page runs its script by name
        Scripts().NameScript(pj[2].get<std::string>(), SourcePlace(ctx, file, JsonPattern(pj[2])));
    }
    scenes.records.Add(scene);
  }
  spec.blocks[kBlockScenes] = {SampleRecord([&](SStream& s) { scenes.SerializeBlock(s, kSampleVersion); })};
}
}  // namespace

bool BuildSceneBlock(Context& ctx, const char* file, WorldArchiveSpec& spec) {
  json j;
  if (!ReadSourceJson(ctx, file, j)) return false;
  AddSceneBlock(ctx, j, file, spec);
  return true;
}

bool BuildRuleBlocks(Context& ctx, WorldArchiveSpec& spec) {
  json j;
  if (!ReadSourceJson(ctx, "world/rules.json", j)) return false;
  const u32 v = kSampleVersion;
  SWorldRules rules;

  // Attributes, skills and races replace the code-made rows.
  if (j["attributes"].size() != kAttributeCount) return ctx.fail("rules.json", "attributes: exactly 5 rows"), false;
  for (u32 i = 0; i < kAttributeCount; ++i) {
    const json& r = j["attributes"][i];
    rules.attributes.rows[i + 1].id.Set(Keep(r[0]));
    rules.attributes.rows[i + 1].name = Keep(r[1]);
    rules.attributes.rows[i + 1].shortName = Keep(r[2]);
  }
  spec.blocks[kBlockAttributes] = {SampleRecord([&](SStream& s) { rules.attributes.SerializeBlock(s, v, true); })};
  if (j["skills"].size() != kSkillCount) return ctx.fail("rules.json", "skills: exactly 20 rows"), false;
  for (u32 i = 0; i < kSkillCount; ++i) {
    const json& r = j["skills"][i];
    SSkillRow& row = rules.skills.rows[i + 1];
    row.id.Set(Keep(r[0]));
    row.fullName = Keep(r[1]);
    row.mediumName = Keep(r[2]);
    row.shortName = Keep(r[3]);
    row.attribute = u8(r[4].get<int>());
    row.second = u8(r[5].get<int>());
    row.fourth = r.size() > 6 ? Keep(r[6]) : nullptr;  // the description
  }
  spec.blocks[kBlockSkills] = {SampleRecord([&](SStream& s) { rules.skills.SerializeBlock(s, v, true); })};
  if (j["races"].size() != 6) return ctx.fail("rules.json", "races: exactly 6 rows"), false;
  for (u32 i = 0; i < 6; ++i) {
    const json& r = j["races"][i];
    rules.races.rows[i].id.Set(Keep(r[0]));
    rules.races.rows[i].name.Assign(Keep(r[1]));
    rules.races.rows[i].texts[0] = Keep(r[2]);
    rules.races.rows[i].texts[1] = Keep(r[3]);
  }
  spec.blocks[kBlockRaces] = {SampleRecord([&](SStream& s) { rules.races.SerializeBlock(s, v, true); })};

  for (const json& aj : j["abilities"]) {
    auto* a = new SAbility;
    a->name.Set(Keep(aj, "name"));
    a->text = Keep(aj, "text");
    AddEffects(a->effects, aj["effects"]);
    rules.abilities.records.Add(a);
  }
  spec.blocks[kBlockAbilities] = {SampleRecord([&](SStream& s) { rules.abilities.SerializeBlock(s, v); })};

  for (const json& rj : j["alchemy"]) {
    auto* r = new SAlchemyRecipe;
    r->name.Set(Keep(rj, "name"));
    for (u32 i = 0; i < rj["needs"].size() && i < 3; ++i) {
      const json& n = rj["needs"][i];
      r->kinds[i] = u8(n[0].get<int>());
      r->subs[i] = u8(n[1].get<int>());
      r->names[i] = Keep(n[2]);
    }
    r->potion = Keep(rj, "potion");
    r->base = i16(rj.value("base", 0));
    r->perSkill = i16(rj.value("perSkill", 0));
    r->duration = i16(rj.value("duration", 0));
    r->durationPerSkill = i16(rj.value("durationPerSkill", 0));
    r->parameter = u8(rj.value("parameter", 0));
    rules.alchemy.records.Add(r);
  }
  spec.blocks[kBlockAlchemy] = {SampleRecord([&](SStream& s) { rules.alchemy.SerializeBlock(s, v); })};

  for (const json& dj : j["diseases"]) {
    auto* d = new SDisease;
    d->name.Set(Keep(dj, "name"));
    d->text = Keep(dj, "text");
    d->strength = u8(dj.value("strength", 1));
    AddEffects(d->effects, dj["effects"]);
    rules.diseases.records.Add(d);
  }
  spec.blocks[kBlockDiseases] = {SampleRecord([&](SStream& s) { rules.diseases.SerializeBlock(s, v); })};

  for (const json& qj : j["quests"]) {
    auto* q = new SQuest;
    q->name.Set(Keep(qj, "name"));
    q->texts[0] = Keep(qj["texts"][0]);
    q->texts[1] = Keep(qj["texts"][1]);
    rules.quests.records.Add(q);
  }
  spec.blocks[kBlockQuests] = {SampleRecord([&](SStream& s) { rules.quests.SerializeBlock(s, v); })};

  AddSceneBlock(ctx, j, "world/rules.json", spec);

  for (const json& ij : j["interiors"]) {
    auto* interior = new SInterior;
    interior->name.Set(Keep(ij, "name"));
    interior->text = Keep(ij, "text");
    for (const json& pj : ij["pictures"])
      interior->pictures.Add(
          SInteriorPicture{Keep(pj[0]), {u16(pj[1].get<int>()), u16(pj[2].get<int>()), u16(pj[3].get<int>())}});
    rules.interiors.records.Add(interior);
  }
  spec.blocks[kBlockInteriors] = {SampleRecord([&](SStream& s) { rules.interiors.SerializeBlock(s, v); })};

  for (const json& kj : j["skies"]) {
    auto* sky = new SSkyType;
    sky->name.Set(Keep(kj, "name"));
    sky->picture = Keep(kj, "picture");
    sky->period = u8(kj.value("period", 1));
    sky->weather = u8(kj.value("weather", 0));
    sky->fogColour = u16(kj.value("fog", 0));
    sky->visibility = u8(kj.value("visibility", 100));
    sky->animation = i8(kj.value("animation", 0));
    rules.skies.records.Add(sky);
  }
  spec.blocks[kBlockSkies] = {SampleRecord([&](SStream& s) { rules.skies.SerializeBlock(s, v); })};

  for (const json& ej : j["spellEffects"]) {
    auto* fx = new SSpellEffect;
    fx->name.Set(Keep(ej, "name"));
    fx->kind = u8(ej.value("kind", 1));
    fx->frameNames.SetOwns(false);
    for (const json& f : ej["frames"]) fx->frameNames.Add(const_cast<char*>(Keep(f)));
    for (const json& p : ej["palettes"]) fx->palettes.AddText(p.get<std::string>().c_str());
    rules.spellEffects.records.Add(fx);
  }
  spec.blocks[kBlockSpellEffects] = {SampleRecord([&](SStream& s) { rules.spellEffects.SerializeBlock(s, v); })};

  // Spells and people: a header record with the count, then one record each.
  std::vector<Bytes>& spells = spec.blocks[kBlockSpells];
  spells.push_back(SampleRecord([&](SStream& s) {
    u16 n = u16(j["spells"].size());
    rules.spells.SerializeHeader(s, n);
  }));
  for (const json& sj : j["spells"]) {
    SSpell spell;
    spell.name.Set(Keep(sj, "name"));
    for (u32 i = 0; i < sj["texts"].size() && i < 9; ++i) spell.texts[i] = Keep(sj["texts"][i]);
    // The sounds and pictures may be named instead of placed in the text list.
    static const char* const kNamedTexts[6] = {"castSound",      "hitSound", "missile",
                                               "missilePalette", "effect",   "effectPalette"};
    for (u32 i = 0; i < 6; ++i)
      if (sj.contains(kNamedTexts[i])) spell.texts[2 + i] = Keep(sj, kNamedTexts[i]);
    spell.school = u8(sj.value("school", 3));
    spell.extra[0] = u8(sj.value("target", 3));  // whom it reaches: 1 self, 2 touch, 3 other
    spell.enchantValue = u16(sj.value("value", 0));
    spell.baseCost = u16(sj.value("cost", 0));
    spell.costPerSkill = u16(sj.value("perSkill", 0));
    AddEffects(spell.effects, sj["effects"]);
    spells.push_back(SampleRecord([&](SStream& s) { spell.Serialize(s, v); }));
  }

  SDialogEntryListTable noTable;
  SConversationReaderOf<SDialogEntryListPair, SDialogEntryListTable> writer(&noTable);
  std::vector<Bytes>& people = spec.blocks[kBlockPeople];
  people.push_back(SampleRecord([&](SStream& s) {
    s.SerializeMarker('+');
    u16 n = u16(j["people"].size());
    s.SerializeU16(n);
  }));
  for (const json& pj : j["people"]) {
    SNpc npc;
    npc.name.Set(Keep(pj, "name"));
    for (u32 i = 0; i < pj["texts"].size() && i < 6; ++i) npc.texts[i] = Keep(pj["texts"][i]);
    npc.value32 = u32(pj.value("buys", 0));
    npc.shopLevel = u8(pj.value("shopLevel", 0));
    npc.categories = u16(pj.value("categories", 0));
    npc.race = u8(pj.value("race", 1));
    npc.value = u8(pj.value("value", 10));
    npc.params[3] = u8(pj.value("services", 0));
    // The trainer's skill and ceiling (trainers teach up to 100 at most), the enchanting level, the most bet
    // at cards and the opening hours (1 by day, 2 at night).
    npc.params[0] = u8(pj.value("skill", 16));
    npc.params[1] = u8(std::min(pj.value("ceiling", 10), 100));
    npc.params[2] = u8(pj.value("enchantLevel", 10));
    npc.param16 = i16(pj.value("maxBet", 10));
    npc.flag1 = u8(pj.value("hours", 1));
    // A person whose categories include potions (bit 128) is a whole-list shop, and a whole-list shop trades
    // potions: the class bit and the shop's mark are one bit.
    const bool hasInterior = npc.texts[3] && *npc.texts[3];
    if (hasInterior && (npc.params[3] & 47) == 47)
      return ctx.fail("rules.json", std::string("person ") + npc.name.Text() +
                                        " offers buying and selling, training, repair, enchanting and rooms: the"
                                        " interior's menu holds four of them"),
             false;
    SDialogEntryListPair conversation;
    EntryPrograms programs;
    // The record's text pairs are carried by the game but shown by no screen: a person's topics are the
    // lists of its conversation, and a pair would only mislead whoever writes one.
    if (pj.contains("topics"))
      return ctx.fail("rules.json", std::string("person ") + npc.name.Text() +
                                        ": \"topics\" pairs are shown by no screen; give the person a topic list"
                                        " in its \"conversation\""),
             false;
    if (pj.contains("conversation")) {
      // A topic is a list of the person's own, or the name of one of the base table's first lists.
      for (const json& lj : pj["conversation"]["topics"]) {
        if (lj.is_string()) {
          conversation.first.Add(BaseReference(lj));
        } else if (SDialogEntryList* l = DialogListFromJson(ctx, "world/rules.json", lj, programs)) {
          conversation.first.Add(l);
        }
      }
      for (const json& n : pj["conversation"]["greetings"]) conversation.second.Add(BaseReference(n));
      npc.conversation = &conversation;
    }
    people.push_back(WriteDialogRecord(
        conversation, programs, [&] { return SampleRecord([&](SStream& s) { npc.Serialize(s, v, &writer); }); },
        [&](const Bytes& record, std::vector<u32>& offsets) {
          SNpc back;
          SStream s(v);
          s.OpenForRead(record.data(), u32(record.size()));
          back.Serialize(s, v, &writer);
          if (back.conversation) offsets = ScriptOffsets(*static_cast<SDialogEntryListPair*>(back.conversation));
          return s.Ok();
        }));
    npc.conversation = nullptr;
    // The placeholders of base lists are this pair's own here: nothing replaced them.
    for (SPtrArray<SDialogEntryList>* l : {&conversation.first, &conversation.second}) l->DeleteAll();
  }
  for (std::vector<Bytes>* block : {&spec.blocks[kBlockPeople], &spec.blocks[kBlockSpells]})
    for (const Bytes& b : *block)
      if (b.empty()) return ctx.fail("rules.json", "a person or spell does not fit one record"), false;
  return !ctx.failed();
}

bool PersonAnswers(SWorldRules& rules, const char* name) {
  const SNpc* person = name && *name ? rules.people.FindByName(name) : nullptr;
  if (!person) return false;
  const auto* lists = static_cast<const SDialogEntryListPair*>(person->conversation);
  return (lists && (lists->first.Count() || lists->second.Count())) || (person->texts[3] && *person->texts[3]);
}

bool CheckRuleTables(Context& ctx, SWorldRules& rules) {
  bool ok = true;
  auto fail = [&](const std::string& what) {
    ctx.fail("rules.json", what);
    ok = false;
  };
  for (u32 r = 1; r <= 5; ++r)
    if (!rules.abilities.FindByName(rules.races.AbilityName(r)))
      fail(std::string(rules.races.rows[r].name.CStr()) + ": its ability is not in the ability table");
  for (const char* kit :
       {"base_spellcurelightwounds", "base_spellstoneskin", "base_spellburninghand", "base_spellcurse",
        "base_spelldrainhealth", "base_spellfeather", "base_spellfireball", "base_spelllightningbolt",
        "base_spellharmundead", "base_spellplague", "base_spellwarrt", "base_spellpoisontouch"})
    if (!rules.spells.FindByName(kit)) fail(std::string(kit) + ": the game names this spell; it is missing");
  auto checkEffects = [&](const char* owner, const SEffectList& list) {
    for (const SEffect* e : list.entries) {
      if ((e->kind == 31 || e->kind == 34 || e->kind == 35) && !rules.spells.FindByName(e->name))
        fail(std::string(owner) + ": names a spell that does not exist");
      if ((e->kind == 14 || e->kind == 17 || e->kind == 32) && !rules.diseases.FindByName(e->name))
        fail(std::string(owner) + ": names a disease that does not exist");
    }
  };
  for (const SAbility* a : rules.abilities.records) checkEffects(a->name.text, a->effects);
  for (const SSpell* s : rules.spells.records) checkEffects(s->name.text, s->effects);
  for (const SDisease* d : rules.diseases.records) checkEffects(d->name.text, d->effects);
  SImageCache& images = *rules.images;
  for (const SSkyType* sky : rules.skies.records)
    if (!images.FindImage(sky->Picture())) fail(std::string(sky->name.text) + ": sky picture is not an image");
  for (const SInterior* in : rules.interiors.records)
    for (u32 i = 0; i < in->pictures.Count(); ++i)
      if (!images.FindImage(in->pictures[i].image))
        fail(std::string(in->name.text) + ": interior picture is not an image");
  for (const SSpellEffect* fx : rules.spellEffects.records) {
    for (u32 i = 0; i < fx->frameNames.Count(); ++i)
      if (!images.FindImage(fx->frameNames.Text(i32(i)))) fail(std::string(fx->name.text) + ": frame is not an image");
    for (u32 i = 0; i < fx->palettes.Count(); ++i)
      if (!images.FindPalette(fx->palettes.Text(i32(i)))) fail(std::string(fx->name.text) + ": palette does not exist");
  }
  if (!rules.scenes.FindByName("bres_intro") || !rules.scenes.FindByName("bmus_credits"))
    fail("the scenes \"bres_intro\" and \"bmus_credits\" are needed by the main menu");
  return ok;
}

}  // namespace worldbuild
