#include "WorldItems.h"

#include "ArtSources.h"

#include "WorldSources.h"
#include "encode/ImageEncode.h"
#include "encode/PixelArt.h"
#include "game/SMonster.h"
#include "world/SCharacterTables.h"
#include "world/SEffect.h"
#include "world/SEffectKinds.h"
#include "world/SItemTable.h"
#include "world/SWorldModule.h"

#include <nlohmann/json.hpp>

#include <map>
#include <set>

namespace worldbuild {
namespace {
using nlohmann::json;
SEffectList* MakeEnchantment(const json& ej) {
  auto* list = new SEffectList;
  list->worth = ej.value("worth", 0u);
  for (const json& e : ej["effects"]) list->Add(EffectFromJson(e));
  return list;
}

// An item's effects as its description and its use read them: each of a kind of the effect table that
// the item's kind carries (any other describes to nothing), a skill or attribute effect with the number
// its texts read, and a book's skill named as well, since reading finds the skill it teaches by name.
void CheckItemEffects(Context& ctx, const std::string& item, const SItemType& t, const json& effects) {
  static const SEffectTable table;
  static const SSkillTable skills;
  const u32 itemKind = t.GetEnchantKind();
  const bool book = t.itemClass == kItemBook && t.subtype == 1;
  for (const json& e : effects) {
    const int kind = e.value("kind", 1);
    const int sub = e.value("sub", 0);
    const std::string said = item + ": an effect of kind " + std::to_string(kind);
    if (kind < 1 || kind > int(kEffectKinds)) {
      ctx.fail("items.json", said + ", which is no effect kind (1 to " + std::to_string(kEffectKinds) + ")");
      continue;
    }
    if (!table.AllowedMode(itemKind, u32(kind))) {
      ctx.fail("items.json", said + " (" + table.KindName(u32(kind)) + "), which an item of its class does not carry");
      continue;
    }
    if (kind == EffectKind::kFortifySkill) {
      if (sub < 1 || sub > 20) {
        ctx.fail("items.json", said + " without the number of its skill (sub 1 to 20)");
        continue;
      }
      const std::string name = e.value("name", "");
      if (book && name.empty()) ctx.fail("items.json", said + " in a book without the name of its skill");
      if (!name.empty() && skills.FindByName(name.c_str()) != u32(sub))
        ctx.fail("items.json", said + " names " + name + " but the skill numbered " + std::to_string(sub));
    }
    if ((kind == EffectKind::kFortifyAttribute || kind == EffectKind::kPermanentAttribute) && (sub < 1 || sub > 5))
      ctx.fail("items.json", said + " without the number of its attribute (sub 1 to 5)");
  }
}
}  // namespace

bool BuildItemBlock(Context& ctx, WorldArchiveSpec& spec) {
  json j;
  if (!ReadSourceJson(ctx, "world/items.json", j)) return false;
  SItemTable table;
  const std::string prefix = spec.name + "_item";
  // The slot's ground of the item pictures: whole blocks of it are block 0, which the pack draws in that
  // colour and the floor and the shelves leave out, so an item lies on the ground without its slot.
  u16 ground = 0;
  const bool grounded = j.contains("ground");
  if (grounded && (!j["ground"].is_string() || !imageenc::ParseArtColour(j["ground"].get<std::string>(), ground))) {
    ctx.fail("items.json", "ground: write the slot's ground colour as #rrggbb");
    return false;
  }
  for (const json& pj : j["pictures"]) {
    const std::string image = prefix + pj.value("name", "");
    // Item pictures are 50 x 50: the game shrinks them to 40, 30 and 20.
    imageenc::Picture pic;
    if (!DrawArt(ctx, "items.json", image, pic, 50, 50)) return false;
    spec.images.push_back({image, grounded ? imageenc::EncodeBlocks(pic, 1, true, 0, ground)
                                           : imageenc::Encode(pic, pj.value("format", 0))});
    // The inventory picture (kind 0: preloaded, resolved by its own name) and the record naming it.
    auto* p = new SItemPicture;
    p->name.Set(KeepText(image));
    p->pictureKind = 0;
    table.pictures.InsertByNameHash(p);
    auto* r = new SItemTextPicture;
    r->name.Set(KeepText(spec.name + "_pic" + pj.value("name", "")));
    r->text1 = KeepText(image);
    r->text2 = KeepText(image);
    table.textPictures.InsertByNameHash(r);
  }
  for (const json& fj : j["fps"]) {
    auto* f = new SFpsItem;
    const std::string name = fj.value("name", "");
    f->name.Set(KeepText(name));
    f->kind = u8(fj.value("kind", 1));
    if (fj.contains("sound")) f->sound = KeepText(fj["sound"].get<std::string>());
    // The swing: the phase a full swing starts at (255: one phase), the alternate flag, the rest frame,
    // the frames of a swing; the picture's own offsets; the sound of a blow the shield meets; the
    // palette a paralysed hand shows; the palettes it is drawn with.
    f->p1 = u8(fj.value("swing", 0));
    f->p2 = u8(fj.value("alternate", 0));
    f->p3 = u8(fj.value("rest", 0));
    f->p4 = u8(fj.value("swingFrames", 0));
    f->value1 = i16(fj.value("x", 0));
    f->value2 = i16(fj.value("y", 0));
    if (fj.contains("shieldSound")) f->textA = KeepText(fj["shieldSound"].get<std::string>());
    if (fj.contains("paralysedPalette")) f->textB = KeepText(fj["paralysedPalette"].get<std::string>());
    for (const std::string& palette : fj.value("palettes", std::vector<std::string>{}))
      f->palettes.AddText(KeepText(palette));
    if (fj.contains("images")) {
      // Frames drawn elsewhere (the resource archive's), by name.
      for (const std::string& frame : fj["images"].get<std::vector<std::string>>())
        f->frameNames.AddText(KeepText(frame));
    } else {
      for (int i = 0; i < fj.value("frames", 1); ++i) {
        const std::string frame = name + std::to_string(i + 1);
        imageenc::Picture pic;
        if (!DrawArt(ctx, "items.json", frame, pic)) return false;
        spec.images.push_back({frame, imageenc::Encode(pic, fj.value("format", 1))});
        f->frameNames.AddText(frame.c_str());
      }
    }
    if (f->p3 >= f->frameNames.Count() || f->p4 > f->frameNames.Count())
      ctx.fail("items.json", name + ": a rest frame or swing frames beyond its frames");
    table.fpsItems.InsertByNameHash(f);
  }
  std::vector<SItemType*> types;
  std::set<std::string> seen;
  for (const json& tj : j["types"]) {
    auto* t = new SItemType;
    const std::string name = tj.value("name", "");
    if (!seen.insert(name).second) ctx.fail("items.json", name + ": item type named twice");
    t->name.Set(KeepText(name));
    t->text1 = tj.contains("fps") ? KeepText(tj["fps"].get<std::string>()) : nullptr;
    t->text4 = tj.contains("fpsPalette") ? KeepText(tj["fpsPalette"].get<std::string>()) : nullptr;
    t->text2 = KeepText(spec.name + "_pic" + tj.value("picture", ""));
    if (!table.FindTextPicture(t->text2)) ctx.fail("items.json", name + ": no picture " + tj.value("picture", ""));
    t->text3 = KeepText(tj.value("display", ""));
    // What reading the item shows (books, letters, maps, spellbooks): one text, or a list of paragraphs,
    // each of which begins a new line.
    std::string text;
    if (tj.contains("text")) {
      const json& tx = tj["text"];
      for (const json& paragraph : tx.is_array() ? tx : json::array({tx})) {
        if (!paragraph.is_string()) {
          ctx.fail("items.json", name + ": a text is a string or a list of strings");
          break;
        }
        text += (text.empty() ? "" : "\n") + paragraph.get<std::string>();
      }
      t->text4 = KeepText(text);
    }
    t->value = tj.value("value", 0u);
    t->weight = u16(tj.value("weight", 0));
    if (tj.contains("damage")) {
      t->damageMin = u16(tj["damage"][0].get<int>());
      t->damageMax = u16(tj["damage"][1].get<int>());
    }
    t->armorClass = u16(tj.value("ac", 0));
    t->enchantCapacity = u16(tj.value("capacity", 0));
    t->maxCondition = u16(tj.value("condition", 1000));
    if (t->maxCondition == 0) ctx.fail("items.json", name + ": a maximum condition of 0");
    t->level = u8(tj.value("level", 0));
    t->frequency = u8(tj.value("frequency", 1));
    t->itemClass = u8(tj.value("class", 0));
    t->subtype = u8(tj.value("subtype", 0));
    t->alignment = u8(tj.value("alignment", 0));
    t->flags = u8(tj.value("flags", 0));
    t->outfit = u8(tj.value("outfit", 0));
    if (t->level >= kItemLevels || t->itemClass >= kItemClasses || t->frequency == 0)
      ctx.fail("items.json", name + ": level, class or frequency out of range");
    // Reading opens books, letters, maps and spellbooks on their text: none would open a blank page.
    const bool readable = (t->itemClass == kItemBook && t->subtype >= 1 && t->subtype <= 3) ||
                          (t->itemClass == kItemMagic && t->subtype == 2);
    if (readable && text.empty()) ctx.fail("items.json", name + ": a readable item without a text");
    if (tj.contains("enchantment")) {
      CheckItemEffects(ctx, name, *t, tj["enchantment"].value("effects", json::array()));
      t->enchantment = MakeEnchantment(tj["enchantment"]);
    }
    types.push_back(t);
    table.types.InsertByNameHash(t);
  }
  for (const std::string& item : spec.itemList)
    if (!seen.count(item)) ctx.fail("base.json", item + ": the item list names no item type");
  if (ctx.failed()) return false;

  std::vector<Bytes>& block = spec.blocks[kBlockItems];
  block.clear();
  block.push_back(SampleRecord([&](SStream& s) { table.SerializePictures(s, kSampleVersion); }));
  block.push_back(SampleRecord([&](SStream& s) { table.SerializeFpsItems(s, kSampleVersion); }));
  block.push_back(SampleRecord([&](SStream& s) { table.SerializeTextPictures(s, kSampleVersion); }));
  block.push_back(SampleRecord([&](SStream& s) { table.SerializeTypeHeader(s, kSampleVersion); }));
  for (SItemType* t : types) block.push_back(SampleRecord([&](SStream& s) { t->Serialize(s, kSampleVersion); }));
  return true;
}

bool CheckItemTable(Context& ctx, SItemTable& items, SWorldRules& rules, const SIndexList& itemList,
                    SMonsterTable& monsters) {
  bool ok = true;
  json j;
  if (!ReadSourceJson(ctx, "world/items.json", j)) return false;
  if (items.types.Count() != j["types"].size()) {
    ctx.fail("DuskmireBase", "the item table does not read back whole");
    ok = false;
  }
  for (SItemType* t : items.types)
    if (!t->picture) {
      ctx.fail("items.json", std::string(t->name.Text()) + ": its picture does not resolve");
      ok = false;
    }
  for (SFpsItem* f : items.fpsItems)
    for (u32 i = 0; i < f->frames.Count(); ++i)
      if (!f->frames[i]) {
        ctx.fail("items.json", std::string(f->name.Text()) + ": a frame does not resolve");
        ok = false;
      }
  for (SItemType* t : items.types)
    if (t->text1 && !items.FindFpsItem(t->text1)) {
      ctx.fail("items.json", std::string(t->name.Text()) + ": no first-person picture " + t->text1);
      ok = false;
    }
  // A player tells item types apart by the names the shop, the pack and the dialogs show.
  std::map<std::string, const SItemType*> shown;
  for (SItemType* t : items.types) {
    SString name;
    t->GetDisplayName(rules, nullptr, name, false);
    const auto [at, added] = shown.emplace(name.CStr() ? name.CStr() : "", t);
    if (!added) {
      ctx.fail("items.json", std::string(at->second->name.Text()) + " and " + t->name.Text() + ": both shown as \"" +
                                 at->first + "\"");
      ok = false;
    }
  }
  for (u32 i = 1; i <= itemList.count; ++i)
    if (!itemList.At(i)) {
      ctx.fail("base.json", "item list position " + std::to_string(i) + " names no item type");
      ok = false;
    }
  for (SMonster* m : monsters.monsters) {
    m->items.ResolveEntries(itemList);
    for (SItemSpawn* e : m->items.entries)
      if (e->IsUnresolved()) {
        ctx.fail("base.json", std::string(m->name.Text()) + ": a carried item names no item type");
        ok = false;
      }
  }
  return ok;
}

}  // namespace worldbuild
