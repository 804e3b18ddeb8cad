// Reads arbitrary bytes as the player's record of a saved game (record 3003), with the name tables of a
// new game's save fixed; the first byte picks the version (86, 90, 114, 115 or 116). A record that is
// read holds only what the game can hold, and written back it reads into the same player.
#include "common/Outcome.h"
#include "common/Check.h"
#include "common/RulesRig.h"
#include "foundation/SStream.h"
#include "player/SSaveGame.h"
#include "world/SItemTable.h"
#include "world/SSpell.h"

#include <cstring>

namespace {

// The item types and spell a new game's save names, in its order, and the save manager with its tables
// filled from them as reading record 3006 would.
SSaveGame& Saves() {
  static SSaveGame* saves = [] {
    static SItemTable items;
    static const struct {
      const char* name;
      u8 itemClass, subtype;
    } kTypes[] = {{"base_misc_candle", 13, 1},
                  {"base_weap_shortswordcheap", 1, 1},
                  {"base_money_100", 10, 1},
                  {"base_key_dungeon", 11, 1},
                  {"base_potion_heal", 8, 1},
                  {"base_food_bread", 14, 1},
                  {"base_book_letter", 5, 2},
                  {"base_key_lockpick", 11, 2},
                  {"base_race_etherim_book", 5, 2},
                  {"base_race_etherim_start", 13, 1},
                  {"base_phealsmall", 8, 1},
                  {"base_pmanasmall", 8, 1},
                  {"base_food_water", 14, 2},
                  {"base_boots_fur", 3, 6},
                  {"base_mail_frayedleather", 3, 3},
                  {"base_shield_woodenround", 3, 1},
                  {"base_spbookcurelightwounds", 9, 2},
                  {"base_gem_amethyst", 15, 1},
                  {"base_repair_hammerapprentice", 12, 1}};
    for (const auto& t : kTypes) {
      auto* type = new SItemType;
      type->name.Set(t.name);
      type->itemClass = t.itemClass;
      type->subtype = t.subtype;
      items.types.Add(type);
    }
    SSpellTable& spells = Rules().spells;
    auto* spell = new SSpell;
    spell->name.Set("base_spellcurelightwounds");
    spell->school = 1;
    spells.records.Add(spell);
    Rules().items = &items;
    auto* s = new SSaveGame;
    s->Bind(nullptr, &items, nullptr, &spells);
    s->ResetNameTables();
    for (const auto& t : kTypes) s->InternItemName(t.name);
    s->InternSpell(spell);
    return s;
  }();
  return *saves;
}

SPlayer& Player() { return *static_cast<SPlayer*>(Rules().player); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  if (size < 1) return 0;
  static const u32 kVersions[5] = {86, 90, 114, 115, 116};
  const u32 version = kVersions[data[0] % 5];
  FuzzOutcome outcome;
  SSaveGame& saves = Saves();
  SPlayer& player = Player();
  SStream in(version);
  in.OpenForRead(data + 1, u32(size - 1));
  if (!player.Read(in, version, saves)) return 0;
  CHECK(player.race <= 5 && player.level >= 1 && player.level <= kMaxLevel && player.hp >= 1);
  for (u32 c = 0; c < kEffectCategories; ++c)
    for (const SPlayerEffect* e : player.effects[c]) CHECK(e->category == c && c >= 1);
  for (u32 slot = 1; slot <= kEquipmentSlots; ++slot)
    if (const SItem* item = player.Equipped(slot)) CHECK(player.inventory.items.IndexOf(item) >= 0 && item->type);

  SStream out(116);
  if (!out.OpenForWriteOwned(u32(size) * 4 + 4096)) return 0;
  CHECK(player.Write(out, 116, saves));
  outcome.Add(out.Data(), out.BytesUsed());
  const u16 items = player.inventory.GetItemCount();
  const u32 money = player.money;
  SStream back(116);
  back.OpenForRead(out.Data(), out.BytesUsed());
  CHECK(player.Read(back, 116, saves));
  CHECK(player.inventory.GetItemCount() == items && player.money == money);
  player.ClearLists();
  return 0;
}
